#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#ifndef _WIN32
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <ostream>
#include <vector>

#include "test_support.h"

// Hostile conf.ini files and what loading each one gives, shared by the core test (the
// error and the table) and the main window's test (the message and the buttons).
namespace orvida_test {

struct HostileConfig {
  // What stands at the path: the file with `bytes`, nothing, a folder, a named pipe that
  // nobody writes to, a socket, a link to the endless device /dev/zero, a link to a missing
  // file, or a link to itself.
  enum class Kind { File, Missing, Folder, NamedPipe, Socket, Device, DanglingLink, LoopingLink };

  const char* name;
  Kind kind;
  std::function<QByteArray()> bytes;  // the file's contents, for Kind::File
  int error;                          // the error number, 0 when the file loads
  int line;                           // the line the error names, 0 for none
  // What each slot holds once its line has been read; std::nullopt where a case leaves a
  // value unchecked.
  std::function<std::optional<QString>(int slot)> caption;
  std::function<int(int slot)> count;
  std::function<int(int slot)> sides;

  // The error of a line longer than a caption holds: it is cut, and the rest is read.
  static constexpr int kLineCut = 59;
  // The line in which the reading stopped at the bound on the whole file, 0 when it did not.
  int stopsAt = 0;

  // Whether the load read the line of a slot's caption, count or sides (the values read
  // before an error stay in the table, the rest are untouched).
  bool Reads(int fileLine) const {
    if (stopsAt > 0) return fileLine <= stopsAt;
    return error == 0 || error == kLineCut || fileLine < line;
  }

  // Named pipes in folders, /dev/zero and symbolic links exist on POSIX systems only (a link
  // that QFile::link makes on Windows is a shortcut file).
  bool PosixOnly() const {
    return kind == Kind::NamedPipe || kind == Kind::Socket || kind == Kind::Device ||
           kind == Kind::DanglingLink || kind == Kind::LoopingLink;
  }

  // Puts the case at `path`; returns the bytes written, empty for the other kinds.
  QByteArray Create(const QString& path) const {
    switch (kind) {
      case Kind::File: {
        const QByteArray contents = bytes();
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size()) {
          ADD_FAILURE() << "cannot write " << path.toStdString();
        }
        return contents;
      }
      case Kind::Missing:
        break;
      case Kind::Folder:
        EXPECT_TRUE(QDir().mkdir(path));
        break;
      case Kind::NamedPipe:
#ifndef _WIN32
        EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
        break;
      case Kind::Socket: {
#ifndef _WIN32
        sockaddr_un address{AF_UNIX, {}};
        std::strncpy(address.sun_path, QFile::encodeName(path).constData(), 107);
        const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
        EXPECT_EQ(::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(socket);
#endif
        break;
      }
      case Kind::Device:
        EXPECT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path));
        break;
      case Kind::DanglingLink:
        EXPECT_TRUE(QFile::link(path + QStringLiteral(".missing"), path));
        break;
      case Kind::LoopingLink:
        EXPECT_TRUE(QFile::link(path, path));
        break;
    }
    return {};
  }

  // Whether what was put at `path` is still there as it was.
  bool Unchanged(const QString& path, const QByteArray& written) const {
    const QFileInfo info(path);
    switch (kind) {
      case Kind::File: {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) && file.readAll() == written;
      }
      case Kind::Missing:
        return !info.exists() && !info.isSymLink();
      case Kind::Folder:
        return info.isDir();
      case Kind::NamedPipe:
      case Kind::Socket: {
#ifdef _WIN32
        return false;
#else
        struct stat status {};
        return ::lstat(QFile::encodeName(path).constData(), &status) == 0 &&
               (kind == Kind::Socket ? S_ISSOCK(status.st_mode) : S_ISFIFO(status.st_mode));
#endif
      }
      case Kind::Device:
        return info.isSymLink() && info.symLinkTarget() == QStringLiteral("/dev/zero");
      case Kind::DanglingLink:
        return info.isSymLink() && !QFileInfo::exists(path + QStringLiteral(".missing"));
      case Kind::LoopingLink:
        return info.isSymLink() && QFile::symLinkTarget(path) == path;
    }
    return false;
  }
};

inline void PrintTo(const HostileConfig& c, std::ostream* os) { *os << c.name; }

