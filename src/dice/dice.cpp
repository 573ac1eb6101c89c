#include "dice/dice.h"

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

// The largest whole number not above x, for |x| well inside the range of int. Same result
// as std::floor, without its library call on processors that lack a rounding instruction.
inline int Floor(double x) {
  const int truncated = static_cast<int>(x);
  return truncated > x ? truncated - 1 : truncated;
}

// Throws `count` dice, each face floor(size * draw() + 1), and sums them.
template <typename Draw>
int16_t SumOfDice(int16_t count, int16_t sides, Draw draw) {
  // The counter and the total are wider than 16 bits: the counter must be able to step
  // past 32767 after the last die, and the total is checked after every die instead.
  int total = 0;
  const double size = sides;
  for (int die = 1; die <= count; ++die) {
    const double r = draw();
    // Double precision throughout: with r = 1 - 2^-24 a die of 2 sides still gives 2.
    total += Floor(size * r + 1.0);
    if (total > 32767 || total < -32768) throw RuntimeError(ErrorNumber::Overflow);
  }
  return static_cast<int16_t>(total);
}

}  // namespace

int16_t RollDice(int16_t count, int16_t sides) {
  ReseedFromClock();
  if (RandomSource* source = SubstituteRandomSource()) {
    return SumOfDice(count, sides, [source] { return source->Draw(); });
  }
  // The same draws as DrawUniform, straight from the engine.
  std::mt19937_64& engine = ProcessEngine();
  return SumOfDice(count, sides, [&engine] { return DrawFrom(engine); });
}

QString NumText(int16_t n) { return Runtime::SignedText(n).sliced(n < 0 ? 0 : 1); }

}  // namespace Modulo1
