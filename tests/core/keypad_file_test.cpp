#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include "keypad/keypad.h"
#include "runtime/codepage.h"
#include "runtime/runtime_error.h"
#include "test_support.h"

namespace {

using Modulo1::ClearKeypad;
using Modulo1::KeypadConfigBytes;
using Modulo1::KeypadCount;
using Modulo1::KeypadSides;
using Modulo1::KeypadText;
using Modulo1::LoadKeypadConfig;
using Modulo1::SaveKeypadConfig;
using orvida_test::BytesButLineEnds;
using orvida_test::CurrentTable;
using orvida_test::JoinLines;
using orvida_test::ReadBytes;
using orvida_test::SampleLines;
using orvida_test::Table;
using orvida_test::WriteBytes;

class KeypadFile : public testing::Test {
 protected:
  void SetUp() override {
    ClearKeypad();
    ASSERT_TRUE(dir_.isValid());
    path_ = dir_.filePath(QStringLiteral("conf.ini"));
  }
  void TearDown() override { ClearKeypad(); }

  void Load(const QByteArray& bytes) {
    ASSERT_TRUE(WriteBytes(path_, bytes));
    LoadKeypadConfig(path_);
  }

  QTemporaryDir dir_;
  QString path_;
};

// --- the bytes written --------------------------------------------------------------------

TEST_F(KeypadFile, SaveWritesTheExactBytes) {
  KeypadText(1) = QStringLiteral("1d20");
  KeypadCount(1) = 1;
  KeypadSides(1) = 20;
  KeypadCount(2) = 3;
  KeypadSides(2) = 0;
  KeypadText(3) = QStringLiteral("x");
  KeypadCount(3) = -2;
  KeypadSides(3) = -32768;
  KeypadText(20) = QStringLiteral(" , \"");
  KeypadCount(20) = 32767;
  KeypadSides(20) = 12;
  QByteArray expected =
      "1d20\r\n 1\r\n 20\r\n"
      "\r\n 3\r\n 0\r\n"
      "x\r\n-2\r\n-32768\r\n";
  for (int slot = 4; slot <= 19; ++slot) expected += "\r\n 0\r\n 0\r\n";
  expected += " , \"\r\n 32767\r\n 12\r\n";

  EXPECT_EQ(KeypadConfigBytes(), expected);
  SaveKeypadConfig(path_);
  EXPECT_EQ(ReadBytes(path_), expected);
}

TEST_F(KeypadFile, SavingTwiceGivesIdenticalFilesAndLeavesNoOtherFile) {
  for (int slot = 1; slot <= 20; ++slot) {
    KeypadText(slot) = QStringLiteral("T%1 è").arg(slot);
    KeypadCount(slot) = static_cast<int16_t>(slot - 10);
    KeypadSides(slot) = static_cast<int16_t>(slot * 1000);
  }
  const Table before = CurrentTable();
  SaveKeypadConfig(path_);
  const QByteArray first = ReadBytes(path_);
  SaveKeypadConfig(path_);
  EXPECT_EQ(ReadBytes(path_), first);
  EXPECT_EQ(CurrentTable(), before);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{QStringLiteral("conf.ini")});
}

TEST_F(KeypadFile, LineBreaksInsideCaptionsBecomeBlanks) {
  KeypadText(1) = QStringLiteral("a\r\nb");
  KeypadText(2) = QStringLiteral("\n");
  KeypadText(3) = QStringLiteral("c\rd\n");
  KeypadText(20) = QStringLiteral("fine\r\n");
  KeypadCount(20) = 4;
  KeypadSides(20) = 6;
  const QByteArray bytes = KeypadConfigBytes();
  EXPECT_EQ(bytes.count("\r\n"), 60);
  EXPECT_EQ(bytes.count('\r'), 60);
  EXPECT_EQ(bytes.count('\n'), 60);
  EXPECT_TRUE(bytes.endsWith(" 4\r\n 6\r\n"));

  SaveKeypadConfig(path_);
  ClearKeypad();
  LoadKeypadConfig(path_);
  EXPECT_EQ(KeypadText(1), QStringLiteral("a b"));
  EXPECT_EQ(KeypadText(2), QStringLiteral(" "));
  EXPECT_EQ(KeypadText(3), QStringLiteral("c d "));
  EXPECT_EQ(KeypadText(20), QStringLiteral("fine "));
  EXPECT_EQ(KeypadCount(20), 4);
  EXPECT_EQ(KeypadSides(20), 6);
}

