#pragma once

#include <QString>
#include <array>
#include <cassert>
#include <cstdint>

namespace Modulo1 {

constexpr int KeypadSlots = 20;

// A fixed array indexed from 1, like the rows of buttons it describes.
template <typename T, int N>
class OneBasedArray {
 public:
  T& operator()(int i) {
    assert(i >= 1 && i <= N);
    return items_[static_cast<size_t>(i - 1)];
  }
  const T& operator()(int i) const {
    assert(i >= 1 && i <= N);
    return items_[static_cast<size_t>(i - 1)];
  }
  static constexpr int size() { return N; }
  bool operator==(const OneBasedArray&) const = default;

 private:
  std::array<T, N> items_{};
};

// The keypad table: caption, dice count and die size of each of the twenty quick buttons.
// One table for the process; every caption empty and every number 0 until a file is read.
extern OneBasedArray<QString, KeypadSlots> KeypadText;
extern OneBasedArray<int16_t, KeypadSlots> KeypadCount;
extern OneBasedArray<int16_t, KeypadSlots> KeypadSides;

// Fills the table from the file at `path`: 60 lines, three a slot (caption, count, size).
// Lines end at CR LF, a lone LF or a lone CR; lines after the 60th are not read. The lines
// are read as UTF-8 when they are valid UTF-8 holding non-ASCII, else as Windows-1252.
// Each value goes into the table as soon as its line is read. Throws RuntimeError:
// FileNotFound (table untouched), PathFileAccessError or PermissionDenied (untouched),
// DeviceIoError for a failed read (untouched), InputPastEndOfFile when the file has fewer
// than 60 lines, Overflow for a number out of range; the last two carry the line number
// and leave the values read before in the table.
void LoadKeypadConfig(const QString& path);

// Rewrites the file at `path` from the table, atomically: a save that fails leaves the
// old file whole and throws RuntimeError with the path and the system's reason:
// PathNotFound when the folder does not exist, PermissionDenied, DiskFull,
// PathFileAccessError (e.g. a folder at the path), DeviceIoError for a failed write.
void SaveKeypadConfig(const QString& path);

// The file's exact bytes for the current table (what SaveKeypadConfig writes): 60 lines
// ending in CR LF, line breaks inside captions turned into blanks; Windows-1252 when all
// captions fit in it (and the bytes would not read back as UTF-8), otherwise UTF-8.
QByteArray KeypadConfigBytes();

// Empties the table: captions empty, numbers 0.
void ClearKeypad();

// The program's folder followed by "/conf.ini".
QString KeypadConfigPath();

// Makes KeypadConfigPath use `folder` instead of the program's folder while this object
// lives, so tests never touch the conf.ini beside their executable.
class ScopedKeypadConfigFolder {
 public:
  explicit ScopedKeypadConfigFolder(const QString& folder);
  ~ScopedKeypadConfigFolder();
  ScopedKeypadConfigFolder(const ScopedKeypadConfigFolder&) = delete;
  ScopedKeypadConfigFolder& operator=(const ScopedKeypadConfigFolder&) = delete;

 private:
  QString previous_;
};

}  // namespace Modulo1
