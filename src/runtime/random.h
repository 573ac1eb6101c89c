#pragma once

#include <cstdint>
#include <random>

namespace Runtime {

// Reseeds the process-wide generator from the system clock (nanoseconds), mixed with a
// per-process salt and a reseed counter, so no two reseeds start from the same seed.
void ReseedFromClock();

// The generator's next value, uniform, 0 <= r < 1: the engine's top 24 bits times 2^-24.
float DrawUniform();

// The draw formula on any engine; used by DrawUniform and by tests with a fixed seed.
// The top 24 bits fill a float's mantissa exactly, so the largest draw is 1 - 2^-24.
inline float DrawFrom(std::mt19937_64& engine) {
  return static_cast<float>(static_cast<uint32_t>(engine() >> 40)) * 0x1p-24f;
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
std::mt19937_64& ProcessEngine();

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

}  // namespace Runtime
