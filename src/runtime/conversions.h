#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>

namespace Runtime {

// The number that the text begins with: leading blanks and tabs skipped, an optional sign,
// decimal digits with at most one "." (whatever the locale). Reading stops at the first
// character that cannot continue the number; a text that begins with no number gives 0.
// No exponents, no hex or octal prefixes, no blanks inside the number: "3d6" is 3.
double TextValue(QStringView text);

// Nearest whole number, halves to even. Throws RuntimeError(Overflow) outside
// -32768..32767, and for NaN and infinities.
int16_t ToInt16(double x);

// The digits of n, "-" before a negative number, one blank before zero and positive ones.
QString SignedText(int16_t n);

}  // namespace Runtime
