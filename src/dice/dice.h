#pragma once

#include <QString>
#include <cstdint>

#include "runtime/runtime_error.h"

namespace Modulo1 {

// Throws `count` dice of `sides` sides after one reseed of the generator and returns the
// sum of the faces. Each face is floor(sides * r + 1) in double precision. A sum that
// leaves -32768..32767 throws RuntimeError(Overflow) at the die that passes it; no die
// is thrown after it. Counts below 1 throw no die and give 0; 0 sides make every face 1.
int16_t RollDice(int16_t count, int16_t sides);

// SignedText without its first character: "18" for 18, "-5" for -5.
QString NumText(int16_t n);

}  // namespace Modulo1
