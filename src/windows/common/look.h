#pragma once

#include <QFont>
#include <QString>

// How the windows look: their fonts and their style.
namespace Look {

// The classic Windows fonts, mapped to the metric-compatible Liberation fonts that come with
// the program as Orvida Sans and Orvida Serif (cut down to the Windows-1252 characters, see
// resources/fonts/subset.py): a name of their own, so that no system font of the same name is
// drawn in their place. Sizes are in points, to a tenth, at 96 dots an inch.
QFont SansFont(double points = 8.0, bool bold = false, bool italic = false);  // MS Sans Serif
QFont ArialFont(double points, bool bold = false);                            // Arial
QFont SerifFont(double points, bool bold = false);                            // Times New Roman

// Registers the bundled fonts and sets the program-wide style and default font. Call once,
// after the application object exists.
void Install();

}  // namespace Look
