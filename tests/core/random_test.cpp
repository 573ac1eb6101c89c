#include "runtime/random.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <cstdint>
#include <optional>
#include <set>

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

// Each process salts its seeds, so that two programs started within one tick of the clock
// (Windows' ticks are coarse) roll different dice: two processes under one stopped clock.
TEST(ReseedFromClock, TwoProcessesUnderOneStoppedClockRollDifferentDice) {
  QByteArray rolls[2];
  for (QByteArray& faces : rolls) {
    QProcess roller;
    roller.start(QStringLiteral(ORVIDA_SAVE_LOOP), {QStringLiteral("--roll")});
    ASSERT_TRUE(roller.waitForFinished()) << roller.errorString().toStdString();
    faces = roller.readAllStandardOutput();
    ASSERT_EQ(faces.count(' '), 20) << faces.toStdString();
  }
  EXPECT_NE(rolls[0], rolls[1]);
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
