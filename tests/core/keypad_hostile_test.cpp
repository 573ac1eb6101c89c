// Hostile conf.ini files: each one loads or raises the error of a bad file with the line
// it names, keeping exactly the values read before it.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "hostile_configs.h"
#include "keypad/keypad.h"
#include "runtime/runtime_error.h"
#include "test_support.h"

namespace {

using Modulo1::KeypadCount;
using Modulo1::KeypadSides;
using Modulo1::KeypadText;
using orvida_test::HostileConfig;

constexpr int16_t kUntouched = -999;
const QString kUntouchedText = QStringLiteral("sentinella");

class HostileConfigLoad : public testing::TestWithParam<HostileConfig> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    path_ = dir_.filePath(QStringLiteral("conf.ini"));
    for (int slot = 1; slot <= Modulo1::kKeypadSlots; ++slot) {
      KeypadText(slot) = kUntouchedText;
      KeypadCount(slot) = kUntouched;
      KeypadSides(slot) = kUntouched;
    }
  }
  void TearDown() override { Modulo1::ClearKeypad(); }

  QTemporaryDir dir_;
  QString path_;
};

TEST_P(HostileConfigLoad, GivesTheErrorAndKeepsTheValuesReadBeforeIt) {
  const HostileConfig& c = GetParam();
#ifdef _WIN32
  if (c.PosixOnly())
    GTEST_SKIP() << "POSIX only: a named pipe, /dev/zero, a symbolic link (QFile::link makes a "
                    "shortcut here)";
#endif
  const QByteArray written = c.Create(path_);
  ASSERT_FALSE(HasFailure());

  int error = 0;
  int line = 0;
  try {
    Modulo1::LoadKeypadConfig(path_);
  } catch (const Runtime::RuntimeError& e) {
    error = e.code();
    line = e.line();
    EXPECT_EQ(e.path(), path_);
    if (error == 75) {  // what is no file gives one cause, at a load and at a save
      try {
        Modulo1::SaveKeypadConfig(path_);
      } catch (const Runtime::RuntimeError& saved) {
        EXPECT_EQ(saved.reason(), e.reason());
      }
    }
  }
  EXPECT_EQ(error, c.error);
  EXPECT_EQ(line, c.line);

  for (int slot = 1; slot <= Modulo1::kKeypadSlots; ++slot) {
    SCOPED_TRACE(slot);
    const int first = 3 * slot - 2;
    if (c.Reads(first)) {
      const std::optional<QString> caption = c.caption(slot);
      if (caption) {
        EXPECT_EQ(KeypadText(slot).size(), caption->size());
        EXPECT_TRUE(KeypadText(slot) == *caption);
      }
    } else {
      EXPECT_EQ(KeypadText(slot), kUntouchedText);
    }
    EXPECT_EQ(KeypadCount(slot), c.Reads(first + 1) ? c.count(slot) : kUntouched);
    EXPECT_EQ(KeypadSides(slot), c.Reads(first + 2) ? c.sides(slot) : kUntouched);
  }
  EXPECT_TRUE(c.Unchanged(path_, written));
}

INSTANTIATE_TEST_SUITE_P(KeypadFile, HostileConfigLoad,
                         testing::ValuesIn(orvida_test::HostileConfigs()),
                         [](const testing::TestParamInfo<HostileConfig>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
