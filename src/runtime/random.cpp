#include "runtime/random.h"

#include <chrono>
#include <cstdint>
#include <exception>

namespace Runtime {

namespace {

// The finaliser of splitmix64: a bijection of 64-bit values with full avalanche.
constexpr uint64_t Mix(uint64_t z) {
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

constexpr uint64_t kGolden = 0x9e3779b97f4a7c15ULL;

// Taken once per process, so that two processes started in the same clock tick differ.
uint64_t ProcessSalt() {
  static const uint64_t salt = [] {
    uint64_t value = 0;
    try {
      std::random_device device;
      value = (static_cast<uint64_t>(device()) << 32) ^ device();
    } catch (const std::exception&) {
      // No entropy source: the address of a local still varies between processes (ASLR).
      int local = 0;
      value = reinterpret_cast<uintptr_t>(&local);
    }
    return Mix(value ^ kGolden);
  }();
  return salt;
}

// A seed sequence for the engine: its words are a splitmix64 stream whose start mixes
// the clock, the process salt and the reseed counter. Two reseeds within one clock tick
// differ through the counter, two processes through the salt. Far cheaper than
// std::seed_seq, which matters because every roll reseeds.
class ClockSeedSequence {
 public:
  using result_type = uint32_t;

  ClockSeedSequence(uint64_t nanoseconds, uint64_t salt, uint64_t counter)
      : start_(Mix(nanoseconds ^ Mix(salt ^ Mix(counter + kGolden)))) {}

  template <typename It>
  void generate(It begin, It end) const {
    uint64_t state = start_;
    while (begin != end) {
      state += kGolden;
      const uint64_t word = Mix(state);
      *begin++ = static_cast<result_type>(word);
      if (begin == end) break;
      *begin++ = static_cast<result_type>(word >> 32);
    }
  }

 private:
  uint64_t start_;
};

void SeedFromClock(std::mt19937_64& engine) {
  static uint64_t counter = 0;
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto nanoseconds =
      static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
  ClockSeedSequence sequence(nanoseconds, ProcessSalt(), ++counter);
  engine.seed(sequence);
}

// The substitute installed by a ScopedRandomSource, null for the process's own engine.
RandomSource* currentSource = nullptr;

// The process's engine behind the RandomSource interface.
class EngineSource final : public RandomSource {
 public:
  void Reseed() override { SeedFromClock(ProcessEngine()); }
  float Draw() override { return DrawFrom(ProcessEngine()); }
};

}  // namespace

// One engine for the whole program, seeded from the clock when first used and at every
// reseed.
std::mt19937_64& ProcessEngine() {
  static std::mt19937_64 engine = [] {
    std::mt19937_64 seeded;
    SeedFromClock(seeded);
    return seeded;
  }();
  return engine;
}

RandomSource& ProcessRandomSource() {
  static EngineSource source;
  return source;
}

RandomSource* SubstituteRandomSource() { return currentSource; }

void ReseedFromClock() {
  if (currentSource) {
    currentSource->Reseed();
  } else {
    SeedFromClock(ProcessEngine());
  }
}

float DrawUniform() { return currentSource ? currentSource->Draw() : DrawFrom(ProcessEngine()); }

ScopedRandomSource::ScopedRandomSource(RandomSource& source) : previous_(currentSource) {
  currentSource = &source;
}

ScopedRandomSource::~ScopedRandomSource() { currentSource = previous_; }

}  // namespace Runtime
