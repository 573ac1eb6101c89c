#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "keypad/keypad.h"
#include "keypad_snapshot.h"
#include "runtime/random.h"

// Readable test names and failure messages for Qt's strings.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
  *os << '"' << bytes.toPercentEncoding(" ,.-").toStdString() << '"';
}

namespace orvida_test {

// The largest draw a word can stand for: the largest word, 2^32 - 1, over 2^32.
inline constexpr double kLargestDraw = 1.0 - 0x1p-32;

// A source of the generator's words that plays back the words for the given draws (r in
// 0..1 stands for the word r * 2^32; the last one repeats) and records every call.
class ScriptedSource : public Runtime::WordSource {
 public:
  explicit ScriptedSource(std::vector<double> draws) : draws_(std::move(draws)) {}
  void Reseed() override {
    ++reseeds;
    events += 'R';
  }
  uint32_t Next() override {
    const double r = draws_[std::min(static_cast<size_t>(draws), draws_.size() - 1)];
    ++draws;
    if (events.size() < 16) events += 'D';
    return static_cast<uint32_t>(r * 0x1p32);
  }

  int reseeds = 0;
  int draws = 0;
  std::string events;  // the first calls in order: R for a reseed, D for a draw

 private:
  std::vector<double> draws_;
};

// Windows-1252 as Python's cp1252 codec decodes it (cp1252.txt): the character of each byte,
// 0 to 255. The five bytes the code page leaves undefined decode to the C1 controls of the
// same value, so that any file reads and saves back whole. Empty when the file is missing.
inline QString Windows1252Oracle() {
  QFile file(QStringLiteral(ORVIDA_CP1252_FIXTURE));
  QString text;
  if (!file.open(QIODevice::ReadOnly)) return text;
  for (const QByteArray& line : file.readAll().split('\n')) {
    if (line.startsWith('#')) continue;
    for (const QByteArray& cell : line.simplified().split(' ')) {
      if (!cell.isEmpty())
        text += cell == "----" ? QChar(static_cast<char16_t>(text.size()))
                               : QChar(cell.toUShort(nullptr, 16));
    }
  }
  return text;
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Joins lines with `end` after each one.
inline QByteArray JoinLines(const QList<QByteArray>& lines, const QByteArray& end = "\r\n") {
  QByteArray bytes;
  for (const QByteArray& line : lines) bytes += line + end;
  return bytes;
}

// Every byte value but CR and LF, in order.
inline QByteArray BytesButLineEnds() {
  QByteArray bytes;
  for (int b = 0; b < 256; ++b) {
    if (b != '\r' && b != '\n') bytes += static_cast<char>(b);
  }
  return bytes;
}

// Sixty lines of a valid file: caption "Tasto i", count i, sides 6 for each slot i.
inline QList<QByteArray> SampleLines() {
  QList<QByteArray> lines;
  for (int slot = 1; slot <= 20; ++slot) {
    lines << "Tasto " + QByteArray::number(slot) << " " + QByteArray::number(slot) << " 6";
  }
  return lines;
}

}  // namespace orvida_test
