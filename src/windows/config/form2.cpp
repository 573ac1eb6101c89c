#include "windows/config/form2.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QValidator>
#include <array>

#include "runtime/conversions.h"
#include "runtime/handlers.h"
#include "runtime/twips.h"
#include "windows/common/controls.h"
#include "windows/common/look.h"
#include "windows/common/window_setup.h"

using Controls::Place;

namespace {

constexpr int kClientWidth = 5784;
constexpr int kClientHeight = 5292;

int RowTop(int row) { return 960 + 360 * (row - 1); }

// A caption is one line: a line break typed or pasted into its box becomes a blank.
class SingleLineValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    input = Modulo1::OneLineCaption(input);
    return Acceptable;
  }
};

}  // namespace

Form2::Form2(QWidget* parent) : QDialog(parent) {
  Window::SetFixedDialog(this, QStringLiteral("Configura la Pulsantiera Veloce"),
                         Runtime::Pixels(kClientWidth), Runtime::Pixels(kClientHeight));
  setWindowIcon(Window::Icon(QStringLiteral("spanner")));

  Label6 = Controls::Label(this, QStringLiteral("Visualizza pulsanti:"), Look::SansFont());
  Place(Label6, 120, 120, 1452, 252);
  Command1 = Controls::Button(this, QStringLiteral("1-10"));
  Command1->setAccessibleName(QStringLiteral("Mostra i pulsanti da 1 a 10"));
  Place(Command1, 1680, 120, 852, 252);
  Command2 = Controls::Button(this, QStringLiteral("11-20"));
  Command2->setAccessibleName(QStringLiteral("Mostra i pulsanti da 11 a 20"));
  Place(Command2, 2520, 120, 852, 252);

  Line1 = Controls::Rule(this, 120, 5640, 480);

  Label1 = Controls::Label(this, QStringLiteral("Testo del pulsante:"), Look::SansFont());
  Place(Label1, 480, 600, 1452, 252);
  Label2 = Controls::Label(this, QStringLiteral("Numero di Dadi:"), Look::SansFont());
  Place(Label2, 2760, 600, 1212, 252);
  Label3 = Controls::Label(this, QStringLiteral("Tipo di Dado:"), Look::SansFont());
  Place(Label3, 4440, 600, 1212, 252);

  QList<QWidget*> tabOrder;
  for (int r = 1; r <= kRows; ++r) {
    Label4(r) = Controls::Label(this, QString(), Look::SansFont());
    Place(Label4(r), 120, RowTop(r), 252, 252);
    Text1(r) = Controls::TextBox(this, Look::SansFont(), Qt::AlignLeft | Qt::AlignVCenter,
                                 QStringLiteral("Testo del pulsante, riga %1").arg(r));
    Text1(r)->setValidator(new SingleLineValidator(Text1(r)));
    Text1(r)->setMaxLength(Modulo1::kMaxCaptionLength);
    Place(Text1(r), 480, RowTop(r), 2172, 288);
    Text2(r) = Controls::TextBox(this, Look::SansFont(), Qt::AlignLeft | Qt::AlignVCenter,
                                 QStringLiteral("Numero di dadi, riga %1").arg(r));
    Place(Text2(r), 2760, RowTop(r), 1212, 288);
    Label5(r) = Controls::Label(this, QStringLiteral("d"), Look::SansFont(), Qt::AlignHCenter);
    Place(Label5(r), 4080, RowTop(r), 252, 252);
    Text3(r) = Controls::TextBox(this, Look::SansFont(), Qt::AlignLeft | Qt::AlignVCenter,
                                 QStringLiteral("Tipo di dado, riga %1").arg(r));
    Place(Text3(r), 4440, RowTop(r), 1212, 288);
    tabOrder << Text1(r) << Text2(r) << Text3(r);
  }

  Command4 = Controls::Button(this, QStringLiteral("&OK"));
  Command4->setAccessibleName(QStringLiteral("OK"));
  Place(Command4, 3960, 4800, 852, 372);
  Command3 = Controls::Button(this, QStringLiteral("&Cancel"));
  Command3->setAccessibleName(QStringLiteral("Annulla"));
  Place(Command3, 4800, 4800, 852, 372);
  tabOrder << Command1 << Command2 << Command3 << Command4;
  Controls::ChainTabOrder(tabOrder);

  Runtime::ConnectHandler(Command1, this, &Form2::Command1_Click);
  Runtime::ConnectHandler(Command2, this, &Form2::Command2_Click);
  Runtime::ConnectHandler(Command3, this, &Form2::Command3_Click);
  Runtime::ConnectHandler(Command4, this, &Form2::Command4_Click);
  // Enter in a box presses no button (none is a default button); Esc is "&Cancel".
  Window::SetCancelButton(this, Command3);

  Form_Load();
  Window::CentreOnScreen(this);
  Text1(1)->setFocus();
}

void Form2::ShowModal(QWidget* owner) {
  QPointer<Form2> dialog = new Form2(owner);
  dialog->exec();
  delete dialog.data();
}

void Form2::Form_Load() {
  Command1->setEnabled(false);
  Command2->setEnabled(true);
  for (int s = 1; s <= Modulo1::kKeypadSlots; ++s) {
    EditText(s) = Modulo1::KeypadText(s);
    EditCount(s) = Modulo1::KeypadCount(s);
    EditSides(s) = Modulo1::KeypadSides(s);
  }
  ShowPage(1);
}

void Form2::ShowPage(int first) {
  for (int k = 1; k <= kRows; ++k) {
    const int s = first + k - 1;
    Label4(k)->setText(Runtime::SignedText(static_cast<int16_t>(s)));
    Text1(k)->setText(EditText(s));
    Text2(k)->setText(Runtime::SignedText(EditCount(s)));
    Text3(k)->setText(Runtime::SignedText(EditSides(s)));
  }
}

// All or nothing: a number that does not fit throws before anything of the page is kept.
void Form2::TakeBackPage(int first) {
  std::array<int16_t, kRows> counts{};
  std::array<int16_t, kRows> sides{};
  for (int k = 1; k <= kRows; ++k) {
    const int s = first + k - 1;
    const double count = Runtime::TextValue(Text2(k)->text());
    counts[k - 1] = count > 0 ? Runtime::ToInt16(count) : EditCount(s);
    const double size = Runtime::TextValue(Text3(k)->text());
    sides[k - 1] = size > 0 ? Runtime::ToInt16(size) : EditSides(s);
  }
  for (int k = 1; k <= kRows; ++k) {
    const int s = first + k - 1;
    EditText(s) = Text1(k)->text();
    EditCount(s) = counts[k - 1];
    EditSides(s) = sides[k - 1];
  }
}

void Form2::Command2_Click() {
  TakeBackPage(1);
  Command1->setEnabled(true);
  Command2->setEnabled(false);
  ShowPage(11);
  Text1(1)->setFocus();
}

void Form2::Command1_Click() {
  TakeBackPage(11);
  Command1->setEnabled(false);
  Command2->setEnabled(true);
  ShowPage(1);
  Text1(1)->setFocus();
}

void Form2::Command4_Click() {
  TakeBackPage(Runtime::TextValue(Label4(1)->text()) == 1 ? 1 : 11);
  for (int s = 1; s <= Modulo1::kKeypadSlots; ++s) {
    Modulo1::KeypadText(s) = EditText(s);
    Modulo1::KeypadCount(s) = EditCount(s);
    Modulo1::KeypadSides(s) = EditSides(s);
  }
  Modulo1::SaveKeypadConfig(Modulo1::KeypadConfigPath());
  accept();
}

void Form2::Command3_Click() { reject(); }
