// Saves conf.ini at the given path over and over, alternating between the two tables of
// save_loop_tables.h, until it is killed. Writes one byte to standard output once the
// first save is done, so whoever kills it knows the loop is running.
#include <unistd.h>

#include <QString>
#include <cstdio>

#include "dice/runtime_error.h"
#include "keypad/keypad.h"
#include "save_loop_tables.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: keypad_save_loop <conf.ini>\n");
    return 2;
  }
  const QString path = QString::fromLocal8Bit(argv[1]);
  try {
    for (unsigned long i = 0;; ++i) {
      orvida_test::FillSaveLoopTable(static_cast<int>(i % 2));
      Modulo1::SaveKeypadConfig(path);
      if (i == 0 && ::write(STDOUT_FILENO, "!", 1) != 1) return 3;
    }
  } catch (const Modulo1::RuntimeError& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
}
