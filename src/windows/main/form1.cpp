#include "windows/main/form1.h"

#include <QAccessible>
#include <QButtonGroup>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolButton>

#include "dice/dice.h"
#include "runtime/conversions.h"
#include "runtime/handlers.h"
#include "runtime/program_folder.h"
#include "runtime/twips.h"
#include "windows/common/captions.h"
#include "windows/common/controls.h"
#include "windows/common/look.h"
#include "windows/common/window_setup.h"
#include "windows/config/form2.h"

using Controls::Place;
using Modulo1::KeypadCount;
using Modulo1::KeypadSides;
using Modulo1::KeypadText;

namespace {

const QString kOpenCaption = QStringLiteral("Apri &Pulsantiera Veloce");
const QString kCloseCaption = QStringLiteral("Chiudi &Pulsantiera Veloce");

// The result box keeps its large font while its text fits and otherwise takes the largest
// size at which the text fits, so that every sum up to 32767 shows whole and centred. A text
// too long even at the smallest size scrolls, as in any box.
void FitResultFont(QLineEdit* box, const QFont& full) {
  constexpr int kSmallestPixels = 11;
  QStyleOptionFrame option;
  option.initFrom(box);
  const QStyle* style = box->style();
  option.lineWidth = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
  const QRect contents = style->subElementRect(QStyle::SE_LineEditContents, &option, box)
                             .marginsRemoved(box->textMargins());
  // A box shows its text whole, centred, while the text leaves two pixels clear on either
  // side and one more beside the cursor; one pixel more allows for rounding its width.
  const int room =
      contents.width() - 2 * 2 - style->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, box) - 2;
  QFont font = full;
  while (font.pixelSize() > kSmallestPixels &&
         QFontMetricsF(font).horizontalAdvance(box->text()) > room) {
    font.setPixelSize(font.pixelSize() - 1);
  }
  if (font != box->font()) box->setFont(font);
}

// What a load that put `lines` lines of conf.ini into the table gave the buttons: how many
// presets whole, which one in part, and that the rest are empty.
QString LoadedPresets(int lines) {
  const int whole = lines / 3;
  if (lines == 0)
    return QStringLiteral("Non è stato caricato nessun pulsante: restano tutti vuoti.");
  QString text = whole == 0   ? QStringLiteral("Non è stato caricato per intero nessun pulsante")
                 : whole == 1 ? QStringLiteral("È stato caricato per intero 1 pulsante su %1")
                              : QStringLiteral("Sono stati caricati per intero %2 pulsanti su %1");
  if (whole > 0) text = text.arg(Modulo1::kKeypadSlots).arg(whole);
  const int touched = whole + (lines % 3 != 0 ? 1 : 0);
  if (touched > whole) text += QStringLiteral(", il %1 solo in parte").arg(touched);
  if (touched < Modulo1::kKeypadSlots) text += QStringLiteral("; gli altri restano vuoti");
  return text + QLatin1Char('.');
}

