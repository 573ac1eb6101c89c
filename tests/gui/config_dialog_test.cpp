#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "gui_support.h"
#include "shell/shell.h"
#include "windows/config/form2.h"
#include "windows/main/form1.h"

namespace {

class ConfigDialogTest : public GuiTest {
 protected:
  void SetUp() override {
    WriteConfig(orvida_test::JoinLines(orvida_test::SampleLines()));
    Shell::SplashShown = 1;
    form_ = Shell::ShowForm1();
    Settle();
  }

  // Opens the dialog from the main window as the user does, runs `act` inside its modal loop
  // and returns once the dialog has closed. `act` must close it.
  void WithDialog(const std::function<void(Form2*)>& act) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<Form2*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      ran = true;
      act(dialog);
      if (dialog->isVisible()) {
        ADD_FAILURE() << "the dialog was left open";
        dialog->reject();
      }
    });
    QTest::mouseClick(form_->CmndPersonalizza, Qt::LeftButton);
    EXPECT_TRUE(ran);
    Settle();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  }

  static void Type(QLineEdit* box, const QString& text) {
    box->selectAll();
    box->del();
    QTest::keyClicks(box, text);
  }

  static void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

  Form1* form_ = nullptr;
};

TEST_F(ConfigDialogTest, OpensOnTheFirstPageWithTheStoredValues) {
  WithDialog([](Form2* dialog) {
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Configura la Pulsantiera Veloce"));
    for (int k = 1; k <= Form2::kRows; ++k) {
      SCOPED_TRACE(k);
      EXPECT_EQ(dialog->Label4(k)->text(), QStringLiteral(" %1").arg(k));
      EXPECT_EQ(dialog->Text1(k)->text(), QStringLiteral("Tasto %1").arg(k));
      EXPECT_EQ(dialog->Text2(k)->text(), QStringLiteral(" %1").arg(k));
      EXPECT_EQ(dialog->Text3(k)->text(), QStringLiteral(" 6"));
    }
    EXPECT_FALSE(dialog->Command1->isEnabled());
    EXPECT_TRUE(dialog->Command2->isEnabled());
    EXPECT_EQ(dialog->focusWidget(), dialog->Text1(1));
    Click(dialog->Command3);
  });
}

struct NumberEdit {
  const char* typed;
  int16_t stored;  // -1: the old value stays
};

// The count column and the size column take numbers alike.
TEST_F(ConfigDialogTest, NumbersAreTakenOnlyWhenGreaterThanZero) {
  const NumberEdit cases[] = {
      {"2.5", 2},  {"3.5", 4}, {"0.4", 0},  {"0.5", 0}, {"2,5", 2},
      {"12x", 12}, {"007", 7}, {"abc", -1}, {"0", -1},  {"-2", -1},
  };
  static_assert(std::size(cases) == Form2::kRows, "one case a row of the first page");
  for (const bool sizes : {false, true}) {
    SCOPED_TRACE(sizes ? "size column" : "count column");
    const auto box = [sizes](Form2* dialog, int k) {
      return sizes ? dialog->Text3(k) : dialog->Text2(k);
    };
    const auto expected = [&](int k) -> int16_t {
      return cases[k - 1].stored >= 0 ? cases[k - 1].stored : sizes ? 6 : k;
    };
    WithDialog([&](Form2* dialog) {
      for (int k = 1; k <= Form2::kRows; ++k) {
        Type(box(dialog, k), QString::fromLatin1(cases[k - 1].typed));
      }
      Click(dialog->Command2);
      Click(dialog->Command1);
      for (int k = 1; k <= Form2::kRows; ++k) {
        SCOPED_TRACE(cases[k - 1].typed);
        EXPECT_EQ(sizes ? dialog->EditSides(k) : dialog->EditCount(k), expected(k));
        EXPECT_EQ(box(dialog, k)->text(), QStringLiteral(" %1").arg(expected(k)))
            << "shown again in its normal form";
      }
      Click(dialog->Command4);
    });
    for (int k = 1; k <= Form2::kRows; ++k) {
      EXPECT_EQ(sizes ? Modulo1::KeypadSides(k) : Modulo1::KeypadCount(k), expected(k))
          << cases[k - 1].typed;
    }
    // Slot 3 was given 0.4: its count is the file's 8th line, its size the 9th.
    EXPECT_EQ(ReadConfig().split('\n').value(sizes ? 8 : 7), QByteArray(" 0\r"))
        << "0.4 is saved as 0";
    EXPECT_EQ(sizes ? Modulo1::KeypadSides(11) : Modulo1::KeypadCount(11), sizes ? 6 : 11)
        << "a slot never shown keeps its value";
  }
}

