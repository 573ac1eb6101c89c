#pragma once

#include <QAbstractButton>
#include <QString>
#include <utility>

#include "runtime/runtime_error.h"

class QWidget;

// How the program tells the user that something went wrong. Every event handler runs
// through RunHandler: an error stops the handler where it happened, is shown in a modal
// message box, and the program goes on.
namespace Runtime {

enum class MessageKind { Error, Warning };

// Shows a message and returns once the user has answered it. The program shows a modal
// message box; tests put their own presenter in its place to read and answer the messages.
class MessagePresenter {
 public:
  virtual ~MessagePresenter() = default;
  virtual void Present(QWidget* parent, MessageKind kind, const QString& title,
                       const QString& text) = 0;
};

// The program's own presenter: a modal message box, answered in its own event loop.
MessagePresenter& MessageBoxes();

// Installs `presenter` while this object lives.
class ScopedMessagePresenter {
 public:
  explicit ScopedMessagePresenter(MessagePresenter& presenter);
  ~ScopedMessagePresenter();
  ScopedMessagePresenter(const ScopedMessagePresenter&) = delete;
  ScopedMessagePresenter& operator=(const ScopedMessagePresenter&) = delete;

 private:
  MessagePresenter* previous_;
};

// The title of every message box.
inline const QString kMessageTitle = QStringLiteral("Orvida");

void ReportError(QWidget* parent, const Runtime::RuntimeError& error);
void ReportWarning(QWidget* parent, const QString& text);

// Runs an event handler; a runtime error ends the handler and is reported.
template <typename Handler>
void RunHandler(QWidget* parent, Handler&& handler) {
  try {
    std::forward<Handler>(handler)();
  } catch (const Runtime::RuntimeError& error) {
    ReportError(parent, error);
  }
}

// Runs `window`'s `handler` through RunHandler whenever `button` is clicked.
template <typename Window>
void ConnectHandler(QAbstractButton* button, Window* window, void (Window::*handler)()) {
  QObject::connect(button, &QAbstractButton::clicked, window, [window, handler] {
    RunHandler(window, [window, handler] { (window->*handler)(); });
  });
}

}  // namespace Runtime
