// The main window opened over hostile conf.ini files: a missing file gives the built-in
// presets silently, a link that leads nowhere the same with a warning, any other bad file
// one warning that names the line, and the buttons show exactly the captions read before
// the problem. Nothing crashes, the panel opens and paints, and the file is left as it was.
#include <QDir>
#include <QFile>
#include <QPushButton>
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
    EXPECT_TRUE(message.text.contains(QDir::toNativeSeparators(ConfigPath())));
    EXPECT_TRUE(message.text.contains(QStringLiteral("(errore %1)").arg(c.error)))
        << message.text.toStdString();
    EXPECT_EQ(message.text.contains(QStringLiteral("Riga: %1\n").arg(c.line)), c.line > 0)
        << message.text.toStdString();
    EXPECT_EQ(message.text.contains(QStringLiteral("Riga:")), c.line > 0);
    int whole = 0;  // the warning says how many presets were read whole, unless none or all
    while (whole < Modulo1::kKeypadSlots && c.Reads(3 * whole + 3)) ++whole;
    EXPECT_TRUE(whole % Modulo1::kKeypadSlots == 0 ||
                message.text.contains(QStringLiteral("per intero %1 pulsant").arg(whole)));
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
      if (!c.Reads(first)) {
        EXPECT_TRUE(shown.isEmpty());
      } else if (const std::optional<QString> caption = c.caption(slot)) {
        EXPECT_EQ(shown.size(), caption->size());
        EXPECT_TRUE(shown == *caption);
      }
      EXPECT_EQ(Modulo1::KeypadCount(slot), c.Reads(first + 1) ? c.count(slot) : 0);
      EXPECT_EQ(Modulo1::KeypadSides(slot), c.Reads(first + 2) ? c.sides(slot) : 0);
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
