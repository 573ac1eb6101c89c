#include "shell/shell.h"

#include <QApplication>
#include <QPointer>

#include "shell/about_orvida.h"
#include "windows/common/look.h"
#include "windows/common/window_setup.h"
#include "windows/main/form1.h"

// Resources live in a static library: they must be registered by hand.
static void InitResources() { Q_INIT_RESOURCE(orvida); }

namespace Shell {

int16_t SplashShown = 0;

namespace {
QPointer<AboutOrvida> about;
QPointer<Form1> form1;

template <typename Window>
Window* ShowWindow(QPointer<Window>& instance) {
  if (!instance) instance = new Window();
  instance->show();
  instance->raise();
  instance->activateWindow();
  return instance;
}
}  // namespace

AboutOrvida* ShowAboutOrvida() { return ShowWindow(about); }
Form1* ShowForm1() { return ShowWindow(form1); }
AboutOrvida* LoadedAboutOrvida() { return about; }
Form1* LoadedForm1() { return form1; }

void Prepare() {
  static bool prepared = false;
  if (prepared) return;
  prepared = true;
  InitResources();
  Look::Install();
  QApplication::setWindowIcon(Window::Icon(QStringLiteral("die")));
}

void Start() {
  Prepare();
  ShowAboutOrvida();
}

int Run(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Orvida"));
  QApplication::setApplicationVersion(QStringLiteral("1.00.0001"));
  // Ties the windows to the desktop's menu entry (Wayland takes the icon from there).
  QGuiApplication::setDesktopFileName(QStringLiteral("orvida"));
  Start();
  return QApplication::exec();
}

}  // namespace Shell
