#include "windows/about/about_orvida.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "runtime/handlers.h"
#include "runtime/twips.h"
#include "windows/common/captions.h"
#include "windows/common/controls.h"
#include "windows/common/look.h"
#include "windows/common/window_setup.h"

using Controls::Place;

namespace {

constexpr int kClientWidth = 6492;
constexpr int kClientHeight = 5424;
constexpr QColor kGround(244, 247, 247);

}  // namespace

AboutOrvida::AboutOrvida(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_DeleteOnClose);
  Window::SetFixedDialog(this, QStringLiteral("Informazioni su..."), Runtime::Pixels(kClientWidth),
                         Runtime::Pixels(kClientHeight));

  // Built from the bottom of the stacking order up: later siblings lie above earlier ones.
  Image1 = new QLabel(this);
  Image1->setAccessibleName(QStringLiteral("Immagine: un drago avvolto su un intreccio"));
  Place(Image1, -120, 0, 3804, 5484);
  Window::ShowStretchedPicture(Image1, QStringLiteral(":/images/about.png"));

  Label1 = Controls::Label(this, QStringLiteral("Orvida"), Look::SerifFont(48, true),
                           Qt::AlignHCenter, QStringLiteral("Nome del programma"), true);
  Place(Label1, 3360, -120, 3096, 1032);
  Label2 = Controls::Label(this, QString(), Look::SansFont(7.8, false, true), Qt::AlignHCenter,
                           QStringLiteral("Descrizione"), true);
  Place(Label2, 3360, 960, 2892, 492);
  Label4 =
      Controls::Label(this, QStringLiteral("Programma di Tiberio Inventato"),
                      Look::SansFont(7.8, true), Qt::AlignHCenter, QStringLiteral("Autore"), true);
  Place(Label4, 3360, 1440, 2892, 252);
  Label5 =
      Controls::Label(this, QStringLiteral("troverai altro software e informazioni sul sito:"),
                      Look::SansFont(), Qt::AlignHCenter, QStringLiteral("Invito al sito"), true);
  Place(Label5, 3240, 4920, 3132, 252);

  Line1 = Controls::Rule(this, 3480, 6120, 1680);

  Label3 = Controls::Label(this, QStringLiteral("Questo software fa parte del progetto"),
                           Look::SansFont(), Qt::AlignHCenter, QStringLiteral("Progetto"), true);
  Place(Label3, 3240, 4440, 3132, 252);
  Label6 = Controls::Label(this, QStringLiteral("http://www.fendrake.example/"), Look::SansFont(),
                           Qt::AlignLeft, QStringLiteral("Indirizzo del sito"), true);
  QPalette red = Label6->palette();
  red.setColor(QPalette::WindowText, QColor(255, 0, 0));
  Label6->setPalette(red);
  Place(Label6, 3240, 5160, 3252, 252);
  Label7 = Controls::Label(this, QStringLiteral("Fendrake"), Look::SansFont(9.6, true),
                           Qt::AlignHCenter, QStringLiteral("Nome del progetto"), true);
  Place(Label7, 3240, 4680, 3132, 252);

  Command1 = Controls::Button(this, QStringLiteral("&OK"));
  Command1->setAccessibleName(QStringLiteral("OK"));
  Place(Command1, 4200, 4080, 1212, 252);
  Runtime::ConnectHandler(Command1, this, &AboutOrvida::Command1_Click);
  Window::SetCancelButton(this, Command1);

  Text2 = Controls::ReadOnlyBox(this, Look::SansFont(7.8, true), Qt::AlignHCenter,
                                QStringLiteral("Indirizzo dell'autore"));
  Place(Text2, 3360, 3240, 2892, 732);
  Text1 = Controls::ReadOnlyBox(this, Look::SansFont(), Qt::AlignLeft,
                                QStringLiteral("Invito a sostenere il programma"));
  Place(Text1, 3360, 1800, 2892, 1452);

  Form_Load();
  Window::CentreOnScreen(this);
  Command1->setFocus();
}

void AboutOrvida::Form_Load() {
  const QString lineBreak = QStringLiteral("\r\n");
  Label2->setText(
      Captions::LabelText(QStringLiteral("Un generatore di valori casuali") + lineBreak +
                          QStringLiteral("per Dungeon && Dragons terza edizione") + lineBreak));
  Text1->setText(QStringLiteral(
      "Se questo software ti piace, puoi sostenerlo e partecipare al suo aggiornamento e alla "
      "realizzazione di altri progetti del Fendrake inviando una qualsiasi donazione (euro, "
      "moduli, giochi di ruolo, miniature e quant'altro) al suo creatore:"));
  Text2->setText(QStringLiteral("Tiberio Inventato") + QChar(u'\n') +
                 QStringLiteral("Via dei Dadi Immaginari, 20") + QChar(u'\n') +
                 QStringLiteral("00000 Borgo Fantasia (XX)"));
}

void AboutOrvida::Command1_Click() { close(); }

void AboutOrvida::paintEvent(QPaintEvent*) {
  // The ground is painted here, not set in the window's palette: a palette of the window's
  // own would give its OK button a new palette every time the window opens, and the style
  // would keep one more drawing of the button in its pixmap cache each time (some 12 KiB).
  QPainter(this).fillRect(rect(), kGround);
}

void AboutOrvida::HoldCloses() { held_ = true; }

void AboutOrvida::Release() {
  held_ = false;
  close();
}

void AboutOrvida::closeEvent(QCloseEvent* event) {
  if (!held_) {
    event->accept();
    return;
  }
  event->ignore();
  if (closeRequested_) return;
  closeRequested_ = true;
  QMetaObject::invokeMethod(this, &AboutOrvida::CloseRequested, Qt::QueuedConnection);
}
