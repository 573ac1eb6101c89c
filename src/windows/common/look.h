#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QRect>
#include <QString>

class QWidget;

// How the windows look: their fonts, their style and their captions.
namespace Look {

// 15 twips make one logical pixel.
constexpr double kTwipsPerPixel = 15.0;
int Tw(int twips);
QRect TwRect(int left, int top, int width, int height);
// Places `widget` at a rectangle given in twips of its parent's client area.
void Place(QWidget* widget, int left, int top, int width, int height);

// The classic Windows fonts, mapped to the metric-compatible Liberation fonts that come with
// the program as Orvida Sans and Orvida Serif (cut down to the Windows-1252 characters, see
// resources/fonts/subset.py): a name of their own, so that no system font of the same name is
// drawn in their place. Sizes are in points, to a tenth, at 96 dots an inch.
QFont SansFont(double points = 8.0, bool bold = false, bool italic = false);  // MS Sans Serif
QFont ArialFont(double points, bool bold = false);                            // Arial
QFont SerifFont(double points, bool bold = false);                            // Times New Roman

// Registers the bundled fonts, sets the program-wide style and default font, and tells screen
// readers what the windows and panels are. Call once, after the application object exists.
void Install();

// What a label shows for an access-key caption: "&&" is one ampersand, a single "&" marks
// the next letter and is not shown, and a CR LF pair is one line break.
QString LabelText(const QString& caption);

// An access-key caption laid out for a button whose text may take `width` pixels: unchanged
// when it fits on one line, else broken at a blank onto two lines (joined by "\n"), each line
// cut short with "…" where it is still too wide. The access key survives on a line that is
// not cut.
QString WrapCaption(const QString& caption, const QFontMetrics& metrics, int width);

}  // namespace Look
