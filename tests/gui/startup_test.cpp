#include <qpa/qwindowsysteminterface.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "gui_support.h"
#include "runtime/handlers.h"
#include "runtime/runtime_error.h"
#include "shell/shell.h"
#include "windows/about/about_orvida.h"
#include "windows/main/form1.h"

namespace {

class StartupTest : public GuiTest {
 protected:
  void SetUp() override { WriteConfig(orvida_test::JoinLines(orvida_test::SampleLines())); }

  static int VisibleTopLevels() {
    int count = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) count += window->isVisible() ? 1 : 0;
    return count;
  }

  static void WindowSystemClose(AboutOrvida* about) {
    QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
        about->windowHandle());
  }
};

// Calls `act` with `watched`, or any object of the application when that is watched, on
// each of its events of `type`, while this object lives.
class OnEvent : public QObject {
 public:
  OnEvent(QObject* watched, QEvent::Type type, std::function<void(QObject*)> act)
      : type_(type), act_(std::move(act)) {
    watched->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == type_) act_(watched);
    return false;
  }

 private:
  QEvent::Type type_;
  std::function<void(QObject*)> act_;
};

// The splash stands alone at start; closed twice before the event loop turns, by any two of
// its closes, it stays until the main window is up, which opens once: the second close
// waits for the first.
TEST_F(StartupTest, TwoClosesOfTheSplashAtOnceOpenTheMainWindowOnce) {
  const std::pair<const char*, std::function<void(AboutOrvida*)>> closers[] = {
      {"OK", [](AboutOrvida* about) { QTest::mouseClick(about->Command1, Qt::LeftButton); }},
      {"Alt+O", [](AboutOrvida* about) { QTest::keyClick(about, Qt::Key_O, Qt::AltModifier); }},
      {"Esc", [](AboutOrvida* about) { QTest::keyClick(about, Qt::Key_Escape); }},
      {"window system", WindowSystemClose},
  };
  for (const auto& [first, closeFirst] : closers) {
    for (const auto& [second, closeSecond] : closers) {
      SCOPED_TRACE(std::string(first) + ", then " + second);
      CloseAllWindows();
      Shell::SplashShown = 0;
      Shell::Start();
      AboutOrvida* about = Shell::LoadedAboutOrvida();
      ASSERT_NE(about, nullptr);
      ASSERT_TRUE(QTest::qWaitForWindowActive(about));  // access keys reach the active window
      EXPECT_EQ(Shell::LoadedForm1(), nullptr);
      EXPECT_EQ(VisibleTopLevels(), 1);
      EXPECT_EQ(Shell::SplashShown, 0);
      bool mainWindowUp = false;  // when the splash goes
      const OnEvent hidden(about, QEvent::Hide, [&](QObject*) {
        mainWindowUp = Shell::LoadedForm1() && Shell::LoadedForm1()->isVisible();
      });
      closeFirst(about);
      closeSecond(about);  // Alt+O clicks 100 ms later, the others at once
      EXPECT_TRUE(QTest::qWaitFor([] { return !Shell::LoadedAboutOrvida(); }));
      EXPECT_TRUE(mainWindowUp) << "the program was left without a window";
      ASSERT_NE(Shell::LoadedForm1(), nullptr);
      EXPECT_TRUE(Shell::LoadedForm1()->isVisible());
      EXPECT_EQ(Shell::SplashShown, 1);
      EXPECT_EQ(VisibleTopLevels(), 1);
    }
  }
}

// The main window's load warns about a damaged conf.ini while the splash is still up: the
// splash stays until the warning is answered; then the main window opens, once, and the
// program's event loop goes on.
TEST_F(StartupTest, TheStartUpWarningComesOverTheSplashAndTheMainWindowOpensOnce) {
  Runtime::ScopedMessagePresenter boxes(Runtime::MessageBoxes());
  WriteConfig("x\r\n");
  Shell::Start();
  AboutOrvida* about = Shell::LoadedAboutOrvida();
  int warnings = 0;
  const OnEvent answer(qApp, QEvent::Show, [&](QObject* shown) {
    auto* box = qobject_cast<QMessageBox*>(shown);
    if (!box) return;
    ++warnings;
    EXPECT_TRUE(Shell::LoadedAboutOrvida() && about->isVisible()) << "the splash stays";
    QMetaObject::invokeMethod(box->button(QMessageBox::Ok), &QAbstractButton::click,
                              Qt::QueuedConnection);
  });
  // Once the splash is gone, the program's own end, if it comes, is already posted.
  QObject::connect(about, &QObject::destroyed, qApp,
                   [] { QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(2); }); });
  QTimer::singleShot(0, about, [about] { QTest::keyClick(about, Qt::Key_Escape); });
  QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
  EXPECT_EQ(QApplication::exec(), 2) << "the program's event loop goes on";
  EXPECT_EQ(warnings, 1);
  ASSERT_NE(Shell::LoadedForm1(), nullptr);
  EXPECT_TRUE(Shell::LoadedForm1()->isVisible());
  EXPECT_EQ(VisibleTopLevels(), 1);
}

