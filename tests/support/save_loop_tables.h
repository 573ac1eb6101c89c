#pragma once

#include <QString>

#include "keypad/keypad.h"

namespace orvida_test {

// The two keypad tables that keypad_save_loop saves in turn. They differ in every slot and
// in length and encoding (the second one needs UTF-8), so a file cut short or mixed from
// both is never mistaken for either.
inline void FillSaveLoopTable(int which) {
  for (int slot = 1; slot <= Modulo1::kKeypadSlots; ++slot) {
    if (which == 0) {
      Modulo1::KeypadText(slot) = QStringLiteral("Tasto %1").arg(slot);
      Modulo1::KeypadCount(slot) = static_cast<int16_t>(slot);
      Modulo1::KeypadSides(slot) = 6;
    } else {
      Modulo1::KeypadText(slot) =
          QStringLiteral("Pulsante n. %1 \u2014 tiro lungo da \u20ac %2 ").arg(slot).arg(slot * 7) +
          QString(slot * 13, QChar(u'\u00e8'));
      Modulo1::KeypadCount(slot) = static_cast<int16_t>(100 + slot);
      Modulo1::KeypadSides(slot) = static_cast<int16_t>(-slot * 1000);
    }
  }
}

}  // namespace orvida_test