// Reads the keypad presets when the main window loads. A missing file is no error: the
// presets that come with the program are used until the user saves their own. A link that
// leads nowhere gets the same presets, with a word, as the user's file is gone. A file that
// cannot be read whole is reported once; what was read before the problem is kept.
void LoadKeypadAtStart(QWidget* parent) {
  const QString path = Modulo1::KeypadConfigPath();
  try {
    Modulo1::LoadKeypadConfig(path);
  } catch (const Runtime::RuntimeError& error) {
    const bool notFound = error.number() == Runtime::ErrorNumber::FileNotFound;
    if (notFound) {
      Runtime::RunHandler(parent, [] { Modulo1::LoadKeypadConfig(QStringLiteral(":/conf.ini")); });
      if (!QFileInfo(Runtime::NativePath(path)).isSymLink()) return;
    }
    QString where = path.isEmpty() ? QStringLiteral("File: conf.ini")
                                   : QStringLiteral("File: %1").arg(QDir::toNativeSeparators(path));
    if (error.line() > 0) where += QStringLiteral("\nRiga: %1").arg(error.line());
    QString problem =
        QStringLiteral("Problema: %1 (errore %2)").arg(error.description()).arg(error.code());
    if (!error.reason().isEmpty()) problem += QStringLiteral("\n") + error.reason();
    // After a line cut to what a caption holds the reading goes on, unless it stopped at
    // the most a configuration file can take; the reason tells which.
    const int lines = Modulo1::LoadedKeypadLines();
    const QString loaded =
        notFound ? QStringLiteral("Sono stati caricati i pulsanti predefiniti.")
        : lines == 3 * Modulo1::kKeypadSlots
            ? QStringLiteral(
                  "I pulsanti sono stati caricati come letti, ma il testo troppo lungo è "
                  "stato accorciato.")
            : LoadedPresets(lines);
    Runtime::ReportWarning(parent,
                           QStringLiteral("Impossibile leggere per intero la configurazione della "
                                          "Pulsantiera Veloce.\n\n%1\n%2\n\n%3 Il file non verrà "
                                          "modificato finché non salverai la configurazione.")
                               .arg(where, problem, loaded));
  }
}

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setWindowTitle(QStringLiteral("Orvida"));
  setWindowIcon(Window::Icon(QStringLiteral("die")));
  setFixedSize(Runtime::Pixels(kClientWidth), Runtime::Pixels(kOpenClientHeight));

  Label1 = Controls::Label(this, QStringLiteral("Dado:"), Look::SansFont());
  Place(Label1, 120, 120, 612, 252);
  Label2 = Controls::Label(this, QStringLiteral("Risultato:"), Look::SansFont());
  Place(Label2, 2040, 120, 732, 252);
  Text1 = Controls::TextBox(this, Look::SansFont(12), Qt::AlignCenter,
                            QStringLiteral("Numero di dadi"), QStringLiteral("3"));
  Place(Text1, 120, 360, 732, 396);
  Label3 = Controls::Label(this, QStringLiteral("d"), Look::SansFont(13.8), Qt::AlignHCenter);
  Place(Label3, 840, 360, 252, 372);
  Text3 = Controls::TextBox(this, Look::SansFont(12), Qt::AlignCenter,
                            QStringLiteral("Numero di facce di ogni dado"), QStringLiteral("6"));
  Place(Text3, 1080, 360, 732, 396);
  const QFont resultFont = Look::ArialFont(28.2, true);
  Text2 = Controls::TextBox(this, resultFont, Qt::AlignCenter,
                            QStringLiteral("Risultato del lancio"), QStringLiteral("18"));
  Place(Text2, 2040, 360, 1332, 648);
  // A sum and what the user types alike.
  connect(Text2, &QLineEdit::textChanged, this,
          [this, resultFont] { FitResultFont(Text2, resultFont); });

  Command5 = new QToolButton(this);
  Command5->setText(QStringLiteral("&Tira"));
  Command5->setIcon(Window::Icon(QStringLiteral("bolt")));
  Command5->setIconSize(QSize(32, 32));
  Command5->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  Command5->setFocusPolicy(Qt::StrongFocus);
  Command5->setAccessibleName(QStringLiteral("Tira i dadi"));
  Place(Command5, 3480, 240, 732, 732);
  Runtime::ConnectHandler(Command5, this, &Form1::Command5_Click);
  // "&Tira" is the window's cancel button: Esc presses it, as Alt+T does.
  Window::SetCancelButton(this, Command5);

  Image1 = new QLabel(this);
  Image1->setAccessibleName(QStringLiteral("Orvida"));
  Place(Image1, 4320, 0, 3492, 972);
  Window::ShowStretchedPicture(Image1, QStringLiteral(":/images/banner.png"));

  CmndUpDown = Controls::Button(this, kOpenCaption);
  Place(CmndUpDown, 120, 1080, 2172, 252);
  Runtime::ConnectHandler(CmndUpDown, this, &Form1::CmndUpDown_Click);
  CmndPersonalizza = Controls::Button(this, QStringLiteral("&Configura Pulsantiera Veloce"));
  Place(CmndPersonalizza, 2400, 1080, 2292, 252);
  Runtime::ConnectHandler(CmndPersonalizza, this, &Form1::CmndPersonalizza_Click);
  CmndAbout = Controls::Button(this, QStringLiteral("&Informazioni su..."));
  Place(CmndAbout, 4800, 1080, 2052, 252);
  Runtime::ConnectHandler(CmndAbout, this, &Form1::CmndAbout_Click);
  CmndEsci = Controls::Button(this, QStringLiteral("&Esci"));
  Place(CmndEsci, 6960, 1080, 732, 252);
  Runtime::ConnectHandler(CmndEsci, this, &Form1::CmndEsci_Click);

  Frame1 = new QFrame(this);
  Frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);
  Frame1->setAccessibleName(QStringLiteral("Pulsantiera Veloce"));
  Place(Frame1, 0, 1320, 7692, 1692);
  Command1Group = new QButtonGroup(this);
  for (int i = 1; i <= Modulo1::kKeypadSlots; ++i) {
    const int col = (i - 1) / 3;
    const int row = (i - 1) % 3;
    QPushButton* button = Controls::WrappingButton(Frame1, QStringLiteral("Command1"));
    Place(button, 120 + 1080 * col, 240 + 480 * row, 972, 372);
    Command1(i) = button;
    Command1Group->addButton(button, i);
  }
  connect(Command1Group, &QButtonGroup::idClicked, this,
          [this](int index) { Runtime::RunHandler(this, [&] { Command1_Click(index); }); });

  QList<QWidget*> tabOrder = {Text1, Text2, Text3, Command5};
  for (int i = 1; i <= Modulo1::kKeypadSlots; ++i) tabOrder.append(Command1(i));
  tabOrder << CmndUpDown << CmndPersonalizza << CmndAbout << CmndEsci;
  Controls::ChainTabOrder(tabOrder);

  Form_Load();
  Window::CentreOnScreen(this);
  Text1->setFocus();
}

