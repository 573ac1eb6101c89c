#include "runtime/random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <set>
#include <vector>

#include "test_support.h"

namespace {

using orvida_test::ScriptedSource;
using Runtime::DrawFrom;
using Runtime::DrawUniform;
using Runtime::ReseedFromClock;
using Runtime::ScopedRandomSource;
using Runtime::ScopedReseedClock;

// A draw must lie in [0, 1) and be a whole multiple of 2^-24 (24 random bits, no rounding).
bool IsValidDraw(float r) {
  const double scaled = static_cast<double>(r) * 0x1p24;
  return r >= 0.0f && r < 1.0f && scaled == std::floor(scaled);
}

TEST(DrawFrom, GivesTwentyFourBitDrawsCoveringZeroToOne) {
  Runtime::detail::Engine engine(12345);
  float lowest = 1.0f;
  float highest = 0.0f;
  double sum = 0.0;
  constexpr int kDraws = 1'000'000;
  for (int i = 0; i < kDraws; ++i) {
    const float r = DrawFrom(engine);
    ASSERT_TRUE(IsValidDraw(r)) << r;
    lowest = std::min(lowest, r);
    highest = std::max(highest, r);
    sum += r;
  }
  EXPECT_LT(lowest, 1e-4f);
  EXPECT_GT(highest, 1.0f - 1e-4f);
  EXPECT_NEAR(sum / kDraws, 0.5, 0.002);
}

TEST(DrawFrom, ConsumesOneEngineValuePerDraw) {
  Runtime::detail::Engine engine(7);
  Runtime::detail::Engine twin(7);
  for (int i = 0; i < 100; ++i) DrawFrom(engine);
  twin.discard(100);
  EXPECT_EQ(engine, twin);
}

TEST(DrawUniform, ProcessGeneratorGivesValidDraws) {
  ReseedFromClock();
  for (int i = 0; i < 100'000; ++i) ASSERT_TRUE(IsValidDraw(DrawUniform()));
}

// A clock that stands still, as a coarse system clock does between two of its ticks.
uint64_t StoppedClock() { return 1'700'000'000'000'000'000ULL; }

TEST(ReseedFromClock, EveryReseedStartsADifferentSequence) {
  // Reseeds follow each other far faster than the clock's resolution on some systems;
  // the first two draws after each must still differ from all the others, on the system
  // clock and on a clock that does not move at all.
  for (const bool stopped : {false, true}) {
    SCOPED_TRACE(stopped ? "stopped clock" : "system clock");
    std::optional<ScopedReseedClock> clock;
    if (stopped) clock.emplace(StoppedClock);
    std::set<std::pair<float, float>> starts;
    constexpr int kReseeds = 2000;
    for (int i = 0; i < kReseeds; ++i) {
      ReseedFromClock();
      const float a = DrawUniform();
      const float b = DrawUniform();
      starts.emplace(a, b);
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

TEST(ScopedRandomSource, InstallsAndRestoresSourcesInNestedOrder) {
  ScriptedSource outer({0.25f});
  ScriptedSource inner({0.75f});
  {
    ScopedRandomSource useOuter(outer);
    EXPECT_EQ(DrawUniform(), 0.25f);
    {
      ScopedRandomSource useInner(inner);
      ReseedFromClock();
      EXPECT_EQ(DrawUniform(), 0.75f);
    }
    EXPECT_EQ(DrawUniform(), 0.25f);
  }
  // Back on the process generator: neither scripted source is asked again.
  ReseedFromClock();
  for (int i = 0; i < 100; ++i) ASSERT_TRUE(IsValidDraw(DrawUniform()));
  EXPECT_EQ(outer.draws, 2u);
  EXPECT_EQ(outer.reseeds, 0u);
  EXPECT_EQ(inner.draws, 1u);
  EXPECT_EQ(inner.reseeds, 1u);
}

}  // namespace
