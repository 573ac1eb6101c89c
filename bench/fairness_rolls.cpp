// The dice for bench/fairness, thrown by RollDice as the program throws them: one roll of
// one die at a time, each after its own reseed.
//   fairness_rolls faces SIDES ROLLS   how often each face came up, one count a line
//   fairness_rolls pairs SIDES PAIRS   how often each pair (a, b) of consecutive rolls came
//                                      up, pairs not overlapping, a line a pair, a-major
//   fairness_rolls bytes               d256 faces less one, as bytes, until the reader stops
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "dice/dice.h"

namespace {

int Usage() {
  std::fputs("usage: fairness_rolls faces|pairs SIDES N | fairness_rolls bytes\n", stderr);
  return 2;
}

int Face(int16_t sides) { return Modulo1::RollDice(1, sides); }

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "bytes") == 0) {
    std::signal(SIGPIPE, SIG_IGN);  // the reader closing the pipe ends the stream
    std::vector<unsigned char> block(1 << 16);
    for (;;) {
      for (unsigned char& byte : block) byte = static_cast<unsigned char>(Face(256) - 1);
      if (std::fwrite(block.data(), 1, block.size(), stdout) != block.size()) return 0;
    }
  }
  if (argc != 4) return Usage();
  const bool pairs = std::strcmp(argv[1], "pairs") == 0;
  if (!pairs && std::strcmp(argv[1], "faces") != 0) return Usage();
  const long sides = std::strtol(argv[2], nullptr, 10);
  const long long n = std::strtoll(argv[3], nullptr, 10);
  if (sides < 1 || sides > 32767 || n < 1 || (pairs && sides > 1000)) return Usage();
  const auto die = static_cast<int16_t>(sides);
  std::vector<long long> counts(static_cast<size_t>(pairs ? sides * sides : sides), 0);
  for (long long i = 0; i < n; ++i) {
    const int first = Face(die) - 1;
    const int cell = pairs ? first * die + Face(die) - 1 : first;
    ++counts[static_cast<size_t>(cell)];
  }
  for (const long long count : counts) std::printf("%lld\n", count);
  return 0;
}
