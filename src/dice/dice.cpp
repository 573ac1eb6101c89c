#include "dice/dice.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "runtime/conversions.h"
#include "runtime/random.h"

namespace Modulo1 {

using Runtime::ErrorNumber;
using Runtime::ReseedFromClock;
using Runtime::RuntimeError;

namespace {

constexpr int kLargestSum = 32767;
constexpr int kSmallestSum = -32768;

// The largest whole number not above x, for |x| well inside the range of int. Same result
// as std::floor, without its library call on processors that lack a rounding instruction.
inline int Floor(double x) {
  const int truncated = static_cast<int>(x);
  return truncated > x ? truncated - 1 : truncated;
}

// Throws `count` dice on `engine` and sums them. Each die takes one word and keeps its top
// 24 bits, top24: the draw is r = top24 * 2^-24 (0 <= r <= 1 - 2^-24) and the face
// floor(sides * r + 1). Scaling by a power of two is exact, so sides * r is computed as
// (sides * 2^-24) * top24, the same double with one multiply less; double precision
// throughout, so that with the largest draw a die of 2 sides still gives 2.
//
// With sides >= 0 every face lies in 1..max(sides, 1): the sum only grows, and while the
// next (32767 - sum) / max(sides, 1) dice cannot pass 32767 they are thrown in a block
// without the check (and, faces being positive, truncation is the floor). The last dice
// before the limit, and all dice of negative sides, are checked one by one, so the error
// comes at the die that passes the limit and no die is thrown after it. The counter and the
// total are wider than 16 bits: the counter must step past 32767 after the last die.
template <typename Engine>
int16_t SumOfDice(int16_t count, int16_t sides, Engine& engine) {
  constexpr int kDroppedBits = std::numeric_limits<typename Engine::result_type>::digits - 24;
  const double scaledSize = sides * 0x1p-24;
  int die = 0;
  int total = 0;
  if (sides >= 0) {
    const int largestFace = std::max<int>(sides, 1);
    for (;;) {
      const int left = count - die;
      const int room = kLargestSum - total;
      // Both products are below 2^31. Most rolls cannot pass the limit at all: no division.
      const int block = left * largestFace <= room ? left : room / largestFace;
      if (block <= 0) break;
      for (const int end = die + block; die < end; ++die) {
        const auto top24 = static_cast<int32_t>(engine() >> kDroppedBits);
        total += static_cast<int>(scaledSize * top24 + 1.0);
      }
    }
  }
  for (; die < count; ++die) {
    const auto top24 = static_cast<int32_t>(engine() >> kDroppedBits);
    total += Floor(scaledSize * top24 + 1.0);
    if (total > kLargestSum || total < kSmallestSum) throw RuntimeError(ErrorNumber::Overflow);
  }
  return static_cast<int16_t>(total);
}

}  // namespace

int16_t RollDice(int16_t count, int16_t sides) {
  ReseedFromClock();
  if (Runtime::WordSource* words = Runtime::SubstituteWordSource()) {
    Runtime::WordSourceEngine engine(*words);
    return SumOfDice(count, sides, engine);
  }
  return SumOfDice(count, sides, Runtime::ProcessEngine());
}

QString NumText(int16_t n) { return Runtime::SignedText(n).sliced(n < 0 ? 0 : 1); }

}  // namespace Modulo1
