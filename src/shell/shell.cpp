#include "shell/shell.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <functional>

#include "runtime/handlers.h"
#include "version.h"
#include "windows/about/about_orvida.h"
#include "windows/common/accessible_roles.h"
#include "windows/common/look.h"
#include "windows/common/window_setup.h"
#include "windows/main/form1.h"

// Resources live in a static library: they must be registered by hand.
static void InitResources() {
  Q_INIT_RESOURCE(first_frame);
  Q_INIT_RESOURCE(orvida);
}

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
// Runs a task once, in the event loop's next pass after `window` has painted for the first time.
class FirstPaintHook : public QObject {
 public:
  FirstPaintHook(QWidget* window, std::function<void()> task)
      : QObject(qApp), task_(std::move(task)) {
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      watched->removeEventFilter(this);
      QTimer::singleShot(0, this, [this] {
        task_();
        deleteLater();
      });
    }
    return false;
  }

 private:
  std::function<void()> task_;
};

void AfterFirstPaint(QWidget* window, std::function<void()> task) {
  new FirstPaintHook(window, std::move(task));
}

// The program ends when its last window closes, on every platform. Qt's own rule is off: it
// does not count a window that another owns, and on Windows a hidden window owns the About
// window to keep it off the taskbar.
void EndWithTheLastWindow(QWidget* window) {
  QObject::connect(window, &QObject::destroyed, [] {
    // Asked from the event loop, once the window is gone; outside the loop, quit() does nothing.
    QTimer::singleShot(0, qApp, [] {
      if (!about && !form1) QCoreApplication::quit();
    });
  });
}

}  // namespace

AboutOrvida* ShowAboutOrvida() {
  if (!about) {
    about = new AboutOrvida();
    EndWithTheLastWindow(about);
    // Its icon, two sizes to decode, waits until the window is on the screen.
    AfterFirstPaint(about, [window = about] {
      if (window) window->setWindowIcon(Window::Icon(QStringLiteral("about")));
    });
  }
  return ShowWindow(about);
}
Form1* ShowForm1() {
  if (!form1) {
    form1 = new Form1();
    EndWithTheLastWindow(form1);
    QObject::connect(form1, &Form1::AboutRequested, [] { ShowAboutOrvida(); });
  }
  return ShowWindow(form1);
}
AboutOrvida* LoadedAboutOrvida() { return about; }
Form1* LoadedForm1() { return form1; }

void Prepare() {
  static bool prepared = false;
  if (prepared) return;
  prepared = true;
  InitResources();
  QApplication::setQuitOnLastWindowClosed(false);  // see EndWithTheLastWindow
  Look::Install();
  AccessibleRoles::Install();
  AccessibleRoles::Give(Form1::staticMetaObject, QAccessible::Window);
  AccessibleRoles::Give(AboutOrvida::staticMetaObject, QAccessible::Dialog);
}

void Start() {
  Prepare();
  // The splash's first close opens the main window, whose load may warn; the splash stays
  // until the main window is there, so the program is never without a window.
  AboutOrvida* splash = ShowAboutOrvida();
  splash->HoldCloses();
  QObject::connect(splash, &AboutOrvida::CloseRequested, splash, [splash] {
    Runtime::RunHandler(splash, [] {
      if (SplashShown != 0) return;
      ShowForm1();
      SplashShown = 1;
    });
    splash->Release();
  });
  // The splash has an icon of its own: the program's icon, six sizes to decode, waits until
  // the splash is on the screen.
  AfterFirstPaint(splash, [] { QApplication::setWindowIcon(Window::Icon(QStringLiteral("die"))); });
}

int Run(int argc, char** argv) {
  // The program reads no command line: Qt is handed the program's name alone, so none of its
  // own options (-reverse, -style, ...) changes the program.
  static char name[] = "Orvida";
  int qtArgc = 1;
  char* qtArgv[] = {argc > 0 && argv[0] ? argv[0] : name, nullptr};
  QApplication app(qtArgc, qtArgv);
  QApplication::setApplicationName(QStringLiteral("Orvida"));
  QApplication::setApplicationVersion(QStringLiteral(ORVIDA_VERSION_SHOWN));
  // Ties the windows to the desktop's menu entry (Wayland takes the icon from there).
  QGuiApplication::setDesktopFileName(QStringLiteral("orvida"));
  Start();
  return QApplication::exec();
}

}  // namespace Shell
