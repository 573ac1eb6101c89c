#include "runtime/conversions.h"

#include <gtest/gtest.h>

#include <QString>
#include <cmath>
#include <limits>

#include "dice/dice.h"
#include "runtime/runtime_error.h"

namespace {

using Modulo1::NumText;
using Runtime::ErrorNumber;
using Runtime::RuntimeError;
using Runtime::SignedText;
using Runtime::TextValue;
using Runtime::ToInt16;

// --- TextValue ---------------------------------------------------------------------------

struct TextCase {
  const char16_t* text;
  double value;
};

void PrintTo(const TextCase& c, std::ostream* os) {
  *os << '"' << QString::fromUtf16(c.text).toStdString() << "\" -> " << c.value;
}

class TextValueForms : public testing::TestWithParam<TextCase> {};

TEST_P(TextValueForms, ReadsTheNumberTheTextBeginsWith) {
  const double value = TextValue(QString::fromUtf16(GetParam().text));
  EXPECT_EQ(value, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Conversions, TextValueForms,
    testing::Values(
        // plain numbers, blanks and tabs before them
        TextCase{u"", 0}, TextCase{u"7", 7}, TextCase{u"   7", 7}, TextCase{u"\t\t 7", 7},
        TextCase{u" \t-7", -7}, TextCase{u"0000042", 42}, TextCase{u"010", 10},
        TextCase{u"12345678901234567890", 12345678901234567890.0},
        // signs
        TextCase{u"+5", 5}, TextCase{u"-2", -2}, TextCase{u"- 5", 0}, TextCase{u"+-5", 0},
        TextCase{u"--5", 0}, TextCase{u"-", 0}, TextCase{u"+", 0},
        // the decimal point
        TextCase{u".", 0}, TextCase{u"-.", 0}, TextCase{u".5", 0.5}, TextCase{u"-.5", -0.5},
        TextCase{u"5.", 5}, TextCase{u"2.5", 2.5}, TextCase{u"0.1", 0.1}, TextCase{u"1.2.3", 1.2},
        TextCase{u"32767.5", 32767.5}, TextCase{u"2,5", 2},
        // reading stops at the first character that cannot continue the number
        TextCase{u"12x", 12}, TextCase{u" 3d6", 3}, TextCase{u"3 6", 3}, TextCase{u"7 ", 7},
        TextCase{u"7\u00a0", 7},
        // no exponent, no hexadecimal or octal prefix
        TextCase{u"1e5", 1}, TextCase{u"1E5", 1}, TextCase{u"1D5", 1}, TextCase{u"0x10", 0},
        TextCase{u"&H10", 0}, TextCase{u"&O17", 0},
        // no number at all
        TextCase{u"dado", 0}, TextCase{u"x12", 0}, TextCase{u"\n7", 0}, TextCase{u"\u00a07", 0},
        // only the ASCII digits are digits
        TextCase{u"\u0663", 0}, TextCase{u"\uff15", 0}, TextCase{u"4\u0663", 4}));

TEST(TextValue, MinusZeroAndZeroAreZero) {
  EXPECT_EQ(TextValue(u"-0"), 0.0);
  EXPECT_EQ(TextValue(u"0"), 0.0);
  EXPECT_EQ(ToInt16(TextValue(u"-0")), 0);
}

TEST(TextValue, HundredsOfDigitsGiveAHugeNumberThatToInt16Rejects) {
  for (const int digits : {310, 500, 5000}) {
    const QString nines(digits, QLatin1Char('9'));
    const double value = TextValue(nines);
    EXPECT_GT(value, 1e300) << digits << " digits";
    EXPECT_LT(TextValue(QLatin1Char('-') + nines), -1e300) << digits << " digits";
    try {
      ToInt16(value);
      ADD_FAILURE() << digits << " digits: no overflow";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.number(), ErrorNumber::Overflow);
    }
  }
}

TEST(TextValue, LongDigitRunsAreRoundedCorrectly) {
  // 1 followed by 300 zeros is exactly the double nearest to 1e300.
  EXPECT_EQ(TextValue(QLatin1Char('1') + QString(300, QLatin1Char('0'))), 1e300);
  // 309 digits are the longest integer part a double holds.
  EXPECT_EQ(TextValue(QLatin1Char('1') + QString(308, QLatin1Char('0'))), 1e308);
  // 2^53 + 1 lies halfway between two doubles: halves go to the even one, 2^53, ...
  const QString halfway = QStringLiteral("9007199254740993.");
  EXPECT_EQ(TextValue(halfway + QString(1500, QLatin1Char('0'))), 9007199254740992.0);
  // ... but a 1 far behind the point makes it more than half and it goes up.
  EXPECT_EQ(TextValue(halfway + QString(1500, QLatin1Char('0')) + QLatin1Char('1')),
            9007199254740994.0);
  // Leading zeros of a number are not significant digits.
  EXPECT_EQ(TextValue(QString(2000, QLatin1Char('0')) + QStringLiteral("42.5")), 42.5);
  // A fraction far below the smallest double is 0.
  EXPECT_EQ(TextValue(QStringLiteral("0.") + QString(2000, QLatin1Char('0')) + QLatin1Char('7')),
            0.0);
}

// --- ToInt16 -----------------------------------------------------------------------------

struct RoundCase {
  double x;
  int16_t expected;
};

void PrintTo(const RoundCase& c, std::ostream* os) { *os << c.x << " -> " << c.expected; }

class ToInt16Rounds : public testing::TestWithParam<RoundCase> {};

TEST_P(ToInt16Rounds, ToTheNearestHalvesToEven) {
  EXPECT_EQ(ToInt16(GetParam().x), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Conversions, ToInt16Rounds,
    testing::Values(RoundCase{0.0, 0}, RoundCase{-0.0, 0}, RoundCase{0.5, 0}, RoundCase{1.5, 2},
                    RoundCase{2.5, 2}, RoundCase{3.5, 4}, RoundCase{-0.5, 0}, RoundCase{-1.5, -2},
                    RoundCase{-2.5, -2}, RoundCase{0.49999999999999994, 0},
                    RoundCase{2.4999999999999996, 2}, RoundCase{2.5000000000000004, 3},
                    RoundCase{1e-300, 0}, RoundCase{7.0, 7}, RoundCase{-3.0, -3},
                    RoundCase{32766.5, 32766}, RoundCase{32767.0, 32767},
                    RoundCase{32767.49999999, 32767}, RoundCase{-32767.5, -32768},
                    RoundCase{-32768.0, -32768}, RoundCase{-32768.5, -32768}));

class ToInt16Overflows : public testing::TestWithParam<double> {};

TEST_P(ToInt16Overflows, OutsideTheRange) {
  try {
    const int16_t value = ToInt16(GetParam());
    ADD_FAILURE() << "gave " << value;
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), ErrorNumber::Overflow);
    EXPECT_EQ(e.code(), 6);
  }
}

