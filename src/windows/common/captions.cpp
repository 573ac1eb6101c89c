#include "windows/common/captions.h"

#include <QStringList>
#include <QTextLayout>
#include <QToolTip>

namespace Captions {

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

QString ToolTip(const QString& shown) {
  // Some 50 characters a line, as in a paragraph of a book.
  constexpr int kLineCharacters = 50;
  const QFont font = QToolTip::font();
  const int lineWidth = QFontMetrics(font).averageCharWidth() * kLineCharacters;
  QTextLayout layout(shown, font);
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  QStringList lines;
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(lineWidth);
    lines << shown.mid(line.textStart(), line.textLength());
  }
  layout.endLayout();
  // Kept as broken here: the tooltip does not break or join the lines again.
  return QStringLiteral("<p style=\"white-space:pre\">") + lines.join(u'\n').toHtmlEscaped() +
         QStringLiteral("</p>");
}

}  // namespace Captions
