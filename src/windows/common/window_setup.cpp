#include "windows/common/window_setup.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace Window {

void SetFixedDialog(QWidget* window, const QString& title, int width, int height) {
  // A dialog window has no taskbar entry of its own.
  window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint);
  window->setWindowTitle(title);
  window->setFixedSize(width, height);
}

void CentreOnScreen(QWidget* window) {
  QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  QRect client(QPoint(0, 0), window->size());
  client.moveCenter(area.center());
  window->setGeometry(client);
}

QIcon Icon(const QString& name) {
  QIcon icon;
  for (int size : {16, 32, 48, 64, 128, 256}) {
    const QString file = QStringLiteral(":/images/%1-%2.png").arg(name).arg(size);
    if (QFile::exists(file)) icon.addFile(file, QSize(size, size));
  }
  return icon;
}

}  // namespace Window
