#pragma once

#include <QString>
#include <cstdint>

#include "keypad/keypad.h"

namespace orvida_test {

// A copy of the whole keypad table, to compare before and after.
struct Table {
  Runtime::OneBasedArray<QString, Modulo1::kKeypadSlots> text;
  Runtime::OneBasedArray<int16_t, Modulo1::kKeypadSlots> count;
  Runtime::OneBasedArray<int16_t, Modulo1::kKeypadSlots> sides;
  bool operator==(const Table&) const = default;
};

inline Table CurrentTable() {
  return {Modulo1::KeypadText, Modulo1::KeypadCount, Modulo1::KeypadSides};
}

}  // namespace orvida_test
