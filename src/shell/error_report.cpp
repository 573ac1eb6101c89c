#include "shell/error_report.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace Shell {
namespace {

class MessageBoxPresenter : public MessagePresenter {
 public:
  void Present(QWidget* parent, MessageKind kind, const QString& title,
               const QString& text) override {
    QMessageBox box(kind == MessageKind::Error ? QMessageBox::Critical : QMessageBox::Warning,
                    title, text, QMessageBox::Ok, parent);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box.exec();
  }
};

MessageBoxPresenter& DefaultPresenter() {
  static MessageBoxPresenter presenter;
  return presenter;
}

MessagePresenter* current = nullptr;

MessagePresenter& Presenter() { return current ? *current : DefaultPresenter(); }

}  // namespace

ScopedMessagePresenter::ScopedMessagePresenter(MessagePresenter& presenter) : previous_(current) {
  current = &presenter;
}

ScopedMessagePresenter::~ScopedMessagePresenter() { current = previous_; }

void ReportError(QWidget* parent, const Modulo1::RuntimeError& error) {
  Presenter().Present(parent, MessageKind::Error, kMessageTitle, error.message());
}

void ReportWarning(QWidget* parent, const QString& text) {
  Presenter().Present(parent, MessageKind::Warning, kMessageTitle, text);
}

}  // namespace Shell
