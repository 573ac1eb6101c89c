#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

// Sequential text files: the lines of a file read whatever it holds.
namespace Runtime {

// One line of a text file as read: its bytes, and whether the line went on beyond the
// bytes kept.
struct TextLine {
  QByteArray bytes;
  bool cut = false;
  // Reading stopped inside this line at the bound on the whole file: nothing after it was
  // read.
  bool stopped = false;
};

// Reads up to `maxLines` lines. A line ends at CR LF, a lone LF or a lone CR; a last line
// without its line end counts, an empty file has no lines. Reading stops once `maxLines`
// lines are complete, so what follows them is never read, and a line keeps only its first
// `maxLineBytes` bytes (less the start of a UTF-8 sequence that the cut would split). No
// more of the file is read than `maxLines` lines of `maxLineBytes` bytes and a CR LF each
// could take: a line that goes on past that bound is cut there and marked `stopped`, and
// is the last one returned. Whatever the file holds, reading needs little time and memory.
// Throws RuntimeError (DeviceIoError, with the line) when the system fails to read.
QList<TextLine> ReadLines(QFile& file, int maxLines, qsizetype maxLineBytes);

}  // namespace Runtime
