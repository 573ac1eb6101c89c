#include "runtime/handlers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace Runtime {
namespace {

class MessageBoxPresenter : public MessagePresenter {
 public:
  void Present(QWidget* parent, MessageKind kind, const QString& title,
               const QString& text) override {
    // A window not shown yet (the main window while it loads) cannot hold the box: the
    // window in front, the splash at start-up, does, so the box is centred over it.
    if (parent && !parent->isVisible()) parent = QApplication::activeWindow();
    QMessageBox box(kind == MessageKind::Error ? QMessageBox::Critical : QMessageBox::Warning,
                    title, text, QMessageBox::Ok, parent);
    // Paths and captions are shown as they are, never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box.exec();
  }
};

MessagePresenter* current = nullptr;

MessagePresenter& Presenter() { return current ? *current : MessageBoxes(); }

}  // namespace

MessagePresenter& MessageBoxes() {
  static MessageBoxPresenter presenter;
  return presenter;
}

ScopedMessagePresenter::ScopedMessagePresenter(MessagePresenter& presenter) : previous_(current) {
  current = &presenter;
}

ScopedMessagePresenter::~ScopedMessagePresenter() { current = previous_; }

void ReportError(QWidget* parent, const Runtime::RuntimeError& error) {
  Presenter().Present(parent, MessageKind::Error, kMessageTitle, error.message());
}

void ReportWarning(QWidget* parent, const QString& text) {
  Presenter().Present(parent, MessageKind::Warning, kMessageTitle, text);
}

}  // namespace Runtime
