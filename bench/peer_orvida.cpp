// Orvida's side of bench/peers.sh: times RollDice on one of the two works and prints the
// nanoseconds of one unit of it, the median of several batches.
//   peer_orvida 1d20    a whole roll of one d20, its reseed included (ns a roll)
//   peer_orvida 999d6   rolls of 999 six-sided dice (ns a die)
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "dice/dice.h"

namespace {

using Clock = std::chrono::steady_clock;

volatile int sink = 0;

// Nanoseconds per roll over a batch of rolls that lasts about 50 ms.
double TimeBatch(int16_t count, int16_t sides) {
  int rolls = 0;
  int sum = 0;
  const Clock::time_point start = Clock::now();
  Clock::duration elapsed{};
  do {
    for (int i = 0; i < 1000; ++i) sum += Modulo1::RollDice(count, sides);
    rolls += 1000;
    elapsed = Clock::now() - start;
  } while (elapsed < std::chrono::milliseconds(50));
  sink = sum;
  return std::chrono::duration<double, std::nano>(elapsed).count() / rolls;
}

}  // namespace

int main(int argc, char** argv) {
  const bool oneD20 = argc == 2 && std::strcmp(argv[1], "1d20") == 0;
  const bool manyD6 = argc == 2 && std::strcmp(argv[1], "999d6") == 0;
  if (!oneD20 && !manyD6) {
    std::fprintf(stderr, "usage: peer_orvida 1d20|999d6\n");
    return 2;
  }
  const int16_t count = oneD20 ? 1 : 999;
  const int16_t sides = oneD20 ? 20 : 6;
  TimeBatch(count, sides);  // warm-up
  std::vector<double> batches;
  for (int i = 0; i < 5; ++i) batches.push_back(TimeBatch(count, sides) / count);
  std::nth_element(batches.begin(), batches.begin() + 2, batches.end());
  std::printf("%.3f\n", batches[2]);
  return 0;
}
