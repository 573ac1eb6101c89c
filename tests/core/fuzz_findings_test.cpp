// Replays the fuzzers' seeds and every input they found a problem with
// (tests/fuzz-corpus/<target>/) through the fuzzers' own checks, so a fixed problem stays
// fixed in every build, sanitizers or not.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "../../fuzz/fuzz_checks.h"
#include "keypad/keypad.h"
#include "test_support.h"

namespace {

QFileInfoList CorpusFiles(const char* target) {
  const QDir dir(QStringLiteral(ORVIDA_FUZZ_CORPUS "/") + QLatin1String(target));
  return dir.entryInfoList(QDir::Files, QDir::Name);
}

TEST(FuzzCorpus, TextValueInputsPass) {
  const QFileInfoList files = CorpusFiles("text_value");
  ASSERT_FALSE(files.isEmpty());
  for (const QFileInfo& file : files) {
    const QByteArray bytes = orvida_test::ReadBytes(file.filePath());
    EXPECT_EQ(orvida_fuzz::CheckTextValueBytes(reinterpret_cast<const uint8_t*>(bytes.data()),
                                               static_cast<size_t>(bytes.size())),
              "")
        << file.fileName().toStdString();
  }
}

TEST(FuzzCorpus, KeypadLoadInputsPass) {
  const QFileInfoList files = CorpusFiles("keypad_load");
  ASSERT_FALSE(files.isEmpty());
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(QStringLiteral("conf.ini"));
  for (const QFileInfo& file : files) {
    EXPECT_EQ(orvida_fuzz::CheckKeypadLoad(orvida_test::ReadBytes(file.filePath()), path), "")
        << file.fileName().toStdString();
  }
  Modulo1::ClearKeypad();
}

}  // namespace