namespace hostile {

constexpr qsizetype kMiB = 1024 * 1024;

// The sample file: "Tasto i", count i, 6 sides for each slot i, with `end` after each line.
inline QByteArray SampleFile(const QByteArray& end = "\r\n") {
  return JoinLines(SampleLines(), end);
}

inline std::optional<QString> SampleCaption(int slot) {
  return QStringLiteral("Tasto %1").arg(slot);
}
inline int SampleCount(int slot) { return slot; }

// The caption of slot 1 as the reader keeps it when the line is longer than a caption holds.
inline std::optional<QString> CutFirstCaption(int slot) {
  return slot == 1 ? std::optional<QString>(QString(32767, QLatin1Char('x'))) : SampleCaption(slot);
}

// A first line of `length` x's followed by the sample file from its second line, with `end`
// after every line.
inline QByteArray LongFirstLine(qsizetype length, const QByteArray& end) {
  const QByteArray sample = SampleFile(end);
  return QByteArray(length, 'x') + sample.sliced(sample.indexOf(end));
}
// The sample file in UTF-8: its first caption `head` and then 50000 of `character` (UTF-8),
// its second "Città"; and what the reader keeps of it, the first caption with `kept` of them.
inline QByteArray LongUtf8FirstLine(const QByteArray& head, const QByteArray& character) {
  QList<QByteArray> lines = SampleLines();
  lines[0] = head + character.repeated(50000);
  lines[3] = "Citt\xC3\xA0";
  return JoinLines(lines);
}
inline auto LongUtf8FirstCaption(const QString& head, const QByteArray& character, int kept) {
  return [=](int slot) {
    if (slot > 2) return SampleCaption(slot);
    return std::optional<QString>(slot == 1 ? head + QString::fromUtf8(character).repeated(kept)
                                            : QStringLiteral("Citt\u00E0"));
  };
}
inline int Six(int) { return 6; }
inline int Zero(int) { return 0; }
inline std::optional<QString> EmptyCaption(int) { return QString(); }

// The same bytes every run: a linear congruential generator's high bytes.
inline QByteArray PseudoRandomBytes(qsizetype size, uint32_t seed) {
  QByteArray bytes(size, Qt::Uninitialized);
  for (char& b : bytes) {
    seed = seed * 1103515245u + 12345u;
    b = static_cast<char>((seed >> 16) & 0xFF);
  }
  return bytes;
}

// The sample file as a text editor saves it in "Unicode": UTF-16 LE after a byte order mark.
// Read as bytes, each CR and LF is followed by a NUL, so a lone CR ends each line: every
// line of the sample becomes a line that starts with NUL (the first one with the mark
// instead) and a line of one NUL, the NUL after the CR.
inline QByteArray SampleFileInUtf16() {
  const QString text = QString::fromLatin1(SampleFile());
  QByteArray bytes("\xFF\xFE");
  for (const QChar c : text) {
    bytes += static_cast<char>(c.unicode() & 0xFF);
    bytes += static_cast<char>(c.unicode() >> 8);
  }
  return bytes;
}

inline std::optional<QString> SampleFileInUtf16Caption(int slot) {
  const int fileLine = 3 * slot - 2;
  if (fileLine % 2 == 0) return QString(QChar(u'\0'));
  const int sampleLine = (fileLine + 1) / 2;  // 1-based line of the sample file
  const int sampleSlot = (sampleLine + 2) / 3;
  QString sample;
  switch (sampleLine % 3) {
    case 1:
      sample = QStringLiteral("Tasto %1").arg(sampleSlot);
      break;
    case 2:
      sample = QStringLiteral(" %1").arg(sampleSlot);
      break;
    default:
      sample = QStringLiteral(" 6");
  }
  QString caption = sampleLine == 1 ? QStringLiteral("\u00FF\u00FE") : QString(QChar(u'\0'));
  for (const QChar c : sample) caption += QString(c) + QChar(u'\0');
  return caption;
}

}  // namespace hostile

