#include <QApplication>
#include <QButtonGroup>
#include <QFrame>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>
#include <QToolTip>
#include <set>

#include "gui_support.h"
#include "runtime/conversions.h"
#include "runtime/twips.h"
#include "shell/shell.h"
#include "windows/main/form1.h"

namespace {

class MainWindowTest : public GuiTest {
 protected:
  Form1* Open(const QByteArray& config = orvida_test::JoinLines(orvida_test::SampleLines())) {
    WriteConfig(config);
    Shell::SplashShown = 1;
    Form1* form = Shell::ShowForm1();
    Settle();
    return form;
  }

  static void Type(QLineEdit* box, const QString& text) {
    box->selectAll();
    box->del();
    QTest::keyClicks(box, text);
  }
};

struct ManualRoll {
  const char* count;
  const char* sides;
  int dice;              // dice thrown, -1 when nothing may happen
  const char* expected;  // the result box afterwards
};

// The dice draw 0.5: a die of s sides shows floor(s / 2) + 1. An overflow is reported, and
// the program goes on.
TEST_F(MainWindowTest, ManualRollReadsTheBoxesAsNumbers) {
  const ManualRoll rolls[] = {
      {"abc", "6", -1, "18"}, {"", "6", -1, "18"},          {"0", "6", -1, "18"},
      {"-2", "6", -1, "18"},  {"3", "xyz", -1, "18"},       {"3", "", -1, "18"},
      {"3", "0", -1, "18"},   {"3", "-2", -1, "18"},        {"3", "6", 3, "12"},
      {"2.5", "6", 2, "8"},   {"3.5", "6", 4, "16"},        {"12x", "6", 12, "48"},
      {"1", "1", 1, "1"},     {"0.4", "6", 0, "0"},         {"  7", "2", 7, "14"},
      {"3d6", "6", 3, "12"},  {"5000", "6", 5000, "20000"}, {"2", "0.4", 2, "2"},
  };
  const ManualRoll overflows[] = {
      {"40000", "6", 0, "18"}, {"3", "40000", 0, "18"}, {"32767", "2", 16384, "18"}};
  Form1* form = Open();
  const auto roll = [&](const ManualRoll& c, bool overflow) {
    SCOPED_TRACE(std::string(c.count) + " d " + c.sides);
    presenter_.messages.clear();
    form->Text2->setText(QStringLiteral("18"));
    source_.draws = 0;
    source_.reseeds = 0;
    Type(form->Text1, QString::fromLatin1(c.count));
    Type(form->Text3, QString::fromLatin1(c.sides));
    QTest::mouseClick(form->Command5, Qt::LeftButton);
    EXPECT_EQ(form->Text2->text(), QString::fromLatin1(c.expected));
    EXPECT_EQ(source_.draws, std::max(c.dice, 0));
    EXPECT_EQ(form->Text1->text(), QString::fromLatin1(c.count)) << "the boxes keep what was typed";
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(presenter_.messages.size(), overflow ? 1u : 0u);
    if (!overflow) {
      EXPECT_EQ(source_.reseeds, c.dice < 0 ? 0 : 1);
      return;
    }
    EXPECT_EQ(presenter_.messages[0].title, QStringLiteral("Orvida"));
    EXPECT_TRUE(presenter_.messages[0].text.contains(QStringLiteral("6")));
    EXPECT_TRUE(presenter_.messages[0].text.contains(QStringLiteral("Overflow")));
  };
  for (const ManualRoll& c : rolls) roll(c, false);
  for (const ManualRoll& c : overflows) roll(c, true);
}

TEST_F(MainWindowTest, OpensShortAndTheToggleAlternatesBetweenTheTwoHeightsAndCaptions) {
  Form1* form = Open();
  form->activateWindow();
  EXPECT_EQ(form->focusWidget(), form->Text1);
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Orvida"));
  for (int click = 0; click <= 6; ++click) {
    SCOPED_TRACE(click);
    const bool open = click % 2 == 1;
    if (click > 0) QTest::mouseClick(form->CmndUpDown, Qt::LeftButton);
    EXPECT_EQ(form->KeypadState, open ? QStringLiteral("Down") : QStringLiteral("Up"));
    EXPECT_EQ(form->Frame1->isVisible(), open);
    EXPECT_EQ(form->CmndUpDown->text(), open ? QStringLiteral("Chiudi &Pulsantiera Veloce")
                                             : QStringLiteral("Apri &Pulsantiera Veloce"));
    EXPECT_EQ(form->size(), QSize(Runtime::Pixels(7752), Runtime::Pixels(open ? 3096 : 1346)));
  }
}

// Buttons of one size inside the panel, none over another, in slot order down three rows
// and on to the next column, with equal steps between the columns and the rows.
TEST_F(MainWindowTest, KeypadButtonsCarryTheSlotCaptionsInAGridOfSevenColumns) {
  Form1* form = Open();
  const auto place = [form](int i) { return form->Command1(i)->geometry(); };
  std::set<int> columns;
  std::set<int> rows;
  for (int i = 1; i <= Modulo1::kKeypadSlots; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(form->Command1(i)->text(), QStringLiteral("Tasto %1").arg(i));
    EXPECT_EQ(form->Command1Group->id(form->Command1(i)), i);
    EXPECT_EQ(form->Command1(i)->parentWidget(), form->Frame1);
    EXPECT_TRUE(form->Frame1->contentsRect().contains(place(i)));
    EXPECT_EQ(place(i).size(), place(1).size());
    for (int j = 1; j < i; ++j) EXPECT_FALSE(place(i).intersects(place(j))) << j;
    const QRect before = place(std::max(i - 1, 1));
    EXPECT_TRUE(i == 1 || (place(i).x() == before.x() && place(i).y() > before.y()) ||
                (place(i).x() > before.x() && place(i).y() == place(1).y()));
    columns.insert(place(i).x());
    rows.insert(place(i).y());
  }
  EXPECT_EQ(columns.size(), 7u);
  EXPECT_EQ(rows.size(), 3u);
  for (const std::set<int>& lines : {columns, rows}) {
    std::set<int> steps;
    for (auto at = std::next(lines.begin()); at != lines.end(); ++at)
      steps.insert(*at - *std::prev(at));
    EXPECT_EQ(steps.size(), 1u);
  }
}

struct QuickRoll {
  const char* caption;
  const char* count;
  const char* sides;
  bool rolls;
};

TEST_F(MainWindowTest, QuickRollWritesCountSizeAndSum) {
  const QuickRoll presets[] = {
      {"3d6", " 3", " 6", true},    {"", " 2", " 4", true},     {"zero", " 0", " 6", false},
      {"nulla", " 4", " 0", false}, {"neg", "-1", " 6", false}, {"d20", " 1", " 20", true},
  };
  QStringList lines;
  for (int i = 1; i <= Modulo1::kKeypadSlots; ++i) {
    const QuickRoll& s = presets[(i - 1) % std::size(presets)];
    lines << QString::fromLatin1(s.caption) << QString::fromLatin1(s.count)
          << QString::fromLatin1(s.sides);
  }
  Form1* form = Open(ConfigFromLines(lines));
  QTest::mouseClick(form->CmndUpDown, Qt::LeftButton);
  for (int i = 1; i <= static_cast<int>(std::size(presets)); ++i) {
    const QuickRoll& s = presets[i - 1];
    SCOPED_TRACE(s.caption);
    form->Text1->setText(QStringLiteral("a"));
    form->Text3->setText(QStringLiteral("b"));
    form->Text2->setText(QStringLiteral("c"));
    source_.draws = 0;
    EXPECT_EQ(form->Command1(i)->text(), QString::fromLatin1(s.caption));
    QTest::mouseClick(form->Command1(i), Qt::LeftButton);
    if (!s.rolls) {
      EXPECT_EQ(form->Text1->text(), QStringLiteral("a"));
      EXPECT_EQ(form->Text2->text(), QStringLiteral("c"));
      EXPECT_EQ(source_.draws, 0);
      continue;
    }
    const int count = QString::fromLatin1(s.count).trimmed().toInt();
    const int sides = QString::fromLatin1(s.sides).trimmed().toInt();
    EXPECT_EQ(form->Text1->text(), QString::number(count));
    EXPECT_EQ(form->Text3->text(), QString::number(sides));
    EXPECT_EQ(form->Text2->text(), QString::number(count * (sides / 2 + 1)));
    EXPECT_EQ(source_.draws, count);
  }
}

TEST_F(MainWindowTest, TabGoesThroughTheBoxesTiraTheKeypadThenTheButtonRow) {
  Form1* form = Open();
  QTest::mouseClick(form->CmndUpDown, Qt::LeftButton);
  std::vector<QWidget*> expected = {form->Text1, form->Text2, form->Text3, form->Command5};
  for (int i = 1; i <= Modulo1::kKeypadSlots; ++i) expected.push_back(form->Command1(i));
  for (QWidget* w : {form->CmndUpDown, form->CmndPersonalizza, form->CmndAbout, form->CmndEsci}) {
    expected.push_back(w);
  }
  for (size_t i = 0; i + 1 < expected.size(); ++i) {
    QWidget* next = expected[i]->nextInFocusChain();
    while (!(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
    EXPECT_EQ(next, expected[i + 1]) << i;
  }
}

// The window's own access keys come first, even with the keypad open on presets captioned
// "&Tira" and "&Esci".
TEST_F(MainWindowTest, EscapePressesTheRollButtonAndAltTIsItsAccessKey) {
  QStringList lines;
  for (int i = 0; i < 10; ++i) lines << QStringList{"&Tira", " 1", " 1", "&Esci", " 1", " 1"};
  Form1* form = Open(ConfigFromLines(lines));
  QTest::mouseClick(form->CmndUpDown, Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitForWindowActive(form));  // access keys reach the active window
  source_.draws = 0;
  QTest::keyClick(form->Text1, Qt::Key_Escape);
  QTest::keyClick(form->Text1, Qt::Key_T, Qt::AltModifier);  // a click that lasts 100 ms
  // Twice the 3d6 typed: a preset (1d1) in place of either roll would never make it 6.
  EXPECT_TRUE(QTest::qWaitFor([this] { return source_.draws == 6; })) << source_.draws;
  source_.draws = 0;
  QTest::keyClick(form->Text1, Qt::Key_Return);
  QTest::keyClick(form->Text3, Qt::Key_Enter);
  EXPECT_EQ(source_.draws, 0) << "Enter rolls nothing";
  const QPointer<Form1> window = form;  // Esci closes it, and the closed window is deleted
  QTest::keyClick(form->Text1, Qt::Key_E, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([window] { return !window || !window->isVisible(); }, 1000));
}

// The tooltip shows the caption as written: markup in it is text, and a picture named in it
// is never loaded. A long caption, and a word too long for a line, wrap to a readable width.
TEST_F(MainWindowTest, ACaptionTooLongForItsButtonShowsWholeInItsTooltip) {
  const QString caption = QStringLiteral("<b>Palla</b> di fuoco <img src=\"/dev/zero\">");
  QStringList lines;
  for (int i = 1; i <= Modulo1::kKeypadSlots; ++i) {
    lines << (i == 2   ? caption
              : i == 3 ? caption.repeated(8) + QString(150, u'X')
                       : "3d6")
          << QStringLiteral(" 3") << QStringLiteral(" 6");
  }
  Form1* form = Open(ConfigFromLines(lines));
  EXPECT_EQ(form->Command1(1)->toolTip(), QString());
  QTextDocument shown;
  shown.setHtml(form->Command1(2)->toolTip());
  EXPECT_EQ(shown.toPlainText(), caption);
  EXPECT_EQ(form->Command1(2)->text(), caption);
  QToolTip::showText(QPoint(), form->Command1(3)->toolTip(), form->Command1(3));
  for (QWidget* tip : QApplication::topLevelWidgets()) {
    if (!tip->inherits("QTipLabel") || !tip->isVisible()) continue;
    EXPECT_LE(tip->width(), tip->fontMetrics().averageCharWidth() * 60) << "a readable width";
    EXPECT_GE(tip->height(), tip->fontMetrics().lineSpacing() * 8) << "every word shown";
  }
  EXPECT_TRUE(QToolTip::isVisible());
}

}  // namespace