TEST_F(ConfigDialogTest, CaptionsAreKeptExactlyAndAnEmptyOneGivesABlankButton) {
  const QString awkward = QStringLiteral("  a, \"b\" è  ");
  WithDialog([&](Form2* dialog) {
    dialog->Text1(1)->clear();
    dialog->Text1(1)->insert(awkward);
    Type(dialog->Text1(2), QString());
    Click(dialog->Command4);
  });
  EXPECT_EQ(Modulo1::KeypadText(1), awkward);
  EXPECT_EQ(form_->Command1(1)->text(), awkward);
  EXPECT_EQ(Modulo1::KeypadText(2), QString());
  EXPECT_EQ(form_->Command1(2)->text(), QString());
  EXPECT_TRUE(ReadConfig().startsWith(QByteArray("  a, \"b\" \xE8  \r\n 1\r\n 6\r\n\r\n 2\r\n")));

  // The blank button still rolls its slot.
  QTest::mouseClick(form_->CmndUpDown, Qt::LeftButton);
  source_.draws = 0;
  QTest::mouseClick(form_->Command1(2), Qt::LeftButton);
  EXPECT_EQ(source_.draws, 2);
}

TEST_F(ConfigDialogTest, EditsOnBothPagesReachTheTableAndTheFile) {
  for (bool okOnSecondPage : {false, true}) {
    SCOPED_TRACE(okOnSecondPage);
    WithDialog([&](Form2* dialog) {
      Type(dialog->Text1(3), QStringLiteral("tre"));
      Click(dialog->Command2);
      EXPECT_EQ(dialog->Label4(1)->text(), QStringLiteral(" 11"));
      EXPECT_TRUE(dialog->Command1->isEnabled());
      EXPECT_FALSE(dialog->Command2->isEnabled());
      Type(dialog->Text1(5), QStringLiteral("quindici"));
      Type(dialog->Text2(2), QStringLiteral("9"));
      if (!okOnSecondPage) {
        Click(dialog->Command1);
        EXPECT_EQ(dialog->Text1(3)->text(), QStringLiteral("tre"));
      }
      Click(dialog->Command4);
    });
    EXPECT_EQ(Modulo1::KeypadText(3), QStringLiteral("tre"));
    EXPECT_EQ(Modulo1::KeypadText(15), QStringLiteral("quindici"));
    EXPECT_EQ(Modulo1::KeypadCount(12), 9);
    EXPECT_EQ(form_->Command1(15)->text(), QStringLiteral("quindici"));
    const QByteArray saved = ReadConfig();
    EXPECT_EQ(saved.count("\r\n"), 60);
    EXPECT_TRUE(saved.contains("\r\ntre\r\n 3\r\n 6\r\n"));
    EXPECT_TRUE(saved.contains("\r\nTasto 12\r\n 9\r\n 6\r\n"));
    EXPECT_TRUE(saved.contains("\r\nquindici\r\n 15\r\n"));
    WriteConfig(orvida_test::JoinLines(orvida_test::SampleLines()));
    Modulo1::LoadKeypadConfig(ConfigPath());
  }
}

