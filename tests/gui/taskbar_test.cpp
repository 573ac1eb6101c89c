// Which windows have a taskbar button on Windows: the main window has one; the About window
// (the splash too) and the configuration dialog have none. Windows shows a button for a
// top-level window unless another window owns it or it has the WS_EX_TOOLWINDOW style;
// WS_EX_APPWINDOW forces one. Read through the Win32 API from the real windows.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <QApplication>
#include <QGuiApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "gui_support.h"
#include "shell/shell.h"
#include "windows/about/about_orvida.h"
#include "windows/config/form2.h"
#include "windows/main/form1.h"

namespace {

bool HasTaskbarButton(QWidget* window) {
  const auto hwnd = reinterpret_cast<HWND>(window->winId());
  const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  if (style & WS_EX_APPWINDOW) return true;
  if (style & WS_EX_TOOLWINDOW) return false;
  return GetWindow(hwnd, GW_OWNER) == nullptr;
}

class TaskbarTest : public GuiTest {
 protected:
  void SetUp() override {
    if (QGuiApplication::platformName() != QStringLiteral("windows")) {
      GTEST_SKIP() << "needs the windows platform (ORVIDA_GUI_PLATFORM=windows): offscreen "
                      "windows have no Win32 window";
    }
    WriteConfig(orvida_test::JoinLines(orvida_test::SampleLines()));
  }
};

TEST_F(TaskbarTest, OnlyTheMainWindowHasATaskbarButton) {
  Shell::Start();
  AboutOrvida* splash = Shell::LoadedAboutOrvida();
  ASSERT_NE(splash, nullptr);
  Settle();
  EXPECT_FALSE(HasTaskbarButton(splash)) << "the splash";
  splash->close();
  Settle();

  Form1* form = Shell::LoadedForm1();
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(HasTaskbarButton(form)) << "the main window";

  AboutOrvida* about = Shell::ShowAboutOrvida();
  Settle();
  EXPECT_FALSE(HasTaskbarButton(about)) << "the About window opened from the main window";
  about->close();
  Settle();

  bool ran = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<Form2*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    ran = true;
    EXPECT_FALSE(HasTaskbarButton(dialog)) << "the configuration dialog";
    dialog->reject();
  });
  QTest::mouseClick(form->CmndPersonalizza, Qt::LeftButton);
  EXPECT_TRUE(ran);
}

}  // namespace
