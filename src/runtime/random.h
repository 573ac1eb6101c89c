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

// The process's generator, seeded from the clock when first used and at every reseed.
detail::Engine& ProcessEngine();

// The generator's raw words, replaceable at the edge: a substitute yields the 32-bit
// words in place of the engine and is told of every reseed; everything above the words
// (RollDice's loop) runs unchanged.
class WordSource {
 public:
  virtual ~WordSource() = default;
  virtual void Reseed() = 0;
  virtual uint32_t Next() = 0;
};

// The source installed by a ScopedWordSource, or null while the process's engine is in use.
WordSource* SubstituteWordSource();

// An engine that yields a WordSource's words, for loops written against the engine's
// interface (result_type, min, max, call).
class WordSourceEngine {
 public:
  using result_type = uint32_t;
  explicit WordSourceEngine(WordSource& source) : source_(source) {}
  static constexpr result_type min() { return 0; }
  static constexpr result_type max() { return std::numeric_limits<result_type>::max(); }
  result_type operator()() { return source_.Next(); }

 private:
  WordSource& source_;
};

// Installs `source` for ReseedFromClock and the dice while this object lives.
class ScopedWordSource {
 public:
  explicit ScopedWordSource(WordSource& source);
  ~ScopedWordSource();
  ScopedWordSource(const ScopedWordSource&) = delete;
  ScopedWordSource& operator=(const ScopedWordSource&) = delete;

 private:
  WordSource* previous_;
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