TEST_F(ConfigDialogTest, CancelAndTheCloseBoxChangeNothing) {
  const QByteArray before = ReadConfig();
  const std::vector<std::pair<const char*, std::function<void(Form2*)>>> closers = {
      {"Cancel", [](Form2* dialog) { Click(dialog->Command3); }},
      {"close box", [](Form2* dialog) { dialog->close(); }},
      {"Esc", [](Form2* dialog) { QTest::keyClick(dialog->Text1(1), Qt::Key_Escape); }},
  };
  for (const auto& [name, close] : closers) {
    SCOPED_TRACE(name);
    WithDialog([&](Form2* dialog) {
      Type(dialog->Text1(1), QStringLiteral("cambiato"));
      Type(dialog->Text2(1), QStringLiteral("99"));
      Click(dialog->Command2);
      Type(dialog->Text1(1), QStringLiteral("anche"));
      close(dialog);
    });
    EXPECT_EQ(ReadConfig(), before);
    EXPECT_EQ(Modulo1::KeypadText(1), QStringLiteral("Tasto 1"));
    EXPECT_EQ(Modulo1::KeypadCount(1), 1);
    EXPECT_EQ(form_->Command1(1)->text(), QStringLiteral("Tasto 1"));
    WithDialog([](Form2* dialog) {
      EXPECT_EQ(dialog->Label4(1)->text(), QStringLiteral(" 1")) << "reopens on the first page";
      EXPECT_EQ(dialog->Text1(1)->text(), QStringLiteral("Tasto 1"));
      Click(dialog->Command3);
    });
  }
}

TEST_F(ConfigDialogTest, AnOverflowOnAPageSwitchKeepsThePageAndTheTyping) {
  WithDialog([&](Form2* dialog) {
    Type(dialog->Text1(1), QStringLiteral("nuovo"));
    Type(dialog->Text2(4), QStringLiteral("40000"));
    Click(dialog->Command2);
    ASSERT_EQ(presenter_.messages.size(), 1u);
    EXPECT_TRUE(presenter_.messages[0].text.contains(QStringLiteral("Overflow")));
    EXPECT_EQ(dialog->Label4(1)->text(), QStringLiteral(" 1"));
    EXPECT_FALSE(dialog->Command1->isEnabled());
    EXPECT_TRUE(dialog->Command2->isEnabled());
    EXPECT_EQ(dialog->Text2(4)->text(), QStringLiteral("40000"));
    EXPECT_EQ(dialog->Text1(1)->text(), QStringLiteral("nuovo"));
    EXPECT_EQ(dialog->EditText(1), QStringLiteral("Tasto 1")) << "nothing of the page was taken";

    Type(dialog->Text2(4), QStringLiteral("4"));
    Click(dialog->Command2);
    EXPECT_EQ(dialog->Label4(1)->text(), QStringLiteral(" 11"));
    EXPECT_EQ(dialog->EditText(1), QStringLiteral("nuovo"));
    Click(dialog->Command3);
  });
}

TEST_F(ConfigDialogTest, OkWithAnOverflowKeepsTheDialogOpenAndChangesNothing) {
  const QByteArray before = ReadConfig();
  WithDialog([&](Form2* dialog) {
    Type(dialog->Text1(2), QStringLiteral("modificato"));
    Type(dialog->Text3(7), QStringLiteral("32767.5"));
    Click(dialog->Command4);
    EXPECT_EQ(presenter_.messages.size(), 1u);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->Text1(2)->text(), QStringLiteral("modificato"));
    EXPECT_EQ(Modulo1::KeypadText(2), QStringLiteral("Tasto 2"));
    EXPECT_EQ(ReadConfig(), before);
    Type(dialog->Text3(7), QStringLiteral("32767.4"));
    Click(dialog->Command4);
    EXPECT_FALSE(dialog->isVisible());
  });
  EXPECT_EQ(Modulo1::KeypadSides(7), 32767);
  EXPECT_EQ(Modulo1::KeypadText(2), QStringLiteral("modificato"));
}

