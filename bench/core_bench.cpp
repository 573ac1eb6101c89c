#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>

#include "dice/dice.h"
#include "keypad/keypad.h"
#include "runtime/random.h"

namespace {

using Modulo1::RollDice;

// Counts the words on their way from the process's generator, to know how many dice a
// roll that ends in overflow has thrown.
class DrawCounter final : public Runtime::WordSource {
 public:
  void Reseed() override {}
  uint32_t Next() override {
    ++draws;
    return Runtime::ProcessEngine()();
  }
  int64_t draws = 0;
};

// The mean number of dice that RollDice(count, sides) throws before it returns or fails.
double MeanDiceThrown(int16_t count, int16_t sides, int rolls) {
  DrawCounter source;
  Runtime::ScopedWordSource scope(source);
  for (int i = 0; i < rolls; ++i) {
    try {
      RollDice(count, sides);
    } catch (const Runtime::RuntimeError&) {
    }
  }
  return static_cast<double>(source.draws) / rolls;
}

long PeakMemoryKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void ReportPerDie(benchmark::State& state, int64_t dice) {
  state.SetItemsProcessed(dice);
  state.counters["per_die"] = benchmark::Counter(
      static_cast<double>(dice), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// A whole quick-keypad click: one reseed and one die.
void BM_RollDice_1d20(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(RollDice(1, 20));
}
BENCHMARK(BM_RollDice_1d20);

// The largest count: with six sides the sum passes 32767 after about 9360 dice and the roll
// ends in the overflow error, as in the program. The dice of a failed roll cannot be counted
// without slowing it down, so their mean number is measured beforehand, untimed.
void BM_RollDice_32766d6(benchmark::State& state) {
  const double meanDice = MeanDiceThrown(32766, 6, 500);
  int64_t overflows = 0;
  for (auto _ : state) {
    try {
      benchmark::DoNotOptimize(RollDice(32766, 6));
    } catch (const Runtime::RuntimeError&) {
      ++overflows;
    }
  }
  ReportPerDie(state, static_cast<int64_t>(meanDice * static_cast<double>(state.iterations())));
  state.counters["dice"] = meanDice;
  state.counters["overflow_share"] =
      static_cast<double>(overflows) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_RollDice_32766d6);

// Large rolls that fit, straight on the process generator.
void BM_RollDice_Large(benchmark::State& state) {
  const auto count = static_cast<int16_t>(state.range(0));
  const auto sides = static_cast<int16_t>(state.range(1));
  for (auto _ : state) benchmark::DoNotOptimize(RollDice(count, sides));
  ReportPerDie(state, static_cast<int64_t>(state.iterations()) * count);
}
BENCHMARK(BM_RollDice_Large)->Args({9000, 6})->Args({32766, 1});

void BM_SaveThenLoadConfig(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("conf.ini"));
  Modulo1::LoadKeypadConfig(QStringLiteral(ORVIDA_SHIPPED_CONF));
  for (auto _ : state) {
    Modulo1::SaveKeypadConfig(path);
    Modulo1::LoadKeypadConfig(path);
  }
}
BENCHMARK(BM_SaveThenLoadConfig);

// A 1 GiB conf.ini of one line (a sparse file of zeros): the reader keeps the first 32767
// characters and reads on only to look for the line's end. Reports the growth of the
// process's peak memory.
void BM_LoadGigabyteLine(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("conf.ini"));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || !file.resize(qint64{1} << 30)) {
    state.SkipWithError("cannot make the file");
    return;
  }
  file.close();
  const long peakBefore = PeakMemoryKiB();
  for (auto _ : state) {
    try {
      Modulo1::LoadKeypadConfig(path);
    } catch (const Runtime::RuntimeError&) {
      // Input past the end of the file: the file holds one line.
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) << 30);
  state.counters["peak_growth_KiB"] = static_cast<double>(PeakMemoryKiB() - peakBefore);
}
BENCHMARK(BM_LoadGigabyteLine)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
