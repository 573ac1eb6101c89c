#include "dice/dice.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "runtime/conversions.h"
#include "runtime/random.h"

namespace Modulo1 {

using Runtime::DrawFrom;
using Runtime::ErrorNumber;
using Runtime::ProcessEngine;
using Runtime::RandomSource;
using Runtime::ReseedFromClock;
using Runtime::RuntimeError;
using Runtime::SubstituteRandomSource;

namespace {

constexpr int kLargestSum = 32767;
constexpr int kSmallestSum = -32768;

// What DrawFrom drops of each engine value to keep its top 24 bits.
constexpr int kDroppedBits = std::numeric_limits<Runtime::detail::Engine::result_type>::digits - 24;

// The largest whole number not above x, for |x| well inside the range of int. Same result
// as std::floor, without its library call on processors that lack a rounding instruction.
inline int Floor(double x) {
  const int truncated = static_cast<int>(x);
  return truncated > x ? truncated - 1 : truncated;
}

// Throws `count` dice, each face floor(size * draw() + 1), and sums them, checking the sum
// after every die. Die `first` onwards: the dice before it gave `total`.
template <typename Draw>
int16_t SumOfDice(int count, int first, int total, int16_t sides, Draw draw) {
  // The counter and the total are wider than 16 bits: the counter must be able to step
  // past 32767 after the last die, and the total is checked after every die instead.
  const double size = sides;
  for (int die = first; die < count; ++die) {
    const double r = draw();
    // Double precision throughout: with r = 1 - 2^-24 a die of 2 sides still gives 2.
    total += Floor(size * r + 1.0);
    if (total > kLargestSum || total < kSmallestSum) throw RuntimeError(ErrorNumber::Overflow);
  }
  return static_cast<int16_t>(total);
}

// The same dice on the process's engine. Its draws lie in 0 <= r <= 1 - 2^-24, so with
// sides >= 0 every face lies in 1..max(sides, 1): the sum only grows, and while the next
// (32767 - sum) / max(sides, 1) dice cannot pass 32767 they are thrown in a block without
// the check (and, faces being positive, truncation is the floor). The last dice before
// the limit are checked one by one, so the error still comes at the die that passes it.
int16_t SumOfEngineDice(int16_t count, int16_t sides, Runtime::detail::Engine& engine) {
  int die = 0;
  int total = 0;
  if (sides >= 0) {
    // r = top24 * 2^-24 as in DrawFrom, so size * r = (size * 2^-24) * top24: scaling by a
    // power of two is exact, and the product is the same double, one multiply less.
    const double scaledSize = sides * 0x1p-24;
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
  return SumOfDice(count, die, total, sides, [&engine] { return DrawFrom(engine); });
}

}  // namespace

int16_t RollDice(int16_t count, int16_t sides) {
  ReseedFromClock();
  if (RandomSource* source = SubstituteRandomSource()) {
    return SumOfDice(count, 0, 0, sides, [source] { return source->Draw(); });
  }
  // The same draws as DrawUniform, straight from the engine.
  return SumOfEngineDice(count, sides, ProcessEngine());
}

QString NumText(int16_t n) { return Runtime::SignedText(n).sliced(n < 0 ? 0 : 1); }

}  // namespace Modulo1