inline const std::vector<HostileConfig>& HostileConfigs() {
  using namespace hostile;
  using Kind = HostileConfig::Kind;
  static const std::vector<HostileConfig> cases = {
      {"Missing", Kind::Missing, nullptr, 53, 0, EmptyCaption, Zero, Zero},
      {"Directory", Kind::Folder, nullptr, 75, 0, EmptyCaption, Zero, Zero},
      {"NamedPipe", Kind::NamedPipe, nullptr, 75, 0, EmptyCaption, Zero, Zero},
      {"Socket", Kind::Socket, nullptr, 75, 0, EmptyCaption, Zero, Zero},
      {"LinkToDevZero", Kind::Device, nullptr, 75, 0, EmptyCaption, Zero, Zero},
      // A link that leads nowhere is a file not found, as nothing at all would be.
      {"DanglingLink", Kind::DanglingLink, nullptr, 53, 0, EmptyCaption, Zero, Zero},
      {"LoopingLink", Kind::LoopingLink, nullptr, 53, 0, EmptyCaption, Zero, Zero},
      {"Empty", Kind::File, [] { return QByteArray(); }, 62, 1, EmptyCaption, Zero, Zero},
      // Every byte value but CR and LF, sixteen times over: one long line of binary.
      {"BinaryWithoutLineEnds", Kind::File, [] { return BytesButLineEnds().repeated(16); }, 62, 2,
       [](int) {
         return std::optional<QString>(
             Windows1252Oracle().remove(QLatin1Char('\r')).remove(QLatin1Char('\n')).repeated(16));
       },
       Zero, Zero},
      // 64 KiB of pseudo-random bytes hold some 540 line ends. Of the first 40 number lines
      // only the 18th line of the file starts with a digit ("1\xC0..."): slot 6 has 1 side.
      {"PseudoRandomBinary", Kind::File, [] { return PseudoRandomBytes(64 * 1024, 2024); }, 0, 0,
       [](int) { return std::nullopt; }, Zero, [](int slot) { return slot == 6 ? 1 : 0; }},
      // Of a line longer than a caption holds, the first 32767 characters are kept.
      {"OneHugeLine", Kind::File, [] { return QByteArray(4 * kMiB, 'x'); }, 62, 2,
       [](int) { return std::optional<QString>(QString(32767, QLatin1Char('x'))); }, Zero, Zero},
      {"HugeFirstCaption", Kind::File, [] { return LongFirstLine(4 * kMiB, "\r\n"); },
       HostileConfig::kLineCut, 1, CutFirstCaption, SampleCount, Six},
      // A line cut by the reader inside a character of 2, 3 or 4 bytes ("è"; "€" after one
      // byte; a die, two UTF-16 units, after two): the character goes whole, the file stays
      // UTF-8, slot 2 reads right, and no caption ends in half a character.
      {"HugeAccentedFirstCaption", Kind::File, [] { return LongUtf8FirstLine("", "\xC3\xA8"); },
       HostileConfig::kLineCut, 1, LongUtf8FirstCaption("", "\xC3\xA8", 32767), SampleCount, Six},
      {"HugeEuroFirstCaption", Kind::File, [] { return LongUtf8FirstLine("a", "\xE2\x82\xAC"); },
       HostileConfig::kLineCut, 1, LongUtf8FirstCaption("a", "\xE2\x82\xAC", 32766), SampleCount,
       Six},
      {"HugeDieFirstCaption", Kind::File,
       [] { return LongUtf8FirstLine("ab", "\xF0\x9F\x8E\xB2"); }, HostileConfig::kLineCut, 1,
       LongUtf8FirstCaption("ab", "\xF0\x9F\x8E\xB2", 16382), SampleCount, Six},
      // Reading stops at 5,898,180 bytes, 60 lines of 3 × 32767 bytes and CR LF: of this
      // file, 7 bytes longer, line 59 keeps " 2" of " 20", and line 60 is not read.
      {"SevenBytesPastTheReadingBound", Kind::File,
       [] {
         const QByteArray rest = SampleFile().sliced(SampleFile().indexOf("\r\n"));
         return LongFirstLine(5898180 + 7 - rest.size(), "\r\n");
       },
       HostileConfig::kLineCut, 59, CutFirstCaption, [](int slot) { return slot == 20 ? 2 : slot; },
       Six, 59},
      // The reader takes 64 KiB at a time: the line end after 65535 bytes is split between
      // two reads (CR LF), or ends the first one (a lone CR).
      {"CrLfSplitBetweenReads", Kind::File, [] { return LongFirstLine(65535, "\r\n"); },
       HostileConfig::kLineCut, 1, CutFirstCaption, SampleCount, Six},
      {"LoneCrEndingARead", Kind::File, [] { return LongFirstLine(65535, "\r"); },
       HostileConfig::kLineCut, 1, CutFirstCaption, SampleCount, Six},
      {"TenThousandLinesSixtyGoodFirst", Kind::File,
       [] {
         QByteArray bytes = SampleFile();
         for (int line = 61; line <= 10000; ++line) bytes += "40000 non letta\r\n";
         return bytes;
       },
       0, 0, SampleCaption, SampleCount, Six},
      {"TenThousandLinesOfAnOverflow", Kind::File,
       [] { return QByteArray("99999\r\n").repeated(10000); }, 6, 2,
       [](int) { return std::optional<QString>(QStringLiteral("99999")); }, Zero, Zero},
      {"OnlyNulBytes", Kind::File, [] { return QByteArray(4096, '\0'); }, 62, 2,
       [](int) { return std::optional<QString>(QString(4096, QChar(u'\0'))); }, Zero, Zero},
      {"NulBytesInsideTheLines", Kind::File,
       [] {
         QByteArray bytes;
         for (int slot = 1; slot <= 20; ++slot) {
           bytes += QByteArray("Tasto\0 ", 7) + QByteArray::number(slot) + "\r\n";
           bytes += " " + QByteArray::number(slot) + QByteArray("\0009\r\n", 4);
           bytes += QByteArray("\000 6\r\n", 5);
         }
         return bytes;
       },
       0, 0,
       [](int slot) {
         return std::optional<QString>(QStringLiteral("Tasto") + QChar(u'\0') +
                                       QStringLiteral(" %1").arg(slot));
       },
       SampleCount, Zero},
      {"FiftyNineLineFeeds", Kind::File, [] { return QByteArray(59, '\n'); }, 62, 60, EmptyCaption,
       Zero, Zero},
      {"AMegabyteOfLineFeeds", Kind::File, [] { return QByteArray(kMiB, '\n'); }, 0, 0,
       EmptyCaption, Zero, Zero},
      {"FiftyNineCarriageReturns", Kind::File, [] { return QByteArray(59, '\r'); }, 62, 60,
       EmptyCaption, Zero, Zero},
      {"SixtyCarriageReturns", Kind::File, [] { return QByteArray(60, '\r'); }, 0, 0, EmptyCaption,
       Zero, Zero},
      {"AMegabyteOfCarriageReturns", Kind::File, [] { return QByteArray(kMiB, '\r'); }, 0, 0,
       EmptyCaption, Zero, Zero},
      {"FiveHundredDigitCount", Kind::File,
       [] { return "Tasto 1\r\n" + QByteArray(500, '9') + "\r\n" + SampleFile().sliced(13); }, 6, 2,
       SampleCaption, Zero, Zero},
      {"FiveHundredDigitSidesWithLeadingZeros", Kind::File,
       [] {
         return "Tasto 1\r\n 1\r\n" + QByteArray(497, '0') + "123\r\n" + SampleFile().sliced(17);
       },
       0, 0, SampleCaption, SampleCount, [](int slot) { return slot == 1 ? 123 : 6; }},
      // The presets of slots 1 to 7 whole, then the end; the count of slot 5 past its range.
      {"EndsAfterSevenPresets", Kind::File,
       [] { return SampleFile().first(SampleFile().indexOf("Tasto 8\r\n")); }, 62, 22,
       SampleCaption, SampleCount, Six},
      {"OverflowAtTheFifthCount", Kind::File,
       [] { return SampleFile().replace("\r\n 5\r\n", "\r\n 40000\r\n"); }, 6, 14, SampleCaption,
       SampleCount, Six},
      {"OverflowAtTheLastSides", Kind::File, [] { return SampleFile().chopped(4) + "-32769"; }, 6,
       60, SampleCaption, SampleCount, Six},
      {"SavedAsUtf16", Kind::File, SampleFileInUtf16, 0, 0, SampleFileInUtf16Caption, Zero, Zero},
  };
  return cases;
}

}  // namespace orvida_test
