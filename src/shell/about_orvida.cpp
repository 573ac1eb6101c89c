#include "shell/about_orvida.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "shell/error_report.h"
#include "shell/shell.h"
#include "windows/common/look.h"
#include "windows/common/window_setup.h"

using Look::Place;

namespace {

constexpr int kClientWidth = 6492;
constexpr int kClientHeight = 5424;

QLabel* MakeLabel(QWidget* parent, const QString& caption, Qt::Alignment alignment,
                  const QFont& font, const QString& accessibleName) {
  auto* label = new QLabel(Look::LabelText(caption), parent);
  label->setAlignment(alignment | Qt::AlignTop);
  label->setWordWrap(true);
  label->setFont(font);
  label->setTextFormat(Qt::PlainText);
  label->setAccessibleName(accessibleName);
  return label;
}

// A read-only text box. Nothing reads these boxes back and their text is set at every load,
// so a framed label on a yellow ground shows them.
QLabel* MakeBox(QWidget* parent, Qt::Alignment alignment, const QFont& font,
                const QString& accessibleName) {
  auto* box = new QLabel(parent);
  box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  box->setLineWidth(1);
  box->setMargin(2);
  box->setAlignment(alignment | Qt::AlignTop);
  box->setWordWrap(true);
  box->setTextFormat(Qt::PlainText);
  box->setTextInteractionFlags(Qt::TextSelectableByMouse);
  box->setFocusPolicy(Qt::NoFocus);
  box->setFont(font);
  box->setAutoFillBackground(true);
  QPalette palette = box->palette();
  palette.setColor(QPalette::Window, QColor(255, 255, 0));
  palette.setColor(QPalette::WindowText, Qt::black);
  box->setPalette(palette);
  box->setAccessibleName(accessibleName);
  return box;
}

}  // namespace

AboutOrvida::AboutOrvida(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_DeleteOnClose);
  Window::SetFixedDialog(this, QStringLiteral("Informazioni su..."), Look::Tw(kClientWidth),
                         Look::Tw(kClientHeight));
  setWindowIcon(Window::Icon(QStringLiteral("about")));
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor(244, 247, 247));
  palette.setColor(QPalette::WindowText, Qt::black);
  setPalette(palette);
  setAutoFillBackground(true);

  // Built from the bottom of the stacking order up: later siblings lie above earlier ones.
  Image1 = new QLabel(this);
  Image1->setAccessibleName(QStringLiteral("Immagine: un drago avvolto su un intreccio"));
  Place(Image1, -120, 0, 3804, 5484);
  Window::ShowStretchedPicture(Image1, QStringLiteral(":/images/about.png"));

  Label1 = MakeLabel(this, QStringLiteral("Orvida"), Qt::AlignHCenter, Look::SerifFont(48, true),
                     QStringLiteral("Nome del programma"));
  Place(Label1, 3360, -120, 3096, 1032);
  Label2 = MakeLabel(this, QString(), Qt::AlignHCenter, Look::SansFont(7.8, false, true),
                     QStringLiteral("Descrizione"));
  Place(Label2, 3360, 960, 2892, 492);
  Label4 = MakeLabel(this, QStringLiteral("Programma di Tiberio Inventato"), Qt::AlignHCenter,
                     Look::SansFont(7.8, true), QStringLiteral("Autore"));
  Place(Label4, 3360, 1440, 2892, 252);
  Label5 = MakeLabel(this, QStringLiteral("troverai altro software e informazioni sul sito:"),
                     Qt::AlignHCenter, Look::SansFont(), QStringLiteral("Invito al sito"));
  Place(Label5, 3240, 4920, 3132, 252);

  Line1 = Window::Rule(this, 3480, 6120, 1680);

  Label3 = MakeLabel(this, QStringLiteral("Questo software fa parte del progetto"),
                     Qt::AlignHCenter, Look::SansFont(), QStringLiteral("Progetto"));
  Place(Label3, 3240, 4440, 3132, 252);
  Label6 = MakeLabel(this, QStringLiteral("http://www.fendrake.example/"), Qt::AlignLeft,
                     Look::SansFont(), QStringLiteral("Indirizzo del sito"));
  QPalette red = Label6->palette();
  red.setColor(QPalette::WindowText, QColor(255, 0, 0));
  Label6->setPalette(red);
  Place(Label6, 3240, 5160, 3252, 252);
  Label7 = MakeLabel(this, QStringLiteral("Fendrake"), Qt::AlignHCenter, Look::SansFont(9.6, true),
                     QStringLiteral("Nome del progetto"));
  Place(Label7, 3240, 4680, 3132, 252);

  Command1 = Window::Button(this, QStringLiteral("&OK"));
  Command1->setAccessibleName(QStringLiteral("OK"));
  Place(Command1, 4200, 4080, 1212, 252);
  Shell::ConnectHandler(Command1, this, &AboutOrvida::Command1_Click);
  Window::SetCancelButton(this, Command1);

  Text2 = MakeBox(this, Qt::AlignHCenter, Look::SansFont(7.8, true),
                  QStringLiteral("Indirizzo dell'autore"));
  Place(Text2, 3360, 3240, 2892, 732);
  Text1 = MakeBox(this, Qt::AlignLeft, Look::SansFont(),
                  QStringLiteral("Invito a sostenere il programma"));
  Place(Text1, 3360, 1800, 2892, 1452);

  Form_Load();
  Window::CentreOnScreen(this);
  Command1->setFocus();
}

void AboutOrvida::Form_Load() {
  const QString lineBreak = QStringLiteral("\r\n");
  Label2->setText(Look::LabelText(QStringLiteral("Un generatore di valori casuali") + lineBreak +
                                  QStringLiteral("per Dungeon && Dragons terza edizione") +
                                  lineBreak));
  Text1->setText(QStringLiteral(
      "Se questo software ti piace, puoi sostenerlo e partecipare al suo aggiornamento e alla "
      "realizzazione di altri progetti del Fendrake inviando una qualsiasi donazione (euro, "
      "moduli, giochi di ruolo, miniature e quant'altro) al suo creatore:"));
  Text2->setText(QStringLiteral("Tiberio Inventato") + QChar(u'\n') +
                 QStringLiteral("Via dei Dadi Immaginari, 20") + QChar(u'\n') +
                 QStringLiteral("00000 Borgo Fantasia (XX)"));
}

void AboutOrvida::Command1_Click() { close(); }

void AboutOrvida::closeEvent(QCloseEvent* event) {
  Shell::RunHandler(this, [this] { Form_Unload(); });
  event->accept();
}

void AboutOrvida::Form_Unload() {
  if (Shell::SplashShown != 0) return;
  Shell::ShowForm1();
  Shell::SplashShown = 1;
}
