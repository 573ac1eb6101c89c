#include "dice/dice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <iomanip>
#include <vector>

#include "test_support.h"

namespace {

using Modulo1::RollDice;
using orvida_test::kLargestDraw;
using orvida_test::ScriptedSource;
using Runtime::ErrorNumber;
using Runtime::RuntimeError;
using Runtime::ScopedWordSource;

// A draw that makes a die of `sides` sides show `face` (the middle of its interval).
double DrawFor(int face, int sides) { return (face - 0.5) / sides; }

// --- one die at the draw extremes --------------------------------------------------------

struct FaceCase {
  int16_t sides;
  double draw;
  int16_t face;
};

void PrintTo(const FaceCase& c, std::ostream* os) {
  *os << "sides " << c.sides << ", draw " << std::setprecision(12) << c.draw << " -> " << c.face;
}

class OneDie : public testing::TestWithParam<FaceCase> {};

TEST_P(OneDie, FaceIsFloorOfSidesTimesDrawPlusOne) {
  ScriptedSource source({GetParam().draw});
  ScopedWordSource scope(source);
  EXPECT_EQ(RollDice(1, GetParam().sides), GetParam().face);
}

INSTANTIATE_TEST_SUITE_P(
    Dice, OneDie,
    testing::Values(
        // a draw of 0 gives 1 on any die
        FaceCase{1, 0.0, 1}, FaceCase{2, 0.0, 1}, FaceCase{6, 0.0, 1}, FaceCase{32767, 0.0, 1},
        // the largest draw gives the top face and never one more: double precision
        FaceCase{1, kLargestDraw, 1}, FaceCase{2, kLargestDraw, 2}, FaceCase{6, kLargestDraw, 6},
        FaceCase{20, kLargestDraw, 20}, FaceCase{100, kLargestDraw, 100},
        FaceCase{32767, kLargestDraw, 32767},
        // the middle
        FaceCase{6, 0.5, 4}, FaceCase{20, 0.05 + 0x1p-24, 2}, FaceCase{20, 0.05 - 0x1p-24, 1},
        // the bits below the top 24 are dropped, never rounded up
        FaceCase{2, 0.5 - 0x1p-32, 1},
        // no sides: every face is 1
        FaceCase{0, 0.0, 1}, FaceCase{0, kLargestDraw, 1},
        // negative sides follow the same formula
        FaceCase{-6, 0.0, 1}, FaceCase{-6, 0.5, -2}, FaceCase{-1, kLargestDraw, 0},
        FaceCase{-32768, kLargestDraw, -32767}));

TEST(Dice, DiceOfOneRollAreConsecutiveDrawsSummed) {
  ScriptedSource source({0.0, 0.5, kLargestDraw, DrawFor(3, 6)});
  ScopedWordSource scope(source);
  EXPECT_EQ(RollDice(4, 6), 1 + 4 + 6 + 3);
  EXPECT_EQ(source.draws, 4u);
}

// --- one reseed per roll, before the first die --------------------------------------------

class ReseedOncePerRoll : public testing::TestWithParam<int16_t> {};

TEST_P(ReseedOncePerRoll, WhateverTheCount) {
  const int16_t count = GetParam();
  ScriptedSource source({0.5});
  ScopedWordSource scope(source);
  const int16_t sum = RollDice(count, 6);
  const size_t dice = count > 0 ? static_cast<size_t>(count) : 0;
  EXPECT_EQ(source.reseeds, 1u);
  EXPECT_EQ(source.draws, dice);
  EXPECT_EQ(source.events.substr(0, 2), std::string(dice > 0 ? "RD" : "R"));
  EXPECT_EQ(sum, 4 * static_cast<int>(dice));
}

INSTANTIATE_TEST_SUITE_P(Dice, ReseedOncePerRoll,
                         testing::Values(int16_t{0}, int16_t{-3}, int16_t{-32768}, int16_t{1},
                                         int16_t{5}, int16_t{8000}));

// --- sums that fit -----------------------------------------------------------------------

struct SumCase {
  int16_t count;
  int16_t sides;
  int16_t sum;
};

void PrintTo(const SumCase& c, std::ostream* os) {
  *os << "RollDice(" << c.count << ", " << c.sides << ") == " << c.sum;
}

class ExactSums : public testing::TestWithParam<SumCase> {};

// Sums that do not depend on the draws, on the process's own generator.
TEST_P(ExactSums, OnTheProcessGenerator) {
  EXPECT_EQ(RollDice(GetParam().count, GetParam().sides), GetParam().sum);
}

INSTANTIATE_TEST_SUITE_P(Dice, ExactSums,
                         testing::Values(SumCase{0, 6, 0}, SumCase{-3, 6, 0},
                                         SumCase{-32768, 32767, 0}, SumCase{5, 0, 5},
                                         SumCase{1, 1, 1}, SumCase{4, 1, 4},
                                         SumCase{32766, 1, 32766}, SumCase{32766, 0, 32766},
                                         // the counter steps past 32767 after the last die
                                         SumCase{32767, 1, 32767}, SumCase{32767, 0, 32767}));

TEST(Dice, TwoDiceOfThirtyThousandSidesSummingToExactly32767) {
  ScriptedSource source({DrawFor(20000, 30000), DrawFor(12767, 30000)});
  ScopedWordSource scope(source);
  EXPECT_EQ(RollDice(2, 30000), 32767);
}

// --- overflow at exactly the die that passes the limit -------------------------------------

struct OverflowCase {
  int16_t count;
  int16_t sides;
  std::vector<double> draws;
  int failingDie;
};

void PrintTo(const OverflowCase& c, std::ostream* os) {
  *os << "RollDice(" << c.count << ", " << c.sides << ") fails at die " << c.failingDie;
}

// `ones` draws of 0 followed by `last`.
std::vector<double> OnesThen(size_t ones, double last) {
  std::vector<double> draws(ones, 0.0);
  draws.push_back(last);
  return draws;
}

class OverflowAtTheDie : public testing::TestWithParam<OverflowCase> {};

TEST_P(OverflowAtTheDie, ThatPassesTheLimitAndThrowsNoMore) {
  ScriptedSource source(GetParam().draws);
  ScopedWordSource scope(source);
  try {
    const int16_t sum = RollDice(GetParam().count, GetParam().sides);
    ADD_FAILURE() << "returned " << sum;
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), ErrorNumber::Overflow);
  }
  EXPECT_EQ(source.draws, GetParam().failingDie);
}

