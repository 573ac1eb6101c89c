#include "runtime/random.h"

#include <chrono>
#include <cstdint>
#include <exception>
#include <random>

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

// The clock installed by a ScopedReseedClock, null for the system clock.
ReseedClock currentClock = nullptr;

uint64_t SystemClockNanoseconds() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

// Seeds both words of the engine. The stream is a mix of the process salt and the reseed
// counter, computed while the clock is read; the state mixes the clock into it. Every
// step is a bijection, so two reseeds within one clock tick differ through the counter
// (in both words), two processes through the salt.
void SeedFromClock(detail::Engine& engine) {
  static uint64_t counter = 0;
  const uint64_t stream = Mix(ProcessSalt() + ++counter * kGolden);
  const uint64_t nanoseconds = currentClock ? currentClock() : SystemClockNanoseconds();
  engine.seed(Mix(nanoseconds ^ stream), stream);
}

// The substitute installed by a ScopedWordSource, null for the process's own engine.
WordSource* currentSource = nullptr;

}  // namespace

detail::Engine& ProcessEngine() {
  static detail::Engine engine = [] {
    detail::Engine seeded;
    SeedFromClock(seeded);
    return seeded;
  }();
  return engine;
}

WordSource* SubstituteWordSource() { return currentSource; }

void ReseedFromClock() {
  if (currentSource) {
    currentSource->Reseed();
  } else {
    SeedFromClock(ProcessEngine());
  }
}

ScopedWordSource::ScopedWordSource(WordSource& source) : previous_(currentSource) {
  currentSource = &source;
}

ScopedWordSource::~ScopedWordSource() { currentSource = previous_; }

ScopedReseedClock::ScopedReseedClock(ReseedClock clock) : previous_(currentClock) {
  currentClock = clock;
}

ScopedReseedClock::~ScopedReseedClock() { currentClock = previous_; }

}  // namespace Runtime
