// The program's start-up as main.cpp runs it (Shell::Run), ending at the splash's first
// painted frame. Measured by bench/startup.py against startup_text_floor.
#include <QApplication>

#include "first_paint.h"
#include "shell/shell.h"
#include "windows/about/about_orvida.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Orvida"));
  QApplication::setApplicationVersion(QStringLiteral("1.00.0001"));
  Shell::Start();
  ExitAtFirstPaint exitAtFirstPaint;
  Shell::LoadedAboutOrvida()->installEventFilter(&exitAtFirstPaint);
  return QApplication::exec();
}
