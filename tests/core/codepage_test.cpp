#include "runtime/codepage.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QSet>
#include <QString>

#include "test_support.h"

namespace {

using Runtime::DecodeWindows1252;
using Runtime::EncodeWindows1252;
using Runtime::FitsWindows1252;

QByteArray AllBytes() {
  QByteArray bytes;
  for (int b = 0; b < 256; ++b) bytes.append(static_cast<char>(b));
  return bytes;
}

// Against Python's cp1252 codec: every byte decodes to its character and encodes back.
TEST(Windows1252, EveryByteDecodesAsPythonsCodecAndEncodesBack) {
  const QString expected = orvida_test::Windows1252Oracle();
  ASSERT_EQ(expected.size(), 256);
  const QByteArray bytes = AllBytes();
  for (int b = 0; b < 256; ++b) {
    EXPECT_EQ(DecodeWindows1252(bytes.sliced(b, 1)), expected.sliced(b, 1)) << b;
  }
  EXPECT_TRUE(FitsWindows1252(expected));
  EXPECT_EQ(EncodeWindows1252(expected), bytes);
}

class OutsideWindows1252 : public testing::TestWithParam<const char16_t*> {};

TEST_P(OutsideWindows1252, DoesNotFitAndEncodesAsQuestionMark) {
  const QString text = QString::fromUtf16(GetParam());
  EXPECT_FALSE(FitsWindows1252(text));
  EXPECT_FALSE(FitsWindows1252(QStringLiteral("abc") + text + QStringLiteral("é")));
  EXPECT_EQ(EncodeWindows1252(QStringLiteral("a") + text), "a" + QByteArray(text.size(), '?'));
}

INSTANTIATE_TEST_SUITE_P(
    Windows1252, OutsideWindows1252,
    // C1 controls whose bytes hold other characters, arrows, other scripts, an emoji
    testing::Values(u"\u0080", u"\u0082", u"\u009F", u"→", u"Ā", u"ω", u"中", u"😀"));

TEST(Windows1252, AsciiAndLatinTextFits) {
  EXPECT_TRUE(FitsWindows1252(u""));
  EXPECT_TRUE(FitsWindows1252(u"Perché 1d20, \"più\" – €5"));
}

}  // namespace
