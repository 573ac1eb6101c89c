#pragma once

#include <QString>
#include <functional>
#include <utility>
#include <vector>

#include "runtime/handlers.h"

namespace orvida_test {

// Records every message box instead of showing it, and answers it at once, after running
// `whileShown` (once) as if the user did something while the box was up.
class RecordingPresenter : public Runtime::MessagePresenter {
 public:
  struct Message {
    Runtime::MessageKind kind;
    QString title;
    QString text;
  };
  void Present(QWidget*, Runtime::MessageKind kind, const QString& title,
               const QString& text) override {
    messages.push_back({kind, title, text});
    if (whileShown) std::exchange(whileShown, nullptr)();
  }
  std::vector<Message> messages;
  std::function<void()> whileShown;
};

}  // namespace orvida_test
