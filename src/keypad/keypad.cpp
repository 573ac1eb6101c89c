#include "keypad/keypad.h"

#include <QFile>
#include <QList>
#include <QStringDecoder>
#include <algorithm>

#include "runtime/codepage.h"
#include "runtime/conversions.h"
#include "runtime/file_save.h"
#include "runtime/path_policy.h"
#include "runtime/program_folder.h"
#include "runtime/runtime_error.h"
#include "runtime/text_file.h"

namespace Modulo1 {

using Runtime::ErrorNumber;
using Runtime::RuntimeError;

Runtime::OneBasedArray<QString, kKeypadSlots> KeypadText;
Runtime::OneBasedArray<int16_t, kKeypadSlots> KeypadCount;
Runtime::OneBasedArray<int16_t, kKeypadSlots> KeypadSides;

namespace {

constexpr int kFileLines = 3 * kKeypadSlots;
// Enough bytes for kMaxCaptionLength characters in any encoding the reader accepts: UTF-8
// takes at most three bytes for each UTF-16 unit.
constexpr qsizetype kMaxLineBytes = qsizetype{3} * kMaxCaptionLength;

int loadedLines = 0;  // of the last load

int16_t NumberLine(const QString& text, const QString& path, int line) {
  try {
    return Runtime::ToInt16(Runtime::TextValue(text));
  } catch (const RuntimeError& error) {
    throw RuntimeError(error.number(), path, line, error.reason());
  }
}

}  // namespace

QString OneLineCaption(QString caption) {
  caption.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
  caption.replace(QLatin1Char('\r'), QLatin1Char(' '));
  caption.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return caption;
}

void ClearKeypad() {
  for (int i = 1; i <= kKeypadSlots; ++i) {
    KeypadText(i).clear();
    KeypadCount(i) = 0;
    KeypadSides(i) = 0;
  }
}

void LoadKeypadConfig(const QString& path) {
  loadedLines = 0;
  Runtime::RefuseUnknownFolder(path);
  QFile file;
  Runtime::OpenRegularFile(file, Runtime::NativePath(path), path);
  const QList<Runtime::TextLine> lines = Runtime::ReadLines(file, kFileLines, kMaxLineBytes);
  file.close();
  // Reading stopped at the most bytes that 60 lines of what a caption holds can take.
  const int stopped = !lines.isEmpty() && lines.last().stopped ? int(lines.size()) : 0;
  const auto stoppedError = [&] {
    return RuntimeError(ErrorNumber::BadRecordLength, path, stopped,
                        QStringLiteral("Il file supera i %1 byte che la configurazione può "
                                       "occupare: il resto, da questa riga, non è stato letto")
                            .arg(qint64{kFileLines} * (kMaxLineBytes + 2)));
  };

  const auto bytes = [](const Runtime::TextLine& line) { return QByteArrayView(line.bytes); };
  const bool utf8 =
      std::any_of(lines.begin(), lines.end(),
                  [&](const Runtime::TextLine& l) { return Runtime::HasNonAscii(bytes(l)); }) &&
      std::all_of(lines.begin(), lines.end(),
                  [&](const Runtime::TextLine& l) { return Runtime::IsValidUtf8(bytes(l)); });
  int firstCut = 0;  // the first line longer than a caption box holds
  const auto line = [&](int number) {
    if (number > lines.size()) {
      if (stopped > 0) throw stoppedError();
      throw RuntimeError(ErrorNumber::InputPastEndOfFile, path, number);
    }
    const Runtime::TextLine& read = lines[number - 1];
    QString text;
    if (utf8) {
      // A byte order mark is part of the caption too: kept, it saves back unchanged.
      QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
      text = decoder.decode(read.bytes);
    } else {
      text = Runtime::DecodeWindows1252(read.bytes);
    }
    if (read.cut || text.size() > kMaxCaptionLength) {
      qsizetype keep = std::min<qsizetype>(text.size(), kMaxCaptionLength);
      if (keep > 0 && text[keep - 1].isHighSurrogate()) --keep;
      text.truncate(keep);
      if (firstCut == 0) firstCut = number;
    }
    return text;
  };

  // Each value goes into the table as soon as its line is read, so an error leaves the
  // values before it in place.
  for (int slot = 1; slot <= kKeypadSlots; ++slot) {
    const int first = 3 * slot - 2;
    KeypadText(slot) = line(first);
    loadedLines = first;
    KeypadCount(slot) = NumberLine(line(first + 1), path, first + 1);
    loadedLines = first + 1;
    KeypadSides(slot) = NumberLine(line(first + 2), path, first + 2);
    loadedLines = first + 2;
  }
  // The whole table is read; a line that had to be shortened is still worth a word.
  if (stopped > 0) throw stoppedError();
  if (firstCut > 0) {
    throw RuntimeError(ErrorNumber::BadRecordLength, path, firstCut,
                       QStringLiteral("La riga supera i %1 caratteri: il resto non è stato letto")
                           .arg(kMaxCaptionLength));
  }
}

QByteArray KeypadConfigBytes() {
  QString text;
  bool fits = true;
  for (int slot = 1; slot <= kKeypadSlots; ++slot) {
    const QString caption = OneLineCaption(KeypadText(slot));
    fits = fits && Runtime::FitsWindows1252(caption);
    text += caption + QStringLiteral("\r\n") + Runtime::SignedText(KeypadCount(slot)) +
            QStringLiteral("\r\n") + Runtime::SignedText(KeypadSides(slot)) +
            QStringLiteral("\r\n");
  }
  if (fits) {
    QByteArray bytes = Runtime::EncodeWindows1252(text);
    // Windows-1252 bytes that happen to form UTF-8 ("Ã©") would be read back as UTF-8;
    // such captions are written as UTF-8 so that they load back unchanged.
    if (!Runtime::ReadsAsUtf8(bytes)) return bytes;
  }
  return text.toUtf8();
}

void SaveKeypadConfig(const QString& path) {
  Runtime::RefuseUnknownFolder(path);
  Runtime::SaveWholeFile(Runtime::NativePath(path), path, KeypadConfigBytes());
}

int LoadedKeypadLines() { return loadedLines; }

QString KeypadConfigPath() {
  const QString folder = Runtime::ProgramFolder();
  if (folder.isEmpty()) return {};
  return folder + QStringLiteral("/conf.ini");
}

}  // namespace Modulo1
