#include "runtime/codepage.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QSet>
#include <QString>

namespace {

using Runtime::DecodeWindows1252;
using Runtime::EncodeWindows1252;
using Runtime::FitsWindows1252;

QByteArray AllBytes() {
  QByteArray bytes;
  for (int b = 0; b < 256; ++b) bytes.append(static_cast<char>(b));
  return bytes;
}

TEST(Windows1252, EveryByteDecodesAndEncodesBack) {
  const QByteArray bytes = AllBytes();
  const QString text = DecodeWindows1252(bytes);
  ASSERT_EQ(text.size(), 256);
  EXPECT_TRUE(FitsWindows1252(text));
  EXPECT_EQ(EncodeWindows1252(text), bytes);
}

struct ByteCase {
  unsigned char byte;
  char16_t character;
};

void PrintTo(const ByteCase& c, std::ostream* os) {
  *os << std::hex << "0x" << int{c.byte} << " <-> U+" << int{c.character};
}

class ByteMapping : public testing::TestWithParam<ByteCase> {};

TEST_P(ByteMapping, DecodesAndEncodes) {
  const QByteArray byte(1, static_cast<char>(GetParam().byte));
  const QString character(QChar(GetParam().character));
  EXPECT_EQ(DecodeWindows1252(byte), character);
  EXPECT_EQ(EncodeWindows1252(character), byte);
}

INSTANTIATE_TEST_SUITE_P(
    Windows1252, ByteMapping,
    testing::Values(ByteCase{0x00, 0x0000}, ByteCase{0x0D, 0x000D}, ByteCase{0x41, u'A'},
                    ByteCase{0x7F, 0x007F},
                    // the code page's own characters in 0x80-0x9F
                    ByteCase{0x80, u'€'}, ByteCase{0x82, u'‚'}, ByteCase{0x83, u'ƒ'},
                    ByteCase{0x84, u'„'}, ByteCase{0x85, u'…'}, ByteCase{0x86, u'†'},
                    ByteCase{0x87, u'‡'}, ByteCase{0x88, u'ˆ'}, ByteCase{0x89, u'‰'},
                    ByteCase{0x8A, u'Š'}, ByteCase{0x8B, u'‹'}, ByteCase{0x8C, u'Œ'},
                    ByteCase{0x8E, u'Ž'}, ByteCase{0x91, u'‘'}, ByteCase{0x92, u'’'},
                    ByteCase{0x93, u'“'}, ByteCase{0x94, u'”'}, ByteCase{0x95, u'•'},
                    ByteCase{0x96, u'–'}, ByteCase{0x97, u'—'}, ByteCase{0x98, u'˜'},
                    ByteCase{0x99, u'™'}, ByteCase{0x9A, u'š'}, ByteCase{0x9B, u'›'},
                    ByteCase{0x9C, u'œ'}, ByteCase{0x9E, u'ž'}, ByteCase{0x9F, u'Ÿ'},
                    // the five bytes it leaves undefined keep their value
                    ByteCase{0x81, 0x0081}, ByteCase{0x8D, 0x008D}, ByteCase{0x8F, 0x008F},
                    ByteCase{0x90, 0x0090}, ByteCase{0x9D, 0x009D},
                    // Latin-1 above
                    ByteCase{0xA0, 0x00A0}, ByteCase{0xC0, u'À'}, ByteCase{0xE8, u'è'},
                    ByteCase{0xE9, u'é'}, ByteCase{0xF9, u'ù'}, ByteCase{0xFF, u'ÿ'}));

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
