#include "keypad/keypad.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

#include "dice/conversions.h"
#include "dice/runtime_error.h"
#include "keypad/codepage.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace Modulo1 {

OneBasedArray<QString, KeypadSlots> KeypadText;
OneBasedArray<int16_t, KeypadSlots> KeypadCount;
OneBasedArray<int16_t, KeypadSlots> KeypadSides;

namespace {

constexpr int kFileLines = 3 * KeypadSlots;
constexpr qint64 kChunkSize = 64 * 1024;

// The cause of a failed file operation in the user's language. `error` is the system's error
// number (errno), 0 when the system gave none; then Qt's kind of failure tells the cause.
QString Reason(int error, QFileDevice::FileError failure = QFileDevice::UnspecifiedError) {
  switch (error) {
    case 0:
      break;
    case EACCES:
    case EPERM:
      return QStringLiteral("Il sistema non concede l'accesso");
    case EROFS:
      return QStringLiteral("Il disco è in sola lettura");
    case ENOSPC:
      return QStringLiteral("Non c'è più spazio sul disco");
#ifdef EDQUOT
    case EDQUOT:
      return QStringLiteral("Lo spazio concesso sul disco è esaurito");
#endif
    case EFBIG:
      return QStringLiteral("Il file è troppo grande");
    case ENOENT:
      return QStringLiteral("Il file o una cartella del percorso non esiste");
    case ENOTDIR:
      return QStringLiteral("Una parte del percorso non è una cartella");
    case EISDIR:
      return QStringLiteral("Il percorso indica una cartella");
    case EIO:
      return QStringLiteral("Errore di lettura o scrittura sul disco");
    case ELOOP:
      return QStringLiteral("Il percorso gira in tondo tra collegamenti");
    case ENAMETOOLONG:
      return QStringLiteral("Il percorso è troppo lungo");
    case EMFILE:
    case ENFILE:
      return QStringLiteral("Ci sono troppi file aperti");
    case EBUSY:
    case ETXTBSY:
      return QStringLiteral("Il file è in uso");
    case ENXIO:
    case ENODEV:
      return QStringLiteral("Il dispositivo non è disponibile");
    case ENOMEM:
      return QStringLiteral("La memoria non basta");
    default:
      return QStringLiteral("Errore del sistema numero %1").arg(error);
  }
  switch (failure) {
    case QFileDevice::PermissionsError:
      return QStringLiteral("Il sistema non concede l'accesso");
    case QFileDevice::ResourceError:
      return QStringLiteral("Le risorse del sistema sono esaurite");
    case QFileDevice::ReadError:
      return QStringLiteral("Errore di lettura sul disco");
    case QFileDevice::WriteError:
      return QStringLiteral("Errore di scrittura sul disco");
    case QFileDevice::RenameError:
      return QStringLiteral("Impossibile sostituire il file");
    default:
      return QStringLiteral("Operazione sul file non riuscita");
  }
}

// One line of the file as read: its bytes, at most kMaxLineBytes of them, and whether the
// line went on beyond that.
struct FileLine {
  QByteArray bytes;
  bool cut = false;
};

// Enough bytes for kMaxCaptionLength characters in any encoding the reader accepts: UTF-8
// takes at most three bytes for each UTF-16 unit.
constexpr qsizetype kMaxLineBytes = 3 * kMaxCaptionLength;

// Adds `size` bytes to `line`, keeping no more than kMaxLineBytes.
void AppendBounded(FileLine& line, const char* data, qsizetype size) {
  const qsizetype room = kMaxLineBytes - line.bytes.size();
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

// Reads up to `maxLines` lines. A line ends at CR LF, a lone LF or a lone CR; a last line
// without its line end counts, an empty file has no lines. Reading stops once `maxLines`
// lines are complete, so what follows them is never read, and a line keeps only its first
// kMaxLineBytes bytes: whatever the file holds, the reader needs little time and memory.
QList<FileLine> ReadLines(QFile& file, int maxLines) {
  QList<FileLine> lines;
  FileLine current;
  bool afterCr = false;  // the last chunk ended in CR: an LF that starts the next belongs to it
  std::vector<char> chunk(kChunkSize);
  const auto finish = [&] {
    if (current.cut) DropSplitSequence(current.bytes);
    lines.append(std::move(current));
    current = FileLine();
  };
  while (lines.size() < maxLines) {
    const qint64 got = file.read(chunk.data(), kChunkSize);
    if (got < 0) {
      throw RuntimeError(ErrorNumber::DeviceIoError, file.fileName(), lines.size() + 1,
                         Reason(errno, file.error()));
    }
    if (got == 0) {
      if (!current.bytes.isEmpty()) finish();
      break;
    }
    const char* p = chunk.data();
    const char* const end = p + got;
    if (afterCr && *p == '\n') ++p;
    afterCr = false;
    while (p < end && lines.size() < maxLines) {
      const auto* lf = static_cast<const char*>(std::memchr(p, '\n', end - p));
      const char* stop = lf ? lf : end;
      const auto* cr = static_cast<const char*>(std::memchr(p, '\r', stop - p));
      const char* lineEnd = cr ? cr : stop;
      AppendBounded(current, p, lineEnd - p);
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
  }
  return lines;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(QByteArrayView bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end) {
    const unsigned char b = *p;
    if (b < 0x80) {
      ++p;
      continue;
    }
    int trail = 0;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the first trail byte
    if (b >= 0xC2 && b <= 0xDF) {
      trail = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
      trail = 2;
      if (b == 0xE0) low = 0xA0;
      if (b == 0xED) high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      trail = 3;
      if (b == 0xF0) low = 0x90;
      if (b == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (end - p <= trail) return false;
    if (p[1] < low || p[1] > high) return false;
    for (int i = 2; i <= trail; ++i) {
      if (p[i] < 0x80 || p[i] > 0xBF) return false;
    }
    p += trail + 1;
  }
  return true;
}

bool HasNonAscii(QByteArrayView bytes) {
  return std::any_of(bytes.begin(), bytes.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Text that is valid UTF-8 and not plain ASCII is read as UTF-8, everything else as
// Windows-1252 (which decodes any bytes at all).
bool ReadsAsUtf8(QByteArrayView bytes) { return HasNonAscii(bytes) && IsValidUtf8(bytes); }

int16_t NumberLine(const QString& text, const QString& path, int line) {
  try {
    return ToInt16(TextValue(text));
  } catch (const RuntimeError& error) {
    throw RuntimeError(error.number(), path, line, error.reason());
  }
}

bool IsPermissionErrno(int error) { return error == EACCES || error == EPERM || error == EROFS; }

bool IsDiskFullErrno(int error) {
#ifdef EDQUOT
  if (error == EDQUOT) return true;
#endif
  return error == ENOSPC || error == EFBIG;
}

// True when the process may not write `path` (a file, or a folder to create files in).
bool WriteDenied(const QString& path) {
#ifdef Q_OS_UNIX
  const QByteArray native = QFile::encodeName(path);
  return ::access(native.constData(), W_OK) != 0 && IsPermissionErrno(errno);
#else
  return !QFileInfo(path).isWritable();
#endif
}

ErrorNumber LoadOpenError(const QString& path, int error) {
  if (error == ENOENT || error == ENOTDIR) return ErrorNumber::FileNotFound;
  if (IsPermissionErrno(error)) return ErrorNumber::PermissionDenied;
  if (!QFileInfo::exists(path)) return ErrorNumber::FileNotFound;
  return ErrorNumber::PathFileAccessError;
}

ErrorNumber SaveOpenError(const QString& path, int error) {
  const QFileInfo info(path);
  if (!info.dir().exists()) return ErrorNumber::PathNotFound;
  if (info.isDir()) return ErrorNumber::PathFileAccessError;
  if ((info.exists() && WriteDenied(path)) || WriteDenied(info.absolutePath()) ||
      IsPermissionErrno(error)) {
    return ErrorNumber::PermissionDenied;
  }
  if (IsDiskFullErrno(error)) return ErrorNumber::DiskFull;
  return ErrorNumber::PathFileAccessError;
}

ErrorNumber SaveWriteError(int error) {
  if (IsDiskFullErrno(error)) return ErrorNumber::DiskFull;
  if (IsPermissionErrno(error)) return ErrorNumber::PermissionDenied;
  return ErrorNumber::DeviceIoError;
}

// Refuses a path where a load or a save must not go: a link that leads nowhere (dangling, or
// looping back on itself), a folder, or anything else that is not a regular file (a named
// pipe waits for a writer that may never come, a device such as /dev/zero is one endless
// line, and a save would replace the device or the pipe with a file). A link to a regular
// file is followed, and nothing at all at the path is left to the caller.
void RefuseIfNotAFile(const QString& path, const QString& shown) {
  const QFileInfo info(path);
  if (info.isSymLink() && !info.exists()) {
    throw RuntimeError(ErrorNumber::PathFileAccessError, shown, 0,
                       QStringLiteral("Il collegamento non porta a nessun file"));
  }
  if (info.isDir()) {
    throw RuntimeError(ErrorNumber::PathFileAccessError, shown, 0,
                       QStringLiteral("Il percorso indica una cartella"));
  }
  if (info.exists() && !info.isFile()) {
    throw RuntimeError(ErrorNumber::PathFileAccessError, shown, 0,
                       QStringLiteral("Il percorso non indica un file normale"));
  }
}

void RefuseUnknownFolder(const QString& path) {
  if (path.isEmpty()) {
    throw RuntimeError(ErrorNumber::PathNotFound, path, 0,
                       QStringLiteral("Non si riesce a sapere in quale cartella si trova il "
                                      "programma"));
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
  for (int i = 1; i <= KeypadSlots; ++i) {
    KeypadText(i).clear();
    KeypadCount(i) = 0;
    KeypadSides(i) = 0;
  }
}

void LoadKeypadConfig(const QString& path) {
  RefuseUnknownFolder(path);
  const QString native = NativePath(path);
  RefuseIfNotAFile(native, path);
  QFile file(native);
  errno = 0;
  if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
    const int error = errno;
    throw RuntimeError(LoadOpenError(native, error), path, 0, Reason(error, file.error()));
  }
  const QList<FileLine> lines = ReadLines(file, kFileLines);
  file.close();

  const auto bytes = [](const FileLine& line) { return QByteArrayView(line.bytes); };
  const bool utf8 = std::any_of(lines.begin(), lines.end(),
                                [&](const FileLine& l) { return HasNonAscii(bytes(l)); }) &&
                    std::all_of(lines.begin(), lines.end(),
                                [&](const FileLine& l) { return IsValidUtf8(bytes(l)); });
  int firstCut = 0;  // the first line longer than a caption box holds
  const auto line = [&](int number) {
    if (number > lines.size()) throw RuntimeError(ErrorNumber::InputPastEndOfFile, path, number);
    const FileLine& read = lines[number - 1];
    QString text;
    if (utf8) {
      // A byte order mark is part of the caption too: kept, it saves back unchanged.
      QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
      text = decoder.decode(read.bytes);
    } else {
      text = DecodeWindows1252(read.bytes);
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
  for (int slot = 1; slot <= KeypadSlots; ++slot) {
    const int first = 3 * slot - 2;
    KeypadText(slot) = line(first);
    KeypadCount(slot) = NumberLine(line(first + 1), path, first + 1);
    KeypadSides(slot) = NumberLine(line(first + 2), path, first + 2);
  }
  // The whole table is read; a line that had to be shortened is still worth a word.
  if (firstCut > 0) {
    throw RuntimeError(ErrorNumber::BadRecordLength, path, firstCut,
                       QStringLiteral("La riga supera i %1 caratteri: il resto non è stato letto")
                           .arg(kMaxCaptionLength));
  }
}

QByteArray KeypadConfigBytes() {
  QString text;
  bool fits = true;
  for (int slot = 1; slot <= KeypadSlots; ++slot) {
    const QString caption = OneLineCaption(KeypadText(slot));
    fits = fits && FitsWindows1252(caption);
    text += caption + QStringLiteral("\r\n") + SignedText(KeypadCount(slot)) +
            QStringLiteral("\r\n") + SignedText(KeypadSides(slot)) + QStringLiteral("\r\n");
  }
  if (fits) {
    QByteArray bytes = EncodeWindows1252(text);
    // Windows-1252 bytes that happen to form UTF-8 ("Ã©") would be read back as UTF-8;
    // such captions are written as UTF-8 so that they load back unchanged.
    if (!ReadsAsUtf8(bytes)) return bytes;
  }
  return text.toUtf8();
}

void SaveKeypadConfig(const QString& path) {
  RefuseUnknownFolder(path);
  const QString native = NativePath(path);
  RefuseIfNotAFile(native, path);
  const QByteArray bytes = KeypadConfigBytes();
  // Unbuffered, so that every write meets the system at once and a full disk is seen here,
  // before the new file replaces the old one.
  QSaveFile file(native);
  errno = 0;
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    const int error = errno;
    const ErrorNumber number = SaveOpenError(native, error);
    // A file or folder that may not be written is refused before any system call fails.
    const QString reason = number == ErrorNumber::PermissionDenied && !IsPermissionErrno(error)
                               ? QStringLiteral("Il file o la sua cartella non si può scrivere")
                               : Reason(error, file.error());
    throw RuntimeError(number, path, 0, reason);
  }
  const auto fail = [&](int error) {
    const QString reason = Reason(error, file.error());
    file.cancelWriting();
    throw RuntimeError(SaveWriteError(error), path, 0, reason);
  };
  errno = 0;
  if (file.write(bytes) != bytes.size()) fail(errno ? errno : EIO);
#ifdef Q_OS_UNIX
  // Some file systems report a full disk only when the data reach it.
  if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != EROFS) fail(errno);
#endif
  errno = 0;
  if (!file.commit()) {
    const int error = errno;
    throw RuntimeError(SaveWriteError(error), path, 0, Reason(error, file.error()));
  }
}

namespace {

QString configFolderOverride;

// The program's folder: as shown to the user, and as handed to the file system. The two
// differ only on Linux for a folder whose name is not valid UTF-8 (Qt's strings cannot hold
// it): the folder is then opened once and reached through its open descriptor.
struct ProgramFolder {
  QString shown;
  QString native;
};

ProgramFolder FindProgramFolder() {
#ifdef Q_OS_LINUX
  std::array<char, 4096> buffer{};
  const ssize_t size = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (size <= 0 || static_cast<size_t>(size) == buffer.size()) return {};
  const QByteArray exe(buffer.data(), size);
  const qsizetype slash = exe.lastIndexOf('/');
  if (slash < 0) return {};
  const QByteArray folder = slash == 0 ? QByteArray("/") : exe.first(slash);
  const QString shown = QFile::decodeName(folder);
  if (QFile::encodeName(shown) == folder) return {shown, shown};
  const int descriptor = ::open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return {};
  return {shown, QStringLiteral("/proc/self/fd/%1").arg(descriptor)};
#else
  const QString folder = QCoreApplication::applicationDirPath();
  return {folder, folder};
#endif
}

const ProgramFolder& TheProgramFolder() {
  static const ProgramFolder folder = FindProgramFolder();
  return folder;
}

}  // namespace

QString NativePath(const QString& path) {
  const ProgramFolder& folder = TheProgramFolder();
  if (folder.native == folder.shown || !configFolderOverride.isEmpty()) return path;
  const QString prefix = folder.shown + QLatin1Char('/');
  return path.startsWith(prefix) ? folder.native + path.sliced(folder.shown.size()) : path;
}

QString KeypadConfigPath() {
  const QString folder =
      configFolderOverride.isEmpty() ? TheProgramFolder().shown : configFolderOverride;
  if (folder.isEmpty()) return {};
  return folder + QStringLiteral("/conf.ini");
}

ScopedKeypadConfigFolder::ScopedKeypadConfigFolder(const QString& folder)
    : previous_(configFolderOverride) {
  configFolderOverride = folder;
}

ScopedKeypadConfigFolder::~ScopedKeypadConfigFolder() { configFolderOverride = previous_; }

}  // namespace Modulo1