struct EncodingCase {
  const char16_t* caption;
  QByteArray line;  // the caption's bytes in the file
};

void PrintTo(const EncodingCase& c, std::ostream* os) {
  *os << QString::fromUtf16(c.caption).toStdString();
}

class CaptionBytes : public KeypadFile, public testing::WithParamInterface<EncodingCase> {};

TEST_P(CaptionBytes, AreWindows1252WhenTheyFitElseUtf8) {
  KeypadText(2) = QString::fromUtf16(GetParam().caption);
  EXPECT_EQ(KeypadConfigBytes(), "\r\n 0\r\n 0\r\n" + GetParam().line + "\r\n 0\r\n 0\r\n" +
                                     QByteArray("\r\n 0\r\n 0\r\n").repeated(18));
}

INSTANTIATE_TEST_SUITE_P(
    KeypadFile, CaptionBytes,
    testing::Values(EncodingCase{u"perché", "perch\xE9"}, EncodingCase{u"è", "\xE8"},
                    EncodingCase{u"€", "\x80"}, EncodingCase{u"Œ™", "\x8C\x99"},
                    EncodingCase{u"\u0081", "\x81"},
                    // no byte in Windows-1252: UTF-8
                    EncodingCase{u"→", "\xE2\x86\x92"}, EncodingCase{u"ò→", "\xC3\xB2\xE2\x86\x92"},
                    // Windows-1252 bytes that would read back as the UTF-8 "é": UTF-8
                    EncodingCase{u"Ã©", "\xC3\x83\xC2\xA9"}));

TEST_F(KeypadFile, OneCaptionOutsideWindows1252MakesTheWholeFileUtf8) {
  KeypadText(1) = QStringLiteral("perché");
  KeypadText(20) = QStringLiteral("→");
  const QByteArray bytes = KeypadConfigBytes();
  EXPECT_TRUE(bytes.startsWith("perch\xC3\xA9\r\n"));
  EXPECT_TRUE(bytes.endsWith("\xE2\x86\x92\r\n 0\r\n 0\r\n"));
}

TEST_F(KeypadFile, UtfLookalikeNextToOtherAccentsStaysWindows1252) {
  // The "é" byte alone is no UTF-8, so these bytes cannot be mistaken for it.
  KeypadText(1) = QStringLiteral("perché");
  KeypadText(2) = QStringLiteral("Ã©");
  EXPECT_TRUE(KeypadConfigBytes().startsWith("perch\xE9\r\n 0\r\n 0\r\n\xC3\xA9\r\n"));
}

// --- save and load back -------------------------------------------------------------------

class RoundTrip : public KeypadFile, public testing::WithParamInterface<QString> {};

TEST_P(RoundTrip, GivesTheSameTable) {
  const QString caption = GetParam();
  const int16_t numbers[] = {0, -2, 3, 32767, -32768, 1, -1, 100};
  for (int slot = 1; slot <= 20; ++slot) {
    KeypadText(slot) = slot % 3 == 1 ? caption : QStringLiteral("Slot %1").arg(slot);
    KeypadCount(slot) = numbers[slot % 8];
    KeypadSides(slot) = numbers[(slot + 3) % 8];
  }
  const Table saved = CurrentTable();
  SaveKeypadConfig(path_);
  ClearKeypad();
  LoadKeypadConfig(path_);
  EXPECT_EQ(CurrentTable(), saved);
}

INSTANTIATE_TEST_SUITE_P(
    KeypadFile, RoundTrip,
    testing::Values(QString(), QStringLiteral(" "), QStringLiteral("  blank intorno  "),
                    QStringLiteral("a,b,,c"), QStringLiteral("\"virgolette\""),
                    QStringLiteral("\""), QStringLiteral(","), QStringLiteral("perché"),
                    QStringLiteral("Più dadi"), QStringLiteral("€ ™ Ÿ"),
                    QStringLiteral("\u0081\u008D\u008F\u0090\u009D"), QStringLiteral("→"),
                    QStringLiteral("d20 → 1d20"), QStringLiteral("2d6 ω"), QStringLiteral("😀"),
                    QStringLiteral("\uFEFFbom"), QStringLiteral("Ã©"), QStringLiteral("Ã"),
                    QStringLiteral("\t"), QStringLiteral("nul\0nul"),
                    QStringLiteral("1d20\u00a0")));

