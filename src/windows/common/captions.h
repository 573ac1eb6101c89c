#pragma once

#include <QFontMetrics>
#include <QString>

// The text of access-key captions, as the controls show it.
namespace Captions {

// What a label shows for an access-key caption: "&&" is one ampersand, a single "&" marks
// the next letter and is not shown, and a CR LF pair is one line break.
QString LabelText(const QString& caption);

// An access-key caption laid out for a button whose text may take `width` pixels: unchanged
// when it fits on one line, else broken at a blank onto two lines (joined by "\n"), each line
// cut short with "…" where it is still too wide. The access key survives on a line that is
// not cut.
QString WrapCaption(const QString& caption, const QFontMetrics& metrics, int width);

// The tooltip that shows `shown`, a caption as a label shows it, whole and as written (markup
// in it is text): in lines of a readable width, broken at blanks, and within a word too long
// for a line.
QString ToolTip(const QString& shown);

}  // namespace Captions
