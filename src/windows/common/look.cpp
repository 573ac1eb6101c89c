#include "windows/common/look.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QFontDatabase>
#include <QFrame>
#include <QProxyStyle>
#include <QResource>
#include <QStyleFactory>
#include <QWidget>
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
// must hold its whole caption, so the margins are smaller than the toolkit's.
class ClassicStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
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

// What a screen reader says a window or a panel is. Plain widgets would all be read as
// fillers: the main window is a frame, the About window a dialog, the keypad panel a panel
// and a rule a separator.
QAccessibleInterface* AccessibleRole(const QString& className, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (!widget) return nullptr;
  if (className == QLatin1String("Form1")) {
    return new QAccessibleWidget(widget, QAccessible::Window);
  }
  if (className == QLatin1String("AboutOrvida")) {
    return new QAccessibleWidget(widget, QAccessible::Dialog);
  }
  // Plain frames only: a label or a scroll area is a frame too, and has its own role.
  if (className == QLatin1String("QFrame") && widget->metaObject() == &QFrame::staticMetaObject) {
    const bool rule = static_cast<QFrame*>(widget)->frameShape() == QFrame::HLine;
    return new QAccessibleWidget(widget, rule ? QAccessible::Separator : QAccessible::Grouping);
  }
  return nullptr;
}

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
  QAccessible::installFactory(AccessibleRole);
}

QString LabelText(const QString& caption) {
  QString shown;
  shown.reserve(caption.size());
  for (qsizetype i = 0; i < caption.size(); ++i) {
    const QChar c = caption.at(i);
    if (c == u'&') {
      if (i + 1 < caption.size() && caption.at(i + 1) == u'&') {
        shown += u'&';
        ++i;
      }
      continue;
    }
    if (c == u'\r' && i + 1 < caption.size() && caption.at(i + 1) == u'\n') continue;
    shown += c;
  }
  return shown;
}

namespace {

// Whether `shown` fits in `width` pixels. A caption may be megabytes long: when its first
// few hundred characters are already too wide, the rest is not laid out.
constexpr qsizetype kPrefix = 256;
bool Fits(const QString& shown, const QFontMetrics& metrics, int width) {
  if (shown.size() > kPrefix && metrics.horizontalAdvance(shown.left(kPrefix)) > width) {
    return false;
  }
  return metrics.horizontalAdvance(shown) <= width;
}

// One line of a wrapped caption: as it is where it fits, else its text cut short with "…"
// (its ampersands doubled, so that none is taken for an access key).
QString FitLine(const QString& caption, const QFontMetrics& metrics, int width) {
  QString shown = LabelText(caption);
  if (Fits(shown, metrics, width)) return caption;
  // What fits lies within the first characters when they are already too wide.
  if (shown.size() > kPrefix && !Fits(shown.left(kPrefix), metrics, width)) {
    shown.truncate(kPrefix);
  }
  QString cut = metrics.elidedText(shown, Qt::ElideRight, width);
  return cut.replace(u'&', QStringLiteral("&&"));
}

}  // namespace

QString WrapCaption(const QString& caption, const QFontMetrics& metrics, int width) {
  const auto fits = [&](const QString& part) { return Fits(LabelText(part), metrics, width); };
  if (fits(caption)) return caption;
  // The first line takes the most words that fit; with none that fits, the first word.
  qsizetype first = 0;  // blanks before the first word break nothing
  while (first < caption.size() && caption.at(first) == u' ') ++first;
  qsizetype blank = -1;
  for (qsizetype at = caption.indexOf(u' ', first); at >= 0; at = caption.indexOf(u' ', at + 1)) {
    if (blank >= 0 && !fits(caption.left(at))) break;
    blank = at;
  }
  if (blank < 0) return FitLine(caption, metrics, width);
  return FitLine(caption.left(blank).trimmed(), metrics, width) + u'\n' +
         FitLine(caption.mid(blank + 1).trimmed(), metrics, width);
}

}  // namespace Look