TEST_F(KeypadFile, AnyFileLoadsAndSavesBackByteForByte) {
  // Every byte but CR and LF in the captions, in the canonical form otherwise.
  QList<QByteArray> lines = SampleLines();
  lines[0] = BytesButLineEnds();
  lines[3] = "\xC3\xA9 invalid \xFF";
  const QByteArray bytes = JoinLines(lines);
  Load(bytes);
  SaveKeypadConfig(path_);
  EXPECT_EQ(ReadBytes(path_), bytes);
}

// --- loading ------------------------------------------------------------------------------

// CR LF, LF and CR alike end a line, and the last line may lack its end.
TEST_F(KeypadFile, MixedLineEndsAndEmptyLines) {
  QList<QByteArray> lines = SampleLines();
  lines[0] = "";
  lines[3] = "";
  QByteArray bytes;
  const QByteArray ends[] = {"\r\n", "\n", "\r"};
  for (int i = 0; i < lines.size(); ++i) bytes += lines[i] + ends[i % 3];
  bytes.chop(1);
  Load(bytes);
  EXPECT_EQ(KeypadText(1), QString());
  EXPECT_EQ(KeypadCount(1), 1);
  EXPECT_EQ(KeypadText(2), QString());
  EXPECT_EQ(KeypadSides(2), 6);
  EXPECT_EQ(KeypadText(20), QStringLiteral("Tasto 20"));
  EXPECT_EQ(KeypadSides(20), 6);
}

TEST_F(KeypadFile, DecodesUtf8OnlyWhenValidAndNotAscii) {
  QList<QByteArray> lines = SampleLines();
  lines[0] = "perch\xC3\xA9";  // UTF-8 é
  Load(JoinLines(lines));
  EXPECT_EQ(KeypadText(1), QStringLiteral("perché"));

  lines[0] = "perch\xE9";  // Windows-1252 é
  Load(JoinLines(lines));
  EXPECT_EQ(KeypadText(1), QStringLiteral("perché"));

  // One byte that is not UTF-8 makes the whole file Windows-1252.
  lines[0] = "perch\xC3\xA9";
  lines[57] = "\x80 5";
  Load(JoinLines(lines));
  EXPECT_EQ(KeypadText(1), QStringLiteral("perchÃ©"));
  EXPECT_EQ(KeypadText(20), QStringLiteral("€ 5"));

  // Lines after the sixtieth do not take part in the choice.
  lines[57] = "x";
  lines << "\xFF";
  Load(JoinLines(lines));
  EXPECT_EQ(KeypadText(1), QStringLiteral("perché"));
}

class InvalidUtf8 : public KeypadFile, public testing::WithParamInterface<QByteArray> {};

