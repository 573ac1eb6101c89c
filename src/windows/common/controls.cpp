#include "windows/common/controls.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "runtime/twips.h"
#include "windows/common/look.h"

namespace Controls {

void Place(QWidget* widget, int left, int top, int width, int height) {
  widget->setGeometry(Runtime::PixelRect(left, top, width, height));
}

QLabel* Label(QWidget* parent, const QString& caption, const QFont& font, Qt::Alignment alignment,
              const QString& accessibleName, bool wordWrap) {
  const QString shown = Look::LabelText(caption);
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

QPushButton* Button(QWidget* parent, const QString& caption, const QString& accessibleName) {
  auto* button = new QPushButton(caption, parent);
  button->setAutoDefault(false);
  button->setDefault(false);
  button->setAccessibleName(accessibleName.isEmpty() ? Look::LabelText(caption) : accessibleName);
  return button;
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
