#include "runtime/text_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "runtime/file_errors.h"
#include "runtime/runtime_error.h"

namespace Runtime {

namespace {

constexpr qint64 kChunkSize = qint64{64} * 1024;

// Adds `size` bytes to `line`, keeping no more than `limit`.
void AppendBounded(TextLine& line, const char* data, qsizetype size, qsizetype limit) {
  const qsizetype room = limit - line.bytes.size();
  if (size > room) line.cut = true;
  if (room > 0) line.bytes.append(data, std::min(size, room));
}

// Drops a UTF-8 sequence that the cut split, so that a cut line is still valid UTF-8.
void DropSplitSequence(QByteArray& bytes) {
  qsizetype lead = bytes.size() - 1;
  while (lead > 0 && bytes.size() - lead < 4 &&
         (static_cast<unsigned char>(bytes[lead]) & 0xC0) == 0x80)
    --lead;
  if (lead < 0) return;
  const auto b = static_cast<unsigned char>(bytes[lead]);
  const qsizetype length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
  if (bytes.size() - lead < length) bytes.truncate(lead);
}

}  // namespace

QList<TextLine> ReadLines(QFile& file, int maxLines, qsizetype maxLineBytes) {
  QList<TextLine> lines;
  TextLine current;
  bool afterCr = false;  // the last chunk ended in CR: an LF that starts the next belongs to it
  std::vector<char> chunk(kChunkSize);
  const auto finish = [&] {
    if (current.cut) DropSplitSequence(current.bytes);
    lines.append(std::move(current));
    current = TextLine();
  };
  // The bytes left to read; one more is asked for, to see whether the file goes on.
  qint64 left = qint64{maxLines} * (maxLineBytes + 2);
  while (lines.size() < maxLines) {
    ClearFileError();
    qint64 got = file.read(chunk.data(), std::min(kChunkSize, left + 1));
    if (got < 0) {
      throw RuntimeError(ErrorNumber::DeviceIoError, file.fileName(), lines.size() + 1,
                         FileErrorReason(LastFileError(), file.error()));
    }
    if (got == 0) {
      if (!current.bytes.isEmpty()) finish();
      break;
    }
    const bool beyond = got > left;
    got = std::min(got, left);
    left -= got;
    const char* p = chunk.data();
    const char* const end = p + got;
    if (afterCr && *p == '\n') ++p;
    afterCr = false;
    while (p < end && lines.size() < maxLines) {
      const auto* lf = static_cast<const char*>(std::memchr(p, '\n', end - p));
      const char* stop = lf ? lf : end;
      const auto* cr = static_cast<const char*>(std::memchr(p, '\r', stop - p));
      const char* lineEnd = cr ? cr : stop;
      AppendBounded(current, p, lineEnd - p, maxLineBytes);
      if (lineEnd == end) break;
      finish();
      p = lineEnd + 1;
      if (*lineEnd == '\r') {
        if (p == end)
          afterCr = true;
        else if (*p == '\n')
          ++p;
      }
    }
    if (beyond && lines.size() < maxLines) {
      current.cut = true;
      current.stopped = true;
      finish();
      break;
    }
  }
  return lines;
}

}  // namespace Runtime
