#include <gtest/gtest.h>

#include <QApplication>

#include "shell/shell.h"

int main(int argc, char** argv) {
  // Offscreen, unless the run asks for the system's platform to check real windows.
  const QByteArray platform = qgetenv("ORVIDA_GUI_PLATFORM");
  qputenv("QT_QPA_PLATFORM", platform.isEmpty() ? QByteArray("offscreen") : platform);
  QApplication app(argc, argv);
  Shell::Prepare();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
