#include "windows/common/controls.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTimer>
#include <QWidget>

#include "runtime/twips.h"
#include "windows/common/captions.h"

namespace Controls {

namespace {

// Makes a box's text selectable with the mouse once the box has been drawn, or as soon as
// the mouse comes to it. Selecting needs the text laid out in a document of its own (half
// a megabyte), which draws the same pixels as the plain label: a window is not kept from
// its first frame for it.
class SelectableOnceDrawn : public QObject {
 public:
  explicit SelectableOnceDrawn(QLabel* box) : QObject(box), box_(box) {
    box->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::Paint:
        // Once this frame is on the screen, not while it is drawn.
        QTimer::singleShot(0, this, [this] { Arm(); });
        break;
      case QEvent::Enter:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::ContextMenu:
        Arm();  // before the label handles the event
        break;
      default:
        break;
    }
    return false;
  }

 private:
  void Arm() {
    if (armed_) return;
    armed_ = true;
    box_->removeEventFilter(this);
    box_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    deleteLater();
  }

  QLabel* box_;
  bool armed_ = false;
};

}  // namespace

void Place(QWidget* widget, int left, int top, int width, int height) {
  widget->setGeometry(Runtime::PixelRect(left, top, width, height));
}

QLabel* Label(QWidget* parent, const QString& caption, const QFont& font, Qt::Alignment alignment,
              const QString& accessibleName, bool wordWrap) {
  const QString shown = Captions::LabelText(caption);
  auto* label = new QLabel(shown, parent);
  label->setTextFormat(Qt::PlainText);
  label->setFont(font);
  label->setAlignment(alignment | Qt::AlignTop);
  label->setWordWrap(wordWrap);
  label->setAccessibleName(accessibleName.isEmpty() ? shown : accessibleName);
  return label;
}

QLineEdit* TextBox(QWidget* parent, const QFont& font, Qt::Alignment alignment,
                   const QString& accessibleName, const QString& text) {
  auto* box = new QLineEdit(text, parent);
  box->setFont(font);
  box->setAlignment(alignment);
  box->setTextMargins(0, 0, 0, 0);
  box->setAccessibleName(accessibleName);
  return box;
}

QLabel* ReadOnlyBox(QWidget* parent, const QFont& font, Qt::Alignment alignment,
                    const QString& accessibleName) {
  auto* box = new QLabel(parent);
  box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  box->setLineWidth(1);
  box->setMargin(2);
  box->setAlignment(alignment | Qt::AlignTop);
  box->setWordWrap(true);
  box->setTextFormat(Qt::PlainText);
  new SelectableOnceDrawn(box);
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

QPushButton* Button(QWidget* parent, const QString& caption, const QString& accessibleName) {
  auto* button = new QPushButton(caption, parent);
  button->setAutoDefault(false);
  button->setDefault(false);
  button->setAccessibleName(accessibleName.isEmpty() ? Captions::LabelText(caption)
                                                     : accessibleName);
  return button;
}

namespace {

// The width a push button leaves its caption, inside its frame and margins.
int CaptionRoom(const QPushButton* button) {
  QStyleOptionButton option;
  option.initFrom(button);
  const QStyle* style = button->style();
  return button->width() - 2 * (style->pixelMetric(QStyle::PM_ButtonMargin, &option, button) +
                                style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, button));
}

class CaptionWrappingButton : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void paintEvent(QPaintEvent* event) override {
    const QString wrapped = Captions::WrapCaption(text(), fontMetrics(), CaptionRoom(this));
    if (wrapped == text()) {
      QPushButton::paintEvent(event);
      return;
    }
    // The style lays a caption with a line break out as centred lines; its text is drawn
    // as plain text, never as markup.
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text = wrapped;
    painter.drawControl(QStyle::CE_PushButton, option);
  }
};

}  // namespace

QPushButton* WrappingButton(QWidget* parent, const QString& caption,
                            const QString& accessibleName) {
  QPushButton* button = new CaptionWrappingButton(caption, parent);
  button->setAutoDefault(false);
  button->setDefault(false);
  button->setAccessibleName(accessibleName.isEmpty() ? Captions::LabelText(caption)
                                                     : accessibleName);
  return button;
}

bool CaptionFits(const QPushButton* button) {
  return Captions::WrapCaption(button->text(), button->fontMetrics(), CaptionRoom(button)) ==
         button->text();
}

QFrame* Rule(QWidget* parent, int fromX, int toX, int y) {
  auto* rule = new QFrame(parent);
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Plain);
  rule->setLineWidth(1);
  QPalette palette = rule->palette();
  palette.setColor(QPalette::WindowText, Qt::black);
  rule->setPalette(palette);
  const QRect line = Runtime::PixelRect(fromX, y, toX - fromX, 0);
  rule->setGeometry(line.x(), line.y(), line.width(), 1);
  return rule;
}

void ChainTabOrder(const QList<QWidget*>& widgets) {
  for (qsizetype i = 1; i < widgets.size(); ++i) QWidget::setTabOrder(widgets[i - 1], widgets[i]);
}

}  // namespace Controls