INSTANTIATE_TEST_SUITE_P(
    Dice, OverflowAtTheDie,
    testing::Values(
        // 20000 + 12768 = 32768
        OverflowCase{2, 30000, {DrawFor(20000, 30000), DrawFor(12768, 30000)}, 2},
        OverflowCase{5, 30000, {DrawFor(20000, 30000), DrawFor(12768, 30000)}, 2},
        OverflowCase{2, 30000, {kLargestDraw}, 2},
        // 6 * 5461 = 32766, one more six passes 32767
        OverflowCase{32767, 6, {kLargestDraw}, 5462},
        // 2 * 16383 = 32766, 2 * 16384 = 32768
        OverflowCase{32767, 2, {kLargestDraw}, 16384},
        OverflowCase{32767, 32767, {kLargestDraw}, 2},
        // 32766 ones and then a two: the very last die passes the limit
        OverflowCase{32767, 2, OnesThen(32766, kLargestDraw), 32767},
        // below -32768: faces of -2 reach -32768 at die 16384 and pass it at 16385
        OverflowCase{32767, -3, {kLargestDraw}, 16385},
        OverflowCase{2, -30000, {kLargestDraw}, 2}));

TEST(Dice, ThirtyTwoThousandSixSidedDiceOverflowOnTheProcessGenerator) {
  EXPECT_THROW(RollDice(32767, 6), RuntimeError);
}

// --- distribution of the faces ---------------------------------------------------------

struct ChiSquareCase {
  int16_t sides;
  double critical;  // chi-square with sides - 1 degrees of freedom, p = 10^-6
};

void PrintTo(const ChiSquareCase& c, std::ostream* os) { *os << "d" << c.sides; }

class FaceDistribution : public testing::TestWithParam<ChiSquareCase> {};

// On the process's generator, reseeded at every roll as in the program.
TEST_P(FaceDistribution, IsUniformByChiSquare) {
  const int sides = GetParam().sides;
  const int rolls = std::max(60'000, 600 * sides);
  std::vector<int> counts(static_cast<size_t>(sides) + 1, 0);
  for (int i = 0; i < rolls; ++i) {
    const int face = RollDice(1, GetParam().sides);
    ASSERT_GE(face, 1);
    ASSERT_LE(face, sides);
    ++counts[static_cast<size_t>(face)];
  }
  const double expected = static_cast<double>(rolls) / sides;
  double chiSquare = 0.0;
  for (int face = 1; face <= sides; ++face) {
    const double d = counts[static_cast<size_t>(face)] - expected;
    chiSquare += d * d / expected;
  }
  EXPECT_LT(chiSquare, GetParam().critical);
}

INSTANTIATE_TEST_SUITE_P(Dice, FaceDistribution,
                         testing::Values(ChiSquareCase{2, 23.928}, ChiSquareCase{6, 35.888},
                                         ChiSquareCase{20, 63.677}, ChiSquareCase{100, 180.792}));

}  // namespace
