#pragma once

#include <cstdint>
#include <limits>
#include <pcg_random.hpp>

namespace Runtime {

namespace detail {

// The generator: PCG with a 64-bit state and a 64-bit stream selector (two words in all),
// 32 bits a step. Small enough that reseeding it at every roll costs a few nanoseconds,
// and one step is a 64-bit multiply and add.
using Engine = pcg32;

}  // namespace detail

// Reseeds the process-wide generator from the system clock (nanoseconds), mixed with a
// per-process salt and a reseed counter, so no two reseeds start from the same seed.
void ReseedFromClock();

// The generator's next value, uniform, 0 <= r < 1: the engine's top 24 bits times 2^-24.
float DrawUniform();

// The draw formula on any engine whose values fill their unsigned type; used by
// DrawUniform and by tests with a fixed seed. The top 24 bits fill a float's mantissa
// exactly, so the largest draw is 1 - 2^-24.
template <typename Engine>
inline float DrawFrom(Engine& engine) {
  using Word = typename Engine::result_type;
  static_assert(Engine::min() == 0 && Engine::max() == std::numeric_limits<Word>::max() &&
                    std::numeric_limits<Word>::digits >= 24,
                "the draw needs engine values that fill an unsigned type of 24 bits or more");
  constexpr int kDropped = std::numeric_limits<Word>::digits - 24;
  return static_cast<float>(static_cast<uint32_t>(engine() >> kDropped)) * 0x1p-24f;
}

// Where the draws come from. The process uses the clock-seeded engine; tests substitute
// their own source to control the draws exactly.
class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual void Reseed() = 0;
  virtual float Draw() = 0;
};

// The process's own source, the clock-seeded engine; in use whenever no
// ScopedRandomSource is alive. A substitute source may forward to it.
RandomSource& ProcessRandomSource();

// For loops that draw many values (RollDice): the source installed by a
// ScopedRandomSource, or null while the process's engine is in use; the engine itself, so
// that DrawFrom(ProcessEngine()) is exactly DrawUniform() without a call per draw.
RandomSource* SubstituteRandomSource();
detail::Engine& ProcessEngine();

// Installs `source` for ReseedFromClock and DrawUniform while this object lives.
class ScopedRandomSource {
 public:
  explicit ScopedRandomSource(RandomSource& source);
  ~ScopedRandomSource();
  ScopedRandomSource(const ScopedRandomSource&) = delete;
  ScopedRandomSource& operator=(const ScopedRandomSource&) = delete;

 private:
  RandomSource* previous_;
};

// The clock the process's engine is reseeded from: nanoseconds since 1970.
using ReseedClock = uint64_t (*)();

// Makes the process's engine read `clock` instead of the system clock while this object
// lives: a clock that stands still shows what happens when reseeds follow each other
// within one tick.
class ScopedReseedClock {
 public:
  explicit ScopedReseedClock(ReseedClock clock);
  ~ScopedReseedClock();
  ScopedReseedClock(const ScopedReseedClock&) = delete;
  ScopedReseedClock& operator=(const ScopedReseedClock&) = delete;

 private:
  ReseedClock previous_;
};

}  // namespace Runtime
