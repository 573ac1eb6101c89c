// The least a Qt Widgets program does to show a window: one empty window of the splash's
// client size (433 x 362), ending at its first painted frame.
#include <QApplication>
#include <QWidget>

#include "first_paint.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setFixedSize(433, 362);
  ExitAtFirstPaint exitAtFirstPaint;
  window.installEventFilter(&exitAtFirstPaint);
  window.show();
  return QApplication::exec();
}
