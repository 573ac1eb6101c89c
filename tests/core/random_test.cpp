#include "runtime/random.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <set>
#include <vector>

#include "test_support.h"

namespace {

using orvida_test::ScriptedSource;
using Runtime::ProcessEngine;
using Runtime::ReseedFromClock;
using Runtime::ScopedReseedClock;
using Runtime::ScopedWordSource;

// A clock that stands still, as a coarse system clock does between two of its ticks.
uint64_t StoppedClock() { return 1'700'000'000'000'000'000ULL; }

TEST(ReseedFromClock, EveryReseedStartsADifferentSequence) {
  // Reseeds follow each other far faster than the clock's resolution on some systems;
  // the first two words after each must still differ from all the others, on the system
  // clock and on a clock that does not move at all.
  for (const bool stopped : {false, true}) {
    SCOPED_TRACE(stopped ? "stopped clock" : "system clock");
    std::optional<ScopedReseedClock> clock;
    if (stopped) clock.emplace(StoppedClock);
    std::set<std::pair<uint32_t, uint32_t>> starts;
    constexpr int kReseeds = 2000;
    for (int i = 0; i < kReseeds; ++i) {
      ReseedFromClock();
      const uint32_t a = ProcessEngine()();
      starts.emplace(a, ProcessEngine()());
    }
    EXPECT_EQ(starts.size(), static_cast<size_t>(kReseeds));
  }
}

// Each process salts its seeds with std::random_device, so that two programs started within
// one tick of the clock (Windows' ticks are coarse) roll different dice. Some MinGW runtimes
// made std::random_device a fixed-seed engine: every process then drew the same salt.
TEST(ReseedFromClock, ProcessSaltComesFromARealEntropySource) {
  std::random_device first;
  std::random_device second;
  std::vector<unsigned> a, b;
  for (int i = 0; i < 4; ++i) {
    a.push_back(first());
    b.push_back(second());
  }
  EXPECT_NE(a, b);
}

TEST(ScopedWordSource, InstallsAndRestoresSourcesInNestedOrder) {
  ScriptedSource outer({0.25});
  ScriptedSource inner({0.75});
  {
    ScopedWordSource useOuter(outer);
    {
      ScopedWordSource useInner(inner);
      ReseedFromClock();
    }
    ReseedFromClock();
    EXPECT_EQ(Runtime::SubstituteWordSource(), &outer);
  }
  EXPECT_EQ(Runtime::SubstituteWordSource(), nullptr);
  ReseedFromClock();  // the process's engine: neither scripted source hears of it
  EXPECT_EQ(outer.reseeds, 1);
  EXPECT_EQ(inner.reseeds, 1);
}

}  // namespace
