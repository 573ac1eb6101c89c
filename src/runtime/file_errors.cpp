#include "runtime/file_errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <unistd.h>

#include <csignal>
#endif
#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace Runtime {

namespace {

#ifdef Q_OS_WIN
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
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
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

}  // namespace

void ClearFileError() {
  errno = 0;
#ifdef Q_OS_WIN
  SetLastError(ERROR_SUCCESS);
#endif
}

int LastFileError() {
#ifdef Q_OS_WIN
  if (errno == 0) return ErrnoFromWin32(GetLastError());
#endif
  return errno;
}

QString FileErrorReason(int error, QFileDevice::FileError failure) {
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

bool IsPermissionErrno(int error) { return error == EACCES || error == EPERM || error == EROFS; }

namespace {

// No room left for the data: a full disk, a used-up quota, a file-size limit.
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

}  // namespace

ErrorNumber OpenForReadingError(const QString& path, int error) {
  if (error == ENAMETOOLONG) return ErrorNumber::BadFileName;
  if (error == ENOENT || error == ENOTDIR || error == ELOOP) return ErrorNumber::FileNotFound;
  if (IsPermissionErrno(error)) return ErrorNumber::PermissionDenied;
  if (!QFileInfo::exists(path)) return ErrorNumber::FileNotFound;
  return ErrorNumber::PathFileAccessError;
}

ErrorNumber OpenForWritingError(const QString& path, int error) {
  if (error == ENAMETOOLONG) return ErrorNumber::BadFileName;
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

QString OpenForWritingReason(ErrorNumber number, int error, QFileDevice::FileError failure) {
  if (number == ErrorNumber::PermissionDenied && !IsPermissionErrno(error)) {
    return QStringLiteral("Il file o la sua cartella non si può scrivere");
  }
  return FileErrorReason(error, failure);
}

ErrorNumber WriteError(int error) {
  if (error == ENAMETOOLONG) return ErrorNumber::BadFileName;
  if (IsDiskFullErrno(error)) return ErrorNumber::DiskFull;
  if (IsPermissionErrno(error)) return ErrorNumber::PermissionDenied;
  return ErrorNumber::DeviceIoError;
}

#ifdef Q_OS_UNIX
ScopedFileSizeLimitAsError::ScopedFileSizeLimitAsError() {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  restore_ = ::sigaction(SIGXFSZ, &ignore, &previous_) == 0;
}

ScopedFileSizeLimitAsError::~ScopedFileSizeLimitAsError() {
  if (restore_) ::sigaction(SIGXFSZ, &previous_, nullptr);
}
#else
// Windows has no such signal: a write past a limit fails with an error.
ScopedFileSizeLimitAsError::ScopedFileSizeLimitAsError() = default;
ScopedFileSizeLimitAsError::~ScopedFileSizeLimitAsError() = default;
#endif

}  // namespace Runtime