TEST_F(StartupTest, AboutFromTheMainWindowIsOneWindowAndLeavesTheMainWindowAlone) {
  Shell::Start();
  Shell::LoadedAboutOrvida()->close();
  Settle();
  Form1* form = Shell::LoadedForm1();
  ASSERT_NE(form, nullptr);
  form->move(40, 50);
  const QPoint where = form->pos();
  form->Text2->setText(QStringLiteral("kept"));

  QTest::mouseClick(form->CmndAbout, Qt::LeftButton);
  AboutOrvida* about = Shell::LoadedAboutOrvida();
  ASSERT_NE(about, nullptr);
  const QString appeal = about->Text1->text();
  QTest::mouseClick(form->CmndAbout, Qt::LeftButton);
  EXPECT_EQ(Shell::LoadedAboutOrvida(), about);
  EXPECT_EQ(about->Text1->text(), appeal);
  int aboutWindows = 0;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    aboutWindows += qobject_cast<AboutOrvida*>(window) != nullptr ? 1 : 0;
  }
  EXPECT_EQ(aboutWindows, 1);

  QTest::mouseClick(about->Command1, Qt::LeftButton);
  Settle();
  EXPECT_EQ(Shell::LoadedAboutOrvida(), nullptr);
  EXPECT_EQ(Shell::LoadedForm1(), form);
  EXPECT_EQ(form->pos(), where);
  EXPECT_EQ(form->Text2->text(), QStringLiteral("kept"));
  EXPECT_EQ(Shell::SplashShown, 1);
}

// The program lives as long as one of its windows is open, whatever owns the About window to
// keep it off the taskbar (a hidden window, on Windows): run in the program's event loop.
TEST_F(StartupTest, ExitWithTheAboutWindowOpenKeepsTheProgramUntilItCloses) {
  Shell::Start();
  Shell::LoadedAboutOrvida()->close();
  Settle();
  Form1* form = Shell::LoadedForm1();
  QTest::mouseClick(form->CmndAbout, Qt::LeftButton);
  AboutOrvida* about = Shell::LoadedAboutOrvida();
  QWindow owner;
  if (!about->windowHandle()->transientParent()) about->windowHandle()->setTransientParent(&owner);

  bool aboutClosed = false;
  QTimer::singleShot(0, about, [&] {
    form->CmndEsci->click();
    EXPECT_TRUE(QTest::qWaitFor([] { return !Shell::LoadedForm1(); }));
    bool drained = false;  // the program's end, were it posted, comes before this
    QTimer::singleShot(0, qApp, [&] { drained = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return drained; }));
    EXPECT_EQ(VisibleTopLevels(), 1);
    aboutClosed = Shell::LoadedAboutOrvida() && about->close();
  });
  QTimer::singleShot(5000, &owner, [] { QCoreApplication::exit(1); });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_TRUE(aboutClosed) << "the program ended with the About window open";
  EXPECT_EQ(VisibleTopLevels(), 0);
  EXPECT_EQ(Shell::LoadedForm1(), nullptr) << "closing the About window later opens nothing";
}

TEST_F(StartupTest, AboutTextsAreSetAtLoad) {
  Shell::Start();
  AboutOrvida* about = Shell::LoadedAboutOrvida();
  EXPECT_EQ(about->windowTitle(), QStringLiteral("Informazioni su..."));
  EXPECT_EQ(about->Label2->text(), QStringLiteral("Un generatore di valori casuali\n"
                                                  "per Dungeon & Dragons terza edizione\n"));
  EXPECT_TRUE(about->Text1->text().startsWith(QStringLiteral("Se questo software")));
  EXPECT_FALSE(about->Text1->text().contains(u'\n'));
  const QStringList address = about->Text2->text().split(u'\n');
  EXPECT_EQ(address.size(), 3);
  for (const QString& line : address) EXPECT_FALSE(line.trimmed().isEmpty());
  EXPECT_TRUE(about->Label6->text().contains(QStringLiteral(".example")));
  // The boxes' text can be selected with the mouse once the window is on the screen.
  EXPECT_TRUE(QTest::qWaitFor([about] {
    return about->Text1->textInteractionFlags() == Qt::TextSelectableByMouse &&
           about->Text2->textInteractionFlags() == Qt::TextSelectableByMouse;
  }));
}

