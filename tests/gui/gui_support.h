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

#include "keypad/keypad.h"
#include "recording_presenter.h"
#include "runtime/handlers.h"
#include "runtime/program_folder.h"
#include "runtime/random.h"
#include "test_support.h"

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

  // The 60 lines of a conf.ini for the given slots, CRLF-terminated.
  static QByteArray ConfigFromLines(const QStringList& lines);

  QTemporaryDir folder_;
  orvida_test::RecordingPresenter presenter_;
  // Draws 0.5 every time and counts the reseeds and the draws.
  orvida_test::ScriptedSource source_{{0.5f}};

 private:
  Runtime::ScopedMessagePresenter scopedPresenter_;
  Runtime::ScopedWordSource scopedSource_;
  std::optional<Runtime::ScopedProgramFolder> scopedFolder_;
};
