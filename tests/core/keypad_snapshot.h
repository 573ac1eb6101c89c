#pragma once

#include <QString>
#include <cstdint>

#include "keypad/keypad.h"

namespace orvida_test {

// A copy of the whole keypad table, to compare before and after.
struct Table {
  Modulo1::OneBasedArray<QString, Modulo1::KeypadSlots> text;
  Modulo1::OneBasedArray<int16_t, Modulo1::KeypadSlots> count;
  Modulo1::OneBasedArray<int16_t, Modulo1::KeypadSlots> sides;
  bool operator==(const Table&) const = default;
};

inline Table CurrentTable() {
  return {Modulo1::KeypadText, Modulo1::KeypadCount, Modulo1::KeypadSides};
}

}  // namespace orvida_test