// The style keeps its drawings of a button by the button's palette: were each About window
// to give its button a palette of its own, every opening would add a copy to the cache.
TEST_F(StartupTest, EveryAboutWindowPaintsItsButtonWithTheSamePalette) {
  Shell::Start();
  const qint64 first = Shell::LoadedAboutOrvida()->Command1->palette().cacheKey();
  Shell::LoadedAboutOrvida()->close();
  Settle();
  EXPECT_EQ(Shell::ShowAboutOrvida()->Command1->palette().cacheKey(), first);
}

// The splash draws its picture from a copy stretched beforehand: that copy must fit the
// picture's box (else the splash decodes about.png again) and show about.png stretched.
TEST_F(StartupTest, TheSplashPictureIsTheAboutPictureStretchedToItsBox) {
  Shell::Start();
  QLabel* picture = Shell::LoadedAboutOrvida()->Image1;
  if (picture->devicePixelRatio() != 1.0) GTEST_SKIP() << "the copy is for a 100 % scale";
  EXPECT_TRUE(picture->pixmap().isNull()) << "about.png was decoded at start-up";
  const QImage shown = picture->grab().toImage().convertToFormat(QImage::Format_RGB888);
  const QImage stretched =
      QImage(QStringLiteral(":/images/about.png"))
          .scaled(shown.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
          .convertToFormat(QImage::Format_RGB888);
  double difference = 0;
  for (int y = 0; y < shown.height(); ++y) {
    for (int i = 0; i < 3 * shown.width(); ++i) {
      difference += std::abs(shown.constScanLine(y)[i] - stretched.constScanLine(y)[i]);
    }
  }
  // Another stretching filter differs by a level or two on average, another picture by dozens.
  EXPECT_LT(difference / (3.0 * shown.width() * shown.height()), 4.0);
}

TEST_F(StartupTest, OnlyTheOkButtonOfTheAboutWindowTakesFocus) {
  Shell::Start();
  AboutOrvida* about = Shell::LoadedAboutOrvida();
  for (QWidget* child : about->findChildren<QWidget*>()) {
    if (child->parentWidget() != about) continue;
    EXPECT_EQ(child->focusPolicy() != Qt::NoFocus, child == about->Command1)
        << child->metaObject()->className() << " " << child->accessibleName().toStdString();
  }
}

// The program's own message boxes, not the tests' recording: an error shows the critical
// icon, a warning the warning icon, each with one plain button, "OK", with no picture on it.
TEST(MessageBoxes, ShowTheIconOfTheirKindAndOneOkButton) {
  const std::pair<Runtime::MessageKind, QMessageBox::Icon> cases[] = {
      {Runtime::MessageKind::Error, QMessageBox::Critical},
      {Runtime::MessageKind::Warning, QMessageBox::Warning},
  };
  for (const auto& [kind, expected] : cases) {
    SCOPED_TRACE(expected);
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
    QStringList buttons;
    QString title;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      icon = box->icon();
      format = box->textFormat();
      title = box->windowTitle();
      for (QAbstractButton* button : box->buttons()) buttons << button->text();
      EXPECT_TRUE(box->button(QMessageBox::Ok)->icon().isNull());
      QTest::keyClick(box, Qt::Key_Return);
    });
    // Should the box stay open, the test fails instead of waiting forever.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
      if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
    guard.start(5000);
    // A path or a caption in a message is never read as markup.
    if (kind == Runtime::MessageKind::Error) {
      Runtime::ReportError(nullptr, Runtime::RuntimeError(Runtime::ErrorNumber::DiskFull,
                                                          QStringLiteral("/<b>dadi</b>/conf.ini")));
    } else {
      Runtime::ReportWarning(nullptr, QStringLiteral("<img src=\"/dev/zero\">"));
    }
    EXPECT_EQ(icon, expected);
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(buttons, QStringList{QStringLiteral("OK")});
    EXPECT_EQ(title, Runtime::kMessageTitle);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  }
}

}  // namespace
