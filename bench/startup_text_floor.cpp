// What the program is measured against: the bare window of startup_baseline with one line
// of text on it. What it adds to the baseline (loading the system's font configuration, the
// font database, a font and its glyphs) is the least any window that shows text pays.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include "first_paint.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setFixedSize(433, 362);
  QLabel label(QStringLiteral("Orvida"), &window);
  ExitAtFirstPaint exitAtFirstPaint;
  window.installEventFilter(&exitAtFirstPaint);
  window.show();
  return QApplication::exec();
}
