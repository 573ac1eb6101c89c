#include "windows/common/window_setup.h"

#include <QAbstractButton>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmapCache>
#include <QPushButton>
#include <QResource>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace Window {

namespace {

#ifdef Q_OS_WIN
// Windows gives a taskbar button to every top-level window that no other window owns. A
// dialog without a parent (the About window) is owned by a hidden window instead, so it
// has none; a dialog with a parent is owned by its parent's window already.
void OwnByHiddenWindow(QWidget* window) {
  if (window->parentWidget()) return;
  // Never shown, and kept until the process ends: owned windows may outlive any other.
  static QWindow* const owner = [] {
    auto* hidden = new QWindow;
    hidden->create();
    return hidden;
  }();
  window->createWinId();
  window->windowHandle()->setTransientParent(owner);
}
#endif

}  // namespace

void SetFixedDialog(QWidget* window, const QString& title, int width, int height) {
  // A dialog window has no taskbar entry of its own.
  window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint);
#ifdef Q_OS_WIN
  OwnByHiddenWindow(window);
#endif
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

namespace {

// The file to read for a picture on this screen: on a high-DPI screen the double-size
// drawing "<name>@2x.png" where there is one, with its pixel ratio.
QString ChosenFile(const QString& file, qreal* ratio) {
  *ratio = 1.0;
  if (qGuiApp && qGuiApp->devicePixelRatio() > 1.0) {
    QString twice = file;
    twice.insert(file.lastIndexOf(u'.'), QStringLiteral("@2x"));
    if (QFile::exists(twice)) {
      *ratio = 2.0;
      return twice;
    }
  }
  return file;
}

QImage ReadPng(const QString& file) {
  // Naming the format, with detection off, keeps the reader from loading every image
  // format plugin to ask whether it knows the file: that would cost the start-up some
  // milliseconds and a megabyte.
  QImageReader reader(file, "png");
  reader.setAutoDetectImageFormat(false);
  return reader.read();
}

}  // namespace

QPixmap Picture(const QString& file) {
  qreal ratio = 1.0;
  const QString chosen = ChosenFile(file, &ratio);
  const QString key = QStringLiteral("orvida:") + chosen;
  QPixmap pixmap;
  if (QPixmapCache::find(key, &pixmap)) return pixmap;
  pixmap = QPixmap::fromImage(ReadPng(chosen));
  pixmap.setDevicePixelRatio(ratio);
  if (!pixmap.isNull()) QPixmapCache::insert(key, pixmap);
  return pixmap;
}

namespace {

// The picture `file` already stretched to `size`, kept beside it as "<name>-<w>x<h>.ppm" and
// stored uncompressed: the image reads its pixels where they lie in the executable, with
// nothing to decode, stretch or copy. Null when there is no such file.
QImage ReadyStretched(const QString& file, QSize size) {
  const QString ready = file.left(file.lastIndexOf(u'.')) +
                        QStringLiteral("-%1x%2.ppm").arg(size.width()).arg(size.height());
  const QResource resource(ready);
  if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression) {
    return {};
  }
  // A binary portable pixmap: "P6", its width, height and largest value 255, one blank each,
  // then the rows of red, green and blue bytes.
  const QByteArray header = QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()),
                                                    std::min<qint64>(resource.size(), 32));
  const QByteArray expected =
      QStringLiteral("P6\n%1 %2\n255\n").arg(size.width()).arg(size.height()).toLatin1();
  const qint64 bytesPerLine = 3LL * size.width();
  if (!header.startsWith(expected) ||
      resource.size() != expected.size() + bytesPerLine * size.height()) {
    return {};
  }
  return QImage(resource.data() + expected.size(), size.width(), size.height(), bytesPerLine,
                QImage::Format_RGB888);
}

// Paints `image` over its label, in place of the label's own painting.
class PaintedPicture : public QObject {
 public:
  PaintedPicture(QLabel* label, QImage image) : QObject(label), image_(std::move(image)) {
    label->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint) return false;
    auto* label = static_cast<QLabel*>(watched);
    QPainter(label).drawImage(label->contentsRect().topLeft(), image_);
    return true;
  }

 private:
  QImage image_;
};

}  // namespace

void ShowStretchedPicture(QLabel* label, const QString& file) {
  // The size and filter are the ones QLabel::setScaledContents(true) would use at paint.
  const qreal ratio = label->devicePixelRatio();
  const QSize size = label->contentsRect().size() * ratio;
  if (ratio == 1.0) {
    QImage ready = ReadyStretched(file, size);
    if (!ready.isNull()) {
      new PaintedPicture(label, std::move(ready));
      return;
    }
  }
  qreal fileRatio = 1.0;
  const QString chosen = ChosenFile(file, &fileRatio);
  const QString key =
      QStringLiteral("orvida:%1@%2x%3").arg(chosen).arg(size.width()).arg(size.height());
  QPixmap pixmap;
  if (!QPixmapCache::find(key, &pixmap)) {
    // Through a pixmap first, as the label would stretch it: in the pixmap's format.
    QImage image = QPixmap::fromImage(ReadPng(chosen)).toImage();
    if (!image.isNull() && image.size() != size) {
      image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    pixmap = QPixmap::fromImage(std::move(image));
    if (!pixmap.isNull()) QPixmapCache::insert(key, pixmap);
  }
  pixmap.setDevicePixelRatio(ratio);
  label->setPixmap(pixmap);
}

QIcon Icon(const QString& name) {
  QIcon icon;
  for (int size : {16, 32, 48, 64, 128, 256}) {
    const QString file = QStringLiteral(":/images/%1-%2.png").arg(name).arg(size);
    if (QFile::exists(file)) icon.addPixmap(Picture(file));
  }
  return icon;
}

namespace {

// Presses a button when Esc reaches its window.
class CancelKey : public QObject {
 public:
  CancelKey(QWidget* window, QAbstractButton* button) : QObject(window), button_(button) {
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Escape || key->modifiers() != Qt::NoModifier) return false;
    button_->click();
    return true;
  }

 private:
  QAbstractButton* button_;
};

}  // namespace

void SetCancelButton(QWidget* window, QAbstractButton* button) { new CancelKey(window, button); }

}  // namespace Window
