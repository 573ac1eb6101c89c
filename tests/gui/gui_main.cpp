#include <gtest/gtest.h>

#include <QApplication>

#include "shell/shell.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  Shell::Prepare();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
