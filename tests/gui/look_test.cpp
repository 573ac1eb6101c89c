#include "windows/common/look.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRawFont>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "gui_support.h"
#include "runtime/twips.h"
#include "shell/shell.h"
#include "windows/about/about_orvida.h"
#include "windows/common/captions.h"
#include "windows/config/form2.h"
#include "windows/main/form1.h"

namespace {

TEST(LabelText, TurnsAccessKeyCaptionsIntoWhatALabelShows) {
  const std::pair<const char*, const char*> cases[] = {
      {"&Tira", "Tira"}, {"Dungeon && Dragons", "Dungeon & Dragons"},
      {"a&&&b", "a&b"},  {"riga\r\naltra\r\n", "riga\naltra\n"},
      {"fine&", "fine"}, {"", ""},
  };
  for (const auto& [caption, shown] : cases) {
    EXPECT_EQ(Captions::LabelText(QString::fromUtf8(caption)), QString::fromUtf8(shown)) << caption;
  }
}

// A keypad button leaves its caption 57 pixels of the program's font.
TEST(WrapCaption, BreaksAtABlankAndCutsWhatStillDoesNotFit) {
  const QFontMetrics metrics(Look::SansFont());
  const std::pair<const char*, const char*> cases[] = {
      {"Arco corto", "Arco corto"},
      {"Palla di fuoco 8d6", "Palla di\nfuoco 8d6"},
      {"&Palla di fuoco 8d6", "&Palla di\nfuoco 8d6"},
      {"Palla di fuoco del mago supremo", "Palla di\nfuoco del \u2026"},
      {"Incantesimo  &&  8d6", "Incantesimo\n&&  8d6"},
      {"Palla di fuoco && ghiaccio", "Palla di\nfuoco && g\u2026"},
      {"Disintegrazione", "Disintegra\u2026"},
      {"Disintegrazione 12d6", "Disintegra\u2026\n12d6"},
  };
  for (const auto& [caption, wrapped] : cases) {
    EXPECT_EQ(Captions::WrapCaption(QString::fromUtf8(caption), metrics, 57),
              QString::fromUtf8(wrapped))
        << caption;
  }
}

TEST(Twips, FifteenTwipsMakeAPixelAndEdgesAreShared) {
  EXPECT_EQ(Runtime::Pixels(15), 1);
  EXPECT_EQ(Runtime::Pixels(7752), 517);
  EXPECT_EQ(Runtime::Pixels(1346), 90);
  EXPECT_EQ(Runtime::Pixels(3096), 206);
  // Two controls that touch in twips touch in pixels.
  const QRect left = Runtime::PixelRect(1680, 120, 852, 252);
  const QRect right = Runtime::PixelRect(2520, 120, 852, 252);
  EXPECT_LE(left.right() + 1, right.left() + 1);
  EXPECT_EQ(Runtime::PixelRect(-120, 0, 3804, 5484).left(), -8);
}

// Whether `font` is drawn with one of the faces the program brings (told apart by their
// "head" tables), not with a face of the system's.
bool DrawnWithBundledFace(const QFont& font) {
  static const QList<QByteArray> bundled = [] {
    QList<QByteArray> heads;
    for (const QString& name :
         QDir(QStringLiteral(":/fonts")).entryList({QStringLiteral("*.ttf")})) {
      QFile file(QStringLiteral(":/fonts/") + name);
      if (file.open(QIODevice::ReadOnly))
        heads.append(QRawFont(file.readAll(), 12).fontTable("head"));
    }
    return heads;
  }();
  return bundled.contains(QRawFont::fromFont(font).fontTable("head"));
}

// The box of the pixels where `shown` differs from `blank`, in logical pixels: the ink of a
// text.
QRectF Ink(const QImage& blank, const QImage& shown) {
  QRect box;
  for (int y = 0; y < shown.height(); ++y) {
    for (int x = 0; x < shown.width(); ++x) {
      if (shown.pixel(x, y) != blank.pixel(x, y)) box |= QRect(x, y, 1, 1);
    }
  }
  const qreal ratio = shown.devicePixelRatio();
  return {box.x() / ratio, box.y() / ratio, box.width() / ratio, box.height() / ratio};
}

// The ink of `widget`'s text as the widget draws it: the widget without its text and with it.
QRectF DrawnInk(QWidget* widget) {
  const QVariant text = widget->property("text");
  widget->setProperty("text", QString());
  const QImage blank = widget->grab().toImage();
  widget->setProperty("text", text);
  return Ink(blank, widget->grab().toImage());
}

// The ink of a button's caption in a button with all the room it asks for.
QRectF WholeInk(QAbstractButton* button) {
  QPushButton whole(button->text());
  whole.setFont(button->font());
  whole.resize(4000, 1000);
  return DrawnInk(&whole);
}

// The ink of a label's text in a label like it with all the room its text asks for: as wide
// (when it wraps) or wider, and as tall as the text needs at that width.
QRectF WholeInk(QLabel* label) {
  QLabel whole;
  whole.setFont(label->font());
  whole.setFrameStyle(label->frameStyle());
  whole.setMargin(label->margin());
  whole.setIndent(label->indent());
  whole.setAlignment(label->alignment());
  whole.setWordWrap(label->wordWrap());
  whole.setText(label->text());
  const int width = label->wordWrap() ? label->width() : 4000;
  whole.resize(width, std::max(whole.heightForWidth(width), 0) + 1000);
  return DrawnInk(&whole);
}

class CaptionFitTest : public GuiTest {
 protected:
  // Every caption shown in `window` is whole: each button and label draws as much ink as
  // its text drawn on its own (the descent of a wrapped label's last line may be cut), and
  // a button's caption keeps off its frame.
  static void ExpectCaptionsFit(QWidget* window) {
    QList<QWidget*> controls;
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) controls << button;
    for (QLabel* label : window->findChildren<QLabel*>()) controls << label;
    for (QWidget* control : controls) {
      const QString text = control->property("text").toString();
      if (text.trimmed().isEmpty() || !control->isVisibleTo(window)) continue;
      SCOPED_TRACE(text.toStdString());
      auto* label = qobject_cast<QLabel*>(control);
      if (label) {
        EXPECT_TRUE(DrawnWithBundledFace(label->font()));
      }
      const bool wraps = label && label->wordWrap();
      const QRectF whole =
          label ? WholeInk(label) : WholeInk(qobject_cast<QAbstractButton*>(control));
      const QRectF drawn = DrawnInk(control);
      EXPECT_NEAR(drawn.width(), whole.width(), 1.5) << control->width() << " px wide";
      EXPECT_GE(drawn.height(),
                whole.height() - (wraps ? QFontMetrics(control->font()).descent() : 1.5))
          << control->height() << " px high";
      if (!label) {
        EXPECT_TRUE(QRectF(control->rect()).adjusted(2, 2, -2, -2).contains(drawn));
      }
    }
  }
};