TEST_F(ConfigDialogTest, AFailedSaveIsReportedAndTheDialogStaysOpen) {
  // A program folder that is a regular file: no one can create conf.ini inside it; and one
  // that cannot be known, where nothing may be saved at all.
  const QString notAFolder = folder_.filePath(QStringLiteral("not-a-folder"));
  {
    QFile file(notAFolder);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  // What stands where a folder left unknown could lead a save (no date: nothing), as it was.
  const auto outside = [] {
    return std::pair(QFileInfo(QStringLiteral("/conf.ini")).lastModified(),
                     QFileInfo(QStringLiteral("conf.ini")).lastModified());
  };
  const auto before = outside();
  // Both are error 76, a path not found; the message names the file that is in the way, and
  // no file at all when the folder is unknown.
  for (const auto& [folder, named] :
       {std::pair{notAFolder, QStringLiteral("not-a-folder")}, std::pair{QString(), QString()}}) {
    SCOPED_TRACE(folder.toStdString());
    presenter_.messages.clear();
    Runtime::ScopedProgramFolder elsewhere(folder);
    WithDialog([&](Form2* dialog) {
      Type(dialog->Text1(1), QStringLiteral("da salvare"));
      Click(dialog->Command4);
      ASSERT_EQ(presenter_.messages.size(), 1u);
      EXPECT_EQ(presenter_.messages[0].kind, Runtime::MessageKind::Error);
      const QString& text = presenter_.messages[0].text;
      EXPECT_TRUE(text.contains(QStringLiteral("'76'")) &&
                  text.contains(named.isEmpty() ? QStringLiteral("conf.ini") : named) ==
                      !named.isEmpty())
          << text.toStdString();
      EXPECT_TRUE(dialog->isVisible());
      EXPECT_EQ(dialog->Text1(1)->text(), QStringLiteral("da salvare"));
      Click(dialog->Command3);
    });
    EXPECT_EQ(outside(), before);
  }
  EXPECT_EQ(QFileInfo(notAFolder).size(), 0);
}

TEST_F(ConfigDialogTest, EnterPressesNoButton) {
  const QByteArray before = ReadConfig();
  WithDialog([&](Form2* dialog) {
    for (QPushButton* button :
         {dialog->Command1, dialog->Command2, dialog->Command3, dialog->Command4}) {
      EXPECT_FALSE(button->isDefault());
      EXPECT_FALSE(button->autoDefault());
    }
    Type(dialog->Text1(1), QStringLiteral("invio"));
    QTest::keyClick(dialog->Text1(1), Qt::Key_Return);
    QTest::keyClick(dialog->Text2(1), Qt::Key_Enter);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->Label4(1)->text(), QStringLiteral(" 1"));
    Click(dialog->Command3);
  });
  EXPECT_EQ(ReadConfig(), before);
}

TEST_F(ConfigDialogTest, ACaptionBoxTakesNoLineBreak) {
  WithDialog([](Form2* dialog) {
    dialog->Text1(1)->clear();
    dialog->Text1(1)->insert(QStringLiteral("uno\r\ndue\ntre\rquattro"));
    EXPECT_EQ(dialog->Text1(1)->text(), QStringLiteral("uno due tre quattro"));
    Click(dialog->Command4);
  });
  EXPECT_EQ(Modulo1::KeypadText(1), QStringLiteral("uno due tre quattro"));
  EXPECT_EQ(ReadConfig().count("\r\n"), 60);
}

TEST_F(ConfigDialogTest, TabRunsThroughTheRowsThenThePageButtonCancelAndOk) {
  WithDialog([](Form2* dialog) {
    std::vector<QWidget*> expected;
    for (int k = 1; k <= Form2::kRows; ++k) {
      expected.push_back(dialog->Text1(k));
      expected.push_back(dialog->Text2(k));
      expected.push_back(dialog->Text3(k));
    }
    expected.push_back(dialog->Command2);  // "1-10" is disabled on the first page
    expected.push_back(dialog->Command3);
    expected.push_back(dialog->Command4);
    QApplication::setActiveWindow(dialog);
    dialog->Text1(1)->setFocus();
    for (size_t i = 1; i < expected.size(); ++i) {
      QTest::keyClick(dialog->focusWidget(), Qt::Key_Tab);
      EXPECT_EQ(dialog->focusWidget(), expected[i])
          << i << " " << dialog->focusWidget()->accessibleName().toStdString();
    }
    Click(dialog->Command3);
  });
}

}  // namespace
