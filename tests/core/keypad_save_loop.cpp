// Saves conf.ini at the given path over and over, alternating between the two tables of
// save_loop_tables.h, until it is killed. Writes one byte to standard output once the
// first save is done, so whoever kills it knows the loop is running.
// Without a path it works on the conf.ini beside itself, as the program does: it loads the
// file, captions slot 1 "salvato" and saves it once, or ends with the error's number.
// With --roll it prints twenty rolls of 1d20 made under a clock that stands still.
#include <unistd.h>

#include <QString>
#include <cstdio>
#include <cstring>

#include "dice/dice.h"
#include "keypad/keypad.h"
#include "runtime/random.h"
#include "runtime/runtime_error.h"
#include "save_loop_tables.h"

int main(int argc, char** argv) {
  if (argc == 1) {
    try {
      Modulo1::LoadKeypadConfig(Modulo1::KeypadConfigPath());
      Modulo1::KeypadText(1) = QStringLiteral("salvato");
      Modulo1::SaveKeypadConfig(Modulo1::KeypadConfigPath());
      return 0;
    } catch (const Runtime::RuntimeError& error) {
      std::fprintf(stderr, "%s\n", error.what());
      return error.code();
    }
  }
  if (argc == 2 && std::strcmp(argv[1], "--roll") == 0) {
    const Runtime::ScopedReseedClock stopped([] { return uint64_t{1'700'000'000'000'000'000}; });
    for (int i = 0; i < 20; ++i) std::printf("%d ", Modulo1::RollDice(1, 20));
    return 0;
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: keypad_save_loop [<conf.ini>]\n");
    return 2;
  }
  const QString path = QString::fromLocal8Bit(argv[1]);
  try {
    for (unsigned long i = 0;; ++i) {
      orvida_test::FillSaveLoopTable(static_cast<int>(i % 2));
      Modulo1::SaveKeypadConfig(path);
      if (i == 0 && ::write(STDOUT_FILENO, "!", 1) != 1) return 3;
    }
  } catch (const Runtime::RuntimeError& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
}