TEST_F(CaptionFitTest, AboutWindow) {
  Shell::Start();
  ExpectCaptionsFit(Shell::LoadedAboutOrvida());
}

TEST_F(CaptionFitTest, MainWindowWithThePanelOpen) {
  QFile builtIn(QStringLiteral(":/conf.ini"));
  ASSERT_TRUE(builtIn.open(QIODevice::ReadOnly));
  WriteConfig(builtIn.readAll());
  Shell::SplashShown = 1;
  Form1* form = Shell::ShowForm1();
  QTest::mouseClick(form->CmndUpDown, Qt::LeftButton);
  ExpectCaptionsFit(form);
  QTest::mouseClick(form->CmndUpDown, Qt::LeftButton);
  ExpectCaptionsFit(form);
}

// Every sum shows whole and centred in the result box (also at 200 %: see CMakeLists.txt),
// in its large font while it fits; five digits do not at that size.
TEST_F(CaptionFitTest, ResultBoxShowsTheWidestSumsWholeAndCentred) {
  WriteConfig(orvida_test::JoinLines(orvida_test::SampleLines()));
  Shell::SplashShown = 1;
  Form1* form = Shell::ShowForm1();
  QLineEdit* box = form->Text2;
  const std::pair<const char*, bool> cases[] = {
      {"18", false}, {"9999", false}, {"32767", false}, {"10376", false}, {"20000", true}};
  for (const auto& [text, typed] : cases) {
    SCOPED_TRACE(text);
    box->clear();
    const QImage blank = box->grab().toImage();
    if (typed) {
      box->setFocus();
      QTest::keyClicks(box, QString::fromLatin1(text));
      form->Text1->setFocus();
    } else {
      box->setText(QString::fromLatin1(text));
    }
    ASSERT_EQ(box->text(), QString::fromLatin1(text));
    const QRectF drawn = Ink(blank, box->grab().toImage());
    const qreal left = drawn.left();
    const qreal right = drawn.right();
    const QFontMetricsF metrics(box->font());
    const QRectF ink = metrics.tightBoundingRect(box->text());
    EXPECT_NEAR(right - left, ink.width(), 1.5) << "digits are cut";
    // Centred: the text's advance, not its ink, has equal room on either side.
    const qreal start = left - ink.left();
    const qreal end = start + metrics.horizontalAdvance(box->text());
    EXPECT_NEAR(start, box->width() - end, 1.5) << "not centred";
    if (strlen(text) <= 3) {
      EXPECT_EQ(box->font(), Look::ArialFont(28.2, true));
    } else {
      // The largest size that fits: the text spans most of the box.
      EXPECT_GE(right - left, 0.75 * box->width());
    }
  }
}

TEST_F(CaptionFitTest, ConfigurationDialog) {
  WriteConfig(orvida_test::JoinLines(orvida_test::SampleLines()));
  Shell::SplashShown = 1;
  Form1* form = Shell::ShowForm1();
  Form2 dialog(form);
  dialog.show();
  ExpectCaptionsFit(&dialog);
  QTest::mouseClick(dialog.Command2, Qt::LeftButton);
  ExpectCaptionsFit(&dialog);
}

}  // namespace
