#include "keypad/keypad.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>
#include <cerrno>

#include "dice/conversions.h"
#include "dice/runtime_error.h"
#include "keypad/codepage.h"

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace Modulo1 {

OneBasedArray<QString, KeypadSlots> KeypadText;
OneBasedArray<int16_t, KeypadSlots> KeypadCount;
OneBasedArray<int16_t, KeypadSlots> KeypadSides;

namespace {

constexpr int kFileLines = 3 * KeypadSlots;
constexpr qint64 kChunkSize = 64 * 1024;

// The cause of a failed file operation in the user's language for the usual causes; Qt's
// own words for the others.
QString Reason(int error, const QString& systemWords) {
  switch (error) {
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
    default:
      return systemWords;
  }
}

#ifdef Q_OS_WIN
// The errno value for the thread's last Win32 error: Qt's file engine calls the Win32 API on
// Windows, which leaves errno alone.
int ErrnoFromWin32(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
      return ENOENT;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    case ERROR_WRITE_PROTECT:
      return EROFS;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_FILE_TOO_LARGE:
      return EFBIG;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
      return EIO;
    default:
      return 0;
  }
}
#endif

// Forgets the cause of any earlier failure, before a file operation.
void ClearFileError() {
  errno = 0;
#ifdef Q_OS_WIN
  SetLastError(ERROR_SUCCESS);
#endif
}

// The cause of the file operation that just failed, as an errno value; 0 when unknown.
int LastFileError() {
#ifdef Q_OS_WIN
  if (errno == 0) return ErrnoFromWin32(GetLastError());
#endif
  return errno;
}

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// Reads up to `maxLines` lines. A line ends at CR LF, a lone LF or a lone CR; a last line
// without its line end counts, an empty file has no lines. Reading stops once `maxLines`
// lines are complete, so what follows them is never read.
QList<QByteArray> ReadLines(QFile& file, int maxLines) {
  QList<QByteArray> lines;
  QByteArray buffer;
  qsizetype scan = 0;  // where the search for the next line end resumes
  bool atEnd = false;
  while (lines.size() < maxLines) {
    const auto from = buffer.cbegin() + scan;
    const auto found = std::find_if(from, buffer.cend(), IsLineEnd);
    if (found != buffer.cend()) {
      const qsizetype end = found - buffer.cbegin();
      if (*found == '\r' && end + 1 == buffer.size() && !atEnd) {
        scan = end;  // a CR at the end of what was read: an LF may follow it
      } else {
        qsizetype next = end + 1;
        if (*found == '\r' && next < buffer.size() && buffer[next] == '\n') ++next;
        lines.append(buffer.first(end));
        buffer.remove(0, next);
        scan = 0;
        continue;
      }
    } else {
      scan = buffer.size();
      if (atEnd) {
        if (!buffer.isEmpty()) lines.append(buffer);
        break;
      }
    }
    const qsizetype size = buffer.size();
    buffer.resize(size + kChunkSize);
    ClearFileError();
    const qint64 got = file.read(buffer.data() + size, kChunkSize);
    if (got < 0) {
      throw RuntimeError(ErrorNumber::DeviceIoError, file.fileName(), lines.size() + 1,
                         Reason(LastFileError(), file.errorString()));
    }
    buffer.resize(size + got);
    atEnd = got == 0;
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

// A caption is one line: line breaks inside it would break the file's three-line slots.
QString OneLine(QString caption) {
  caption.replace(QLatin1Char('\r'), QLatin1Char(' '));
  caption.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return caption;
}

}  // namespace

void ClearKeypad() {
  for (int i = 1; i <= KeypadSlots; ++i) {
    KeypadText(i).clear();
    KeypadCount(i) = 0;
    KeypadSides(i) = 0;
  }
}

void LoadKeypadConfig(const QString& path) {
  const QFileInfo info(path);
  if (info.isDir()) {
    throw RuntimeError(ErrorNumber::PathFileAccessError, path, 0,
                       QStringLiteral("Il percorso indica una cartella"));
  }
  // Only a regular file is read: opening a named pipe waits for a writer that may never
  // come, and a device such as /dev/zero is one endless line.
  if (info.exists() && !info.isFile()) {
    throw RuntimeError(ErrorNumber::PathFileAccessError, path, 0,
                       QStringLiteral("Il percorso non indica un file normale"));
  }
  QFile file(path);
  ClearFileError();
  if (!file.open(QIODevice::ReadOnly)) {
    const int error = LastFileError();
    throw RuntimeError(LoadOpenError(path, error), path, 0, Reason(error, file.errorString()));
  }
  const QList<QByteArray> lines = ReadLines(file, kFileLines);
  file.close();

  const bool utf8 = std::any_of(lines.begin(), lines.end(), HasNonAscii) &&
                    std::all_of(lines.begin(), lines.end(), IsValidUtf8);
  const auto decode = [utf8](const QByteArray& bytes) {
    if (!utf8) return DecodeWindows1252(bytes);
    // A byte order mark is part of the caption too: kept, it saves back unchanged.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return QString(decoder.decode(bytes));
  };
  const auto line = [&](int number) {
    if (number > lines.size()) throw RuntimeError(ErrorNumber::InputPastEndOfFile, path, number);
    return decode(lines[number - 1]);
  };

  // Each value goes into the table as soon as its line is read, so an error leaves the
  // values before it in place.
  for (int slot = 1; slot <= KeypadSlots; ++slot) {
    const int first = 3 * slot - 2;
    KeypadText(slot) = line(first);
    KeypadCount(slot) = NumberLine(line(first + 1), path, first + 1);
    KeypadSides(slot) = NumberLine(line(first + 2), path, first + 2);
  }
}

QByteArray KeypadConfigBytes() {
  QString text;
  bool fits = true;
  for (int slot = 1; slot <= KeypadSlots; ++slot) {
    const QString caption = OneLine(KeypadText(slot));
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
  const QByteArray bytes = KeypadConfigBytes();
  QSaveFile file(path);
  ClearFileError();
  if (!file.open(QIODevice::WriteOnly)) {
    const int error = LastFileError();
    const ErrorNumber number = SaveOpenError(path, error);
    // A file or folder that may not be written is refused before any system call fails.
    const QString reason = number == ErrorNumber::PermissionDenied && !IsPermissionErrno(error)
                               ? QStringLiteral("Il file o la sua cartella non si può scrivere")
                               : Reason(error, file.errorString());
    throw RuntimeError(number, path, 0, reason);
  }
  ClearFileError();
  if (file.write(bytes) != bytes.size()) {
    const int error = LastFileError();
    const QString reason = Reason(error, file.errorString());
    file.cancelWriting();
    throw RuntimeError(SaveWriteError(error), path, 0, reason);
  }
  ClearFileError();
  if (!file.commit()) {
    const int error = LastFileError();
    throw RuntimeError(SaveWriteError(error), path, 0, Reason(error, file.errorString()));
  }
}

namespace {
QString configFolderOverride;
}  // namespace

QString KeypadConfigPath() {
  const QString folder = configFolderOverride.isEmpty() ? QCoreApplication::applicationDirPath()
                                                        : configFolderOverride;
  return folder + QStringLiteral("/conf.ini");
}

ScopedKeypadConfigFolder::ScopedKeypadConfigFolder(const QString& folder)
    : previous_(configFolderOverride) {
  configFolderOverride = folder;
}

ScopedKeypadConfigFolder::~ScopedKeypadConfigFolder() { configFolderOverride = previous_; }

}  // namespace Modulo1
