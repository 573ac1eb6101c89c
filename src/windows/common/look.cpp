#include "windows/common/look.h"

#include <QApplication>
#include <QFontDatabase>
#include <QProxyStyle>
#include <QResource>
#include <QStyleFactory>
#include <cmath>

namespace Look {

namespace {

QFont MakeFont(const QString& family, double points, bool bold, bool italic, double scale = 1.0) {
  QFont font(family);
  // Pixel sizes keep the layout the same whatever DPI the desktop reports.
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * scale * 96.0 / 72.0))));
  font.setBold(bold);
  font.setItalic(italic);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

// Push buttons of the classic dialogs are tight: a 17-pixel-high, 49-pixel-wide button
// must hold its whole caption, so the margins are smaller than the toolkit's. The buttons of
// message boxes are plain words, whatever a desktop theme would draw beside them.
class ClassicStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_DialogButtonBox_ButtonsHaveIcons) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    switch (metric) {
      case PM_ButtonMargin:
        return 2;
      case PM_ButtonDefaultIndicator:
        return 0;
      default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
  }
};

}  // namespace

// MS Sans Serif sets narrower than Orvida Sans at the same size: a slightly smaller
// size keeps every caption within the width the windows give it.
constexpr double kSansSerifScale = 0.92;

QFont SansFont(double points, bool bold, bool italic) {
  return MakeFont(QStringLiteral("Orvida Sans"), points, bold, italic, kSansSerifScale);
}

QFont ArialFont(double points, bool bold) {
  return MakeFont(QStringLiteral("Orvida Sans"), points, bold, false);
}

QFont SerifFont(double points, bool bold) {
  return MakeFont(QStringLiteral("Orvida Serif"), points, bold, false);
}

void Install() {
  for (const char* file : {":/fonts/OrvidaSans-Regular.ttf", ":/fonts/OrvidaSans-Bold.ttf",
                           ":/fonts/OrvidaSans-Italic.ttf", ":/fonts/OrvidaSerif-Bold.ttf"}) {
    // The fonts are stored uncompressed in the executable: registered straight from there,
    // they are not first copied into memory as registering them by file name does.
    const QResource resource(QString::fromLatin1(file));
    if (resource.isValid() && resource.compressionAlgorithm() == QResource::NoCompression) {
      QFontDatabase::addApplicationFontFromData(QByteArray::fromRawData(
          reinterpret_cast<const char*>(resource.data()), static_cast<qsizetype>(resource.size())));
    } else {
      QFontDatabase::addApplicationFont(QString::fromLatin1(file));
    }
  }
  QApplication::setStyle(new ClassicStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
  QApplication::setFont(SansFont());
}

}  // namespace Look
