#pragma once

#include <QString>
#include <cstdint>

#include "runtime/one_based_array.h"

namespace Modulo1 {

constexpr int kKeypadSlots = 20;
// The most characters a caption holds: what its box in the dialog takes, and what the
// reader keeps of a longer line.
constexpr int kMaxCaptionLength = 32767;

// The keypad table: caption, dice count and die size of each of the twenty quick buttons.
// One table for the process; every caption empty and every number 0 until a file is read.
extern Runtime::OneBasedArray<QString, kKeypadSlots> KeypadText;
extern Runtime::OneBasedArray<int16_t, kKeypadSlots> KeypadCount;
extern Runtime::OneBasedArray<int16_t, kKeypadSlots> KeypadSides;

// Fills the table from the file at `path`: 60 lines, three a slot (caption, count, size).
// Lines end at CR LF, a lone LF or a lone CR; lines after the 60th are not read, and of a
// line only its first kMaxCaptionLength characters; nor is anything past the first
// 5,898,180 bytes (60 lines of 3 × kMaxCaptionLength bytes and CR LF), so a file of any
// size loads at once. The lines are read as UTF-8 when they are valid UTF-8 holding
// non-ASCII, else as Windows-1252. Each value goes into the table as soon as its line is
// read. Throws RuntimeError: FileNotFound (table untouched), also for a link that leads
// nowhere or loops, PathNotFound for an empty path (the program's folder is unknown),
// BadFileName for a path longer than the system takes (the program's folder's too),
// PathFileAccessError for anything but a regular file or a link to one (the reason names
// its kind), PermissionDenied, DeviceIoError for a failed read (all
// untouched), InputPastEndOfFile when the file has fewer than 60 lines, Overflow for a
// number out of range (both carry the line number and leave the values read before in the
// table), and BadRecordLength: naming the line where the reading stopped, at the byte
// bound, with the lines before it in the table, or else naming the first line that was too
// long, once the whole table has been read.
void LoadKeypadConfig(const QString& path);

// How many lines of the file the last LoadKeypadConfig put into the table, in order: 60
// when it read them all, fewer when it stopped at an error.
int LoadedKeypadLines();

// Rewrites the file at `path` from the table with Runtime::SaveWholeFile: a save that fails
// leaves the old file whole and throws RuntimeError with the path and the reason in
// Italian (see there), also PathNotFound or BadFileName when `path` is empty (the program's
// folder is unknown). It succeeds only when `path` then leads to the file it wrote.
void SaveKeypadConfig(const QString& path);

// The file's exact bytes for the current table (what SaveKeypadConfig writes): 60 lines
// ending in CR LF, line breaks inside captions turned into blanks; Windows-1252 when all
// captions fit in it (and the bytes would not read back as UTF-8), otherwise UTF-8.
QByteArray KeypadConfigBytes();

// The caption as one line: CR LF, a lone CR and a lone LF each become one blank.
QString OneLineCaption(QString caption);

// Empties the table: captions empty, numbers 0.
void ClearKeypad();

// The program's folder followed by "/conf.ini"; empty when the folder cannot be known.
QString KeypadConfigPath();

}  // namespace Modulo1