TEST_P(InvalidUtf8, IsReadAsWindows1252) {
  QList<QByteArray> lines = SampleLines();
  lines[0] = GetParam();
  Load(JoinLines(lines));
  EXPECT_EQ(KeypadText(1), Runtime::DecodeWindows1252(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(KeypadFile, InvalidUtf8,
                         testing::Values(QByteArray("\xC0\xAF"),          // overlong "/"
                                         QByteArray("\xE0\x80\xAF"),      // overlong "/"
                                         QByteArray("\xED\xA0\x80"),      // a surrogate
                                         QByteArray("\xF4\x90\x80\x80"),  // above U+10FFFF
                                         QByteArray("\xC3"),              // cut short
                                         QByteArray("\xE2\x86"),          // cut short
                                         QByteArray("\xA9"),              // a lone trail byte
                                         QByteArray("\xF8\x88\x80\x80\x80")));

struct NumberLineCase {
  QByteArray line;
  int16_t value;
};

void PrintTo(const NumberLineCase& c, std::ostream* os) {
  *os << '"' << c.line.toStdString() << "\" -> " << c.value;
}

class NumberLines : public KeypadFile, public testing::WithParamInterface<NumberLineCase> {};

TEST_P(NumberLines, AreReadByTheSharedConversions) {
  QList<QByteArray> lines = SampleLines();
  lines[1] = GetParam().line;   // count of slot 1
  lines[59] = GetParam().line;  // sides of slot 20
  Load(JoinLines(lines));
  EXPECT_EQ(KeypadCount(1), GetParam().value);
  EXPECT_EQ(KeypadSides(20), GetParam().value);
}

// The rules themselves are the conversions' own (conversions_test.cpp): these show that
// both a count and a size line go through them, from bytes in Windows-1252.
INSTANTIATE_TEST_SUITE_P(KeypadFile, NumberLines,
                         testing::Values(NumberLineCase{"2.5", 2}, NumberLineCase{"3.5", 4},
                                         NumberLineCase{" 3d6", 3}, NumberLineCase{"\xE9", 0},
                                         NumberLineCase{"-32768.5", -32768}));

// --- hostile files ------------------------------------------------------------------------

// Of a line of megabytes the reader keeps what a caption holds, 32767 characters, and
// reports the first such line once the whole table is read.
TEST_F(KeypadFile, MegabyteLinesAreCutToWhatACaptionHolds) {
  QList<QByteArray> lines = SampleLines();
  lines[0] = QByteArray(4 * 1024 * 1024, 'x') + QByteArray(3, '\0') + "y";
  lines[1] = " 2" + QByteArray(1024 * 1024, '0');  // 2 followed by a million zeros
  lines[4] = QByteArray(1024 * 1024, '0') + "5";
  try {
    Load(JoinLines(lines));
    ADD_FAILURE() << "a count of 32766 digits loaded";
  } catch (const Runtime::RuntimeError& e) {
    EXPECT_EQ(e.number(), Runtime::ErrorNumber::Overflow);
    EXPECT_EQ(e.line(), 2);
  }
  EXPECT_EQ(KeypadText(1), QString(32767, QLatin1Char('x')));

  lines[1] = " 2";
  try {
    Load(JoinLines(lines));
    ADD_FAILURE() << "no word of the cut lines";
  } catch (const Runtime::RuntimeError& e) {
    EXPECT_EQ(e.number(), Runtime::ErrorNumber::BadRecordLength);
    EXPECT_EQ(e.line(), 1);
  }
  EXPECT_EQ(KeypadCount(1), 2);
  EXPECT_EQ(KeypadCount(2), 0) << "the digit after a million zeros is not read";
  EXPECT_EQ(KeypadSides(20), 6);
}

// --- the file that comes with the program --------------------------------------------------

TEST(ShippedConfig, IsInTheExactFormatWithUsefulPresets) {
  const QString path = QStringLiteral(ORVIDA_SHIPPED_CONF);
  const QByteArray bytes = ReadBytes(path);
  ASSERT_FALSE(bytes.isEmpty()) << path.toStdString();
  EXPECT_EQ(bytes.count("\r\n"), 60);
  EXPECT_EQ(bytes.count('\n'), 60);
  EXPECT_EQ(bytes.count('\r'), 60);
  EXPECT_TRUE(bytes.endsWith("\r\n"));
  for (const char c : bytes) ASSERT_LT(static_cast<unsigned char>(c), 0x80) << "not ASCII";

  ClearKeypad();
  LoadKeypadConfig(path);
  // Loading and writing again gives the same bytes: counts and sizes in the " 3" form.
  EXPECT_EQ(KeypadConfigBytes(), bytes);
  QSet<QString> captions;
  for (int slot = 1; slot <= 20; ++slot) {
    EXPECT_FALSE(KeypadText(slot).trimmed().isEmpty()) << slot;
    EXPECT_LE(KeypadText(slot).size(), 9) << slot;
    EXPECT_GT(KeypadCount(slot), 0) << slot;
    EXPECT_GT(KeypadSides(slot), 1) << slot;
    captions.insert(KeypadText(slot));
  }
  EXPECT_EQ(captions.size(), 20);
  ClearKeypad();
}

}  // namespace