void Form1::Form_Load() {
  KeypadState = QStringLiteral("Up");
  Frame1->hide();
  SetClientHeight(kClosedClientHeight);
  LoadKeypadAtStart(this);
  RefreshKeypad();
}

void Form1::RefreshKeypad() {
  // The window's own access keys come first: a preset captioned "&Tira" shows its T
  // underlined, and Alt+T still rolls the dice typed above.
  const QList<QKeySequence> ownKeys = {Command5->shortcut(), CmndUpDown->shortcut(),
                                       CmndPersonalizza->shortcut(), CmndAbout->shortcut(),
                                       CmndEsci->shortcut()};
  for (int i = 1; i <= Modulo1::kKeypadSlots; ++i) {
    QPushButton* button = Command1(i);
    button->setText(KeypadText(i));
    if (ownKeys.contains(button->shortcut())) button->setShortcut(QKeySequence());
    const QString shown = Captions::LabelText(KeypadText(i));
    button->setAccessibleName(QStringLiteral("Pulsante veloce %1: %2").arg(i).arg(shown));
    // A caption too long for one line is wrapped, and may be cut; its tooltip shows it whole.
    button->setToolTip(Controls::CaptionFits(button) ? QString() : Captions::ToolTip(shown));
  }
}

void Form1::SetClientHeight(int twips) {
  setFixedSize(Runtime::Pixels(kClientWidth), Runtime::Pixels(twips));
}

void Form1::ShowSum(int16_t sum) {
  Text2->setText(Modulo1::NumText(sum));
  // Tell screen readers about the new sum even when the focus is elsewhere.
  Text2->setAccessibleDescription(QStringLiteral("Ultimo lancio: %1").arg(Text2->text()));
  QAccessibleEvent announce(Text2, QAccessible::DescriptionChanged);
  QAccessible::updateAccessibility(&announce);
}

void Form1::Command5_Click() {
  const bool countGiven = Runtime::TextValue(Text1->text()) > 0;
  const bool sidesGiven = Runtime::TextValue(Text3->text()) > 0;
  if (!countGiven || !sidesGiven) return;
  const int16_t count = Runtime::ToInt16(Runtime::TextValue(Text1->text()));
  const int16_t sides = Runtime::ToInt16(Runtime::TextValue(Text3->text()));
  ShowSum(Modulo1::RollDice(count, sides));
}

void Form1::Command1_Click(int index) {
  if (!(KeypadCount(index) > 0) || !(KeypadSides(index) > 0)) return;
  Text1->setText(Modulo1::NumText(KeypadCount(index)));
  Text3->setText(Modulo1::NumText(KeypadSides(index)));
  ShowSum(Modulo1::RollDice(KeypadCount(index), KeypadSides(index)));
}

void Form1::CmndUpDown_Click() {
  if (KeypadState == QStringLiteral("Up")) {
    Frame1->show();
    CmndUpDown->setText(kCloseCaption);
    CmndUpDown->setAccessibleName(Captions::LabelText(kCloseCaption));
    KeypadState = QStringLiteral("Down");
    SetClientHeight(kOpenClientHeight);
  } else {
    Frame1->hide();
    CmndUpDown->setText(kOpenCaption);
    CmndUpDown->setAccessibleName(Captions::LabelText(kOpenCaption));
    KeypadState = QStringLiteral("Up");
    SetClientHeight(kClosedClientHeight);
  }
}

void Form1::CmndPersonalizza_Click() {
  Form2::ShowModal(this);
  RefreshKeypad();
}

void Form1::CmndAbout_Click() { emit AboutRequested(); }

void Form1::CmndEsci_Click() { close(); }
