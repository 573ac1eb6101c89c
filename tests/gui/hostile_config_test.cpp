// The main window opened over hostile conf.ini files: a missing file gives the built-in
// presets silently, a link that leads nowhere the same with a warning, any other bad file
// one warning that names the line, and the buttons show exactly the captions read before
// the problem. Nothing crashes, the panel opens and paints, and the file is left as it was.
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include "gui_support.h"
#include "hostile_configs.h"
#include "shell/shell.h"
#include "windows/main/form1.h"

namespace {

using orvida_test::HostileConfig;

class HostileConfigWindow : public GuiTest, public testing::WithParamInterface<HostileConfig> {};

// The built-in presets, line by line.
QList<QByteArray> BuiltInLines() {
  QFile file(QStringLiteral(":/conf.ini"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll().split('\n');
}

TEST_P(HostileConfigWindow, OpensWithTheMendedPresets) {
  const HostileConfig& c = GetParam();
#ifdef _WIN32
  if (c.PosixOnly())
    GTEST_SKIP() << "POSIX only: a named pipe, /dev/zero, a symbolic link (QFile::link makes a "
                    "shortcut here)";
#endif
  const QByteArray written = c.Create(ConfigPath());
  ASSERT_FALSE(HasFailure());

  Shell::SplashShown = 1;
  Form1* form = Shell::ShowForm1();
  Settle();
  ASSERT_NE(form, nullptr);
  ASSERT_TRUE(form->isVisible());

  if (c.error == 0 || c.kind == HostileConfig::Kind::Missing) {
    EXPECT_TRUE(presenter_.messages.empty());
  } else {
    ASSERT_EQ(presenter_.messages.size(), 1u);
    const orvida_test::RecordingPresenter::Message& message = presenter_.messages[0];
    EXPECT_EQ(message.kind, Runtime::MessageKind::Warning);
    EXPECT_EQ(message.title, Runtime::kMessageTitle);
    // It names the file, the line where the reading stopped and why: the error's number and
    // description.
    QString text = message.text;
    EXPECT_EQ(text.count(QDir::toNativeSeparators(ConfigPath())), 1) << text.toStdString();
    text.remove(QDir::toNativeSeparators(ConfigPath()));
    const auto word = [&](int n) {
      return text.contains(QRegularExpression(QStringLiteral("\\b%1\\b").arg(n)));
    };
    EXPECT_TRUE(word(c.error)) << text.toStdString();
    EXPECT_TRUE(text.contains(Runtime::RuntimeError::Describe(Runtime::ErrorNumber(c.error))));
    EXPECT_TRUE(c.line == 0 || word(c.line)) << text.toStdString();
    // It says how many presets were read whole, unless all were or the built-in ones came.
    int whole = 0;
    while (whole < Modulo1::kKeypadSlots && c.Reads(3 * whole + 3)) ++whole;
    EXPECT_TRUE(whole == Modulo1::kKeypadSlots || c.error == 53 ||
                text.contains(whole == 0 ? QStringLiteral("nessun pulsante")
                                         : QStringLiteral("per intero %1 pulsant").arg(whole)))
        << text.toStdString();
  }

  if (c.error == 53) {  // nothing there, or a link that leads nowhere: the built-in presets
    const QList<QByteArray> lines = BuiltInLines();
    ASSERT_GE(lines.size(), 60);
    for (int slot = 1; slot <= Modulo1::kKeypadSlots; ++slot) {
      EXPECT_EQ(form->Command1(slot)->text().toLatin1() + "\r", lines[3 * slot - 3]) << slot;
      EXPECT_EQ(Modulo1::KeypadCount(slot), lines[3 * slot - 2].trimmed().toInt()) << slot;
    }
    EXPECT_FALSE(QFile::exists(ConfigPath())) << "nothing is written until the user saves";
  } else {
    for (int slot = 1; slot <= Modulo1::kKeypadSlots; ++slot) {
      SCOPED_TRACE(slot);
      const int first = 3 * slot - 2;
      const QString shown = form->Command1(slot)->text();
      // What the table holds is keypad_hostile_test.cpp's; here, what the buttons show.
      if (!c.Reads(first)) {
        EXPECT_TRUE(shown.isEmpty());
      } else if (const std::optional<QString> caption = c.caption(slot)) {
        EXPECT_TRUE(shown == *caption) << shown.size() << " characters shown";
      }
    }
  }

  // The keypad panel opens and paints, whatever the captions are; a button of a slot
  // without dice does nothing, one with dice rolls them.
  QTest::mouseClick(form->CmndUpDown, Qt::LeftButton);
  EXPECT_EQ(form->KeypadState, QStringLiteral("Down"));
  EXPECT_FALSE(form->grab().isNull());
  const size_t messagesBefore = presenter_.messages.size();
  for (int slot : {1, 6, 20}) {
    source_.draws = 0;
    QTest::mouseClick(form->Command1(slot), Qt::LeftButton);
    const bool rolls = Modulo1::KeypadCount(slot) > 0 && Modulo1::KeypadSides(slot) > 0;
    EXPECT_EQ(source_.draws, rolls ? Modulo1::KeypadCount(slot) : 0) << slot;
  }
  EXPECT_EQ(presenter_.messages.size(), messagesBefore);

  CloseAllWindows();
  EXPECT_TRUE(c.Unchanged(ConfigPath(), written)) << "what is at the path is not touched";
}

INSTANTIATE_TEST_SUITE_P(MainWindow, HostileConfigWindow,
                         testing::ValuesIn(orvida_test::HostileConfigs()),
                         [](const testing::TestParamInfo<HostileConfig>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
