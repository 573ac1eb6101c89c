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
};

TEST_F(StartupTest, StartsWithTheAboutWindowAlone) {
  Shell::Start();
  ASSERT_NE(Shell::LoadedAboutOrvida(), nullptr);
  EXPECT_TRUE(Shell::LoadedAboutOrvida()->isVisible());
  EXPECT_EQ(Shell::LoadedForm1(), nullptr);
  EXPECT_EQ(VisibleTopLevels(), 1);
  EXPECT_EQ(Shell::SplashShown, 0);
}

// Closing the splash either way opens the main window exactly once.
TEST_F(StartupTest, FirstCloseOfTheSplashOpensTheMainWindowOnce) {
  const std::vector<std::pair<const char*, std::function<void(AboutOrvida*)>>> closers = {
      {"OK button", [](AboutOrvida* about) { QTest::mouseClick(about->Command1, Qt::LeftButton); }},
      {"close box", [](AboutOrvida* about) { about->close(); }},
      {"Esc key", [](AboutOrvida* about) { QTest::keyClick(about, Qt::Key_Escape); }},
  };
  for (const auto& [name, close] : closers) {
    SCOPED_TRACE(name);
    CloseAllWindows();
    Shell::SplashShown = 0;
    Shell::Start();
    AboutOrvida* about = Shell::LoadedAboutOrvida();
    ASSERT_NE(about, nullptr);
    close(about);
    Settle();
    EXPECT_EQ(Shell::LoadedAboutOrvida(), nullptr);
    ASSERT_NE(Shell::LoadedForm1(), nullptr);
    EXPECT_TRUE(Shell::LoadedForm1()->isVisible());
    EXPECT_EQ(Shell::SplashShown, 1);
    int mainWindows = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
      mainWindows += qobject_cast<Form1*>(window) != nullptr ? 1 : 0;
    }
    EXPECT_EQ(mainWindows, 1);
  }
}

// The main window's load warns about a damaged conf.ini while the splash is still up. The
// splash, closed by any means, is closed again by the window system while the program's own
// warning box runs its event loop: the main window still opens, once.
TEST_F(StartupTest, ClosingTheSplashUnderTheStartUpWarningStillOpensTheMainWindowOnce) {
  Runtime::ScopedMessagePresenter boxes(Runtime::MessageBoxes());
  const auto closeBoxOrWindowManager = [](AboutOrvida* about) {
    QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
        about->windowHandle());
  };
  const std::vector<std::pair<const char*, std::function<void(AboutOrvida*)>>> closers = {
      {"OK button", [](AboutOrvida* about) { QTest::mouseClick(about->Command1, Qt::LeftButton); }},
      {"Esc key", [](AboutOrvida* about) { QTest::keyClick(about, Qt::Key_Escape); }},
      {"window system", closeBoxOrWindowManager},
  };
  for (const auto& [name, close] : closers) {
    SCOPED_TRACE(name);
    CloseAllWindows();
    Shell::SplashShown = 0;
    WriteConfig("x\r\n");
    Shell::Start();
    AboutOrvida* about = Shell::LoadedAboutOrvida();
    int warnings = 0;
    QTimer answer;  // at the warning, as a user would: close the splash again, then answer
    QObject::connect(&answer, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      ++warnings;
      closeBoxOrWindowManager(about);
      EXPECT_TRUE(Shell::LoadedAboutOrvida() && about->isVisible()) << "the splash stays";
      box->button(QMessageBox::Ok)->click();
      QTimer::singleShot(100, &answer, [] { QCoreApplication::exit(2); });
    });
    answer.start(10);
    QTimer::singleShot(0, about, [&] { close(about); });
    QTimer::singleShot(5000, &answer, [] { QCoreApplication::exit(1); });
    EXPECT_EQ(QApplication::exec(), 2) << "the program's event loop goes on";
    EXPECT_EQ(warnings, 1);
    ASSERT_NE(Shell::LoadedForm1(), nullptr);
    EXPECT_TRUE(Shell::LoadedForm1()->isVisible());
    EXPECT_EQ(VisibleTopLevels(), 1);
  }
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
    QTest::qWait(100);  // an early end would be over by now
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

TEST_F(StartupTest, MainWindowLoadFailureStillOpensIt) {
  QFile::remove(ConfigPath());
  WriteConfig("only one line\r\n");
  Shell::Start();
  Shell::LoadedAboutOrvida()->close();
  Settle();
  ASSERT_NE(Shell::LoadedForm1(), nullptr);
  EXPECT_EQ(Shell::SplashShown, 1);
  EXPECT_EQ(presenter_.messages.size(), 1u);
}

// The start-up warning word for word, for a file that ends early and for a number too large.
TEST_F(StartupTest, TheWarningAboutADamagedFileNamesTheFileTheLineAndTheProblem) {
  const std::pair<QByteArray, const char*> cases[] = {
      {"3d6\r\n 3\r\n", "Riga: 3\nProblema: Input oltre la fine del file (errore 62)"},
      {"3d6\r\n 40000\r\n 6\r\n", "Riga: 2\nProblema: Overflow (errore 6)"},
  };
  for (const auto& [file, problem] : cases) {
    SCOPED_TRACE(problem);
    CloseAllWindows();
    presenter_.messages.clear();
    WriteConfig(file);
    Shell::SplashShown = 1;
    Shell::ShowForm1();
    ASSERT_EQ(presenter_.messages.size(), 1u);
    EXPECT_EQ(presenter_.messages[0].text,
              QStringLiteral("Impossibile leggere per intero la configurazione della Pulsantiera "
                             "Veloce.\n\nFile: ") +
                  QDir::toNativeSeparators(ConfigPath()) + u'\n' + QString::fromUtf8(problem) +
                  QStringLiteral("\n\nI pulsanti letti fin qui sono stati caricati, gli altri "
                                 "restano vuoti. Il file non verrà modificato finché non "
                                 "salverai la configurazione."));
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
