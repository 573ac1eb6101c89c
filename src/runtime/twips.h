#pragma once

#include <QRect>

// Geometry in twips, the unit the windows are drawn in: 1/1440 inch, 15 to a logical pixel.
namespace Runtime {

constexpr double kTwipsPerPixel = 15.0;

// The nearest whole number of logical pixels.
int Pixels(int twips);

// A rectangle given in twips, in pixels. The edges are rounded, not the sizes, so that
// neighbouring controls keep their shared edges.
QRect PixelRect(int left, int top, int width, int height);

}  // namespace Runtime
