#include "runtime/twips.h"

#include <cmath>

namespace Runtime {

int Pixels(int twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

QRect PixelRect(int left, int top, int width, int height) {
  const int x0 = Pixels(left);
  const int y0 = Pixels(top);
  return QRect(x0, y0, Pixels(left + width) - x0, Pixels(top + height) - y0);
}

}  // namespace Runtime
