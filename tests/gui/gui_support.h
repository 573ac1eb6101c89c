#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "runtime/random.h"
#include "keypad/keypad.h"
#include "runtime/program_folder.h"
#include "runtime/handlers.h"

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

// Draws a fixed value and counts the dice thrown and the reseeds.
class CountingSource : public Runtime::RandomSource {
 public:
  explicit CountingSource(float value = 0.5f) : value_(value) {}
  void Reseed() override { ++reseeds; }
  float Draw() override {
    ++draws;
    return value_;
  }
  int reseeds = 0;
  int draws = 0;

 private:
  float value_;
};

// Every GUI test starts with no window, an empty keypad table, the splash not yet shown, a
// program folder of its own, message boxes recorded and the dice under the test's control.
class GuiTest : public ::testing::Test {
 protected:
  GuiTest();
  ~GuiTest() override;

  // Closes and destroys every top-level window.
  static void CloseAllWindows();
  // Lets the event loop run deferred deletions and pending events.
  static void Settle();

  QString ConfigPath() const;
  void WriteConfig(const QByteArray& bytes) const;
  QByteArray ReadConfig() const;

  // A conf.ini with slot i captioned "S<i>", count i and sides 6.
  static QByteArray SampleConfig();
  // The 60 lines of a conf.ini for the given slots, CRLF-terminated.
  static QByteArray ConfigFromLines(const QStringList& lines);

  QTemporaryDir folder_;
  RecordingPresenter presenter_;
  CountingSource source_;

 private:
  Runtime::ScopedMessagePresenter scopedPresenter_;
  Runtime::ScopedRandomSource scopedSource_;
  std::optional<Runtime::ScopedProgramFolder> scopedFolder_;
};