INSTANTIATE_TEST_SUITE_P(Conversions, ToInt16Overflows,
                         testing::Values(32767.5, 32768.0, 40000.0, -32768.50000001, -32769.0,
                                         1e300, -1e300, std::numeric_limits<double>::max(),
                                         std::numeric_limits<double>::infinity(),
                                         -std::numeric_limits<double>::infinity(),
                                         std::numeric_limits<double>::quiet_NaN()));

// --- SignedText and NumText --------------------------------------------------------------

struct TextOfCase {
  int16_t n;
  const char* signedText;
  const char* numText;
};

void PrintTo(const TextOfCase& c, std::ostream* os) { *os << c.n; }

class NumberTexts : public testing::TestWithParam<TextOfCase> {};

TEST_P(NumberTexts, SignedTextAndNumText) {
  EXPECT_EQ(SignedText(GetParam().n), QString::fromLatin1(GetParam().signedText));
  EXPECT_EQ(NumText(GetParam().n), QString::fromLatin1(GetParam().numText));
}

INSTANTIATE_TEST_SUITE_P(Conversions, NumberTexts,
                         testing::Values(TextOfCase{3, " 3", "3"}, TextOfCase{0, " 0", "0"},
                                         TextOfCase{7, " 7", "7"}, TextOfCase{18, " 18", "18"},
                                         TextOfCase{100, " 100", "100"},
                                         TextOfCase{32767, " 32767", "32767"},
                                         TextOfCase{-1, "-1", "-1"}, TextOfCase{-5, "-5", "-5"},
                                         TextOfCase{-32768, "-32768", "-32768"}));

TEST(NumberTexts, ReadBackAsTheSameNumber) {
  for (int n = -32768; n <= 32767; ++n) {
    const auto v = static_cast<int16_t>(n);
    ASSERT_EQ(ToInt16(TextValue(SignedText(v))), v);
    ASSERT_EQ(ToInt16(TextValue(NumText(v))), v);
  }
}

}  // namespace
