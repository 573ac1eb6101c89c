#include "runtime/path_policy.h"

#include <QFileInfo>
#include <cerrno>

#include "runtime/file_errors.h"
#include "runtime/program_folder.h"
#include "runtime/runtime_error.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Runtime {

namespace {

#ifdef Q_OS_UNIX
bool IsLink(const QByteArray& name) {
  struct stat status {};
  return ::lstat(name.constData(), &status) == 0 && S_ISLNK(status.st_mode);
}

// Why a path could not be opened: a link that leads nowhere says so, not "no such file".
QString OpenFailureReason(const QByteArray& name, int error) {
  if (error == ENOENT && IsLink(name)) return NoTargetReason();
  return FileErrorReason(error);
}

// Refuses (PathFileAccessError) a path that could not be opened, with `error`, because
// what stands there is no regular file: a socket, or a device without its hardware.
void RefuseNonFile(const QByteArray& name, int error, const QString& shown) {
  struct stat status {};
  if (error != ENOENT && ::stat(name.constData(), &status) == 0 && !S_ISREG(status.st_mode))
    throw RuntimeError(ErrorNumber::PathFileAccessError, shown, 0, NotAFileReason(status.st_mode));
}

// Refuses (PathFileAccessError) what was opened at `descriptor` unless it is a regular
// file, closing the descriptor then; returns its status.
struct stat RegularFileStatus(int descriptor, const QString& shown) {
  struct stat status {};
  if (::fstat(descriptor, &status) != 0) {
    const int error = errno;
    ::close(descriptor);
    throw RuntimeError(ErrorNumber::DeviceIoError, shown, 0, FileErrorReason(error));
  }
  if (!S_ISREG(status.st_mode)) {
    ::close(descriptor);
    throw RuntimeError(ErrorNumber::PathFileAccessError, shown, 0, NotAFileReason(status.st_mode));
  }
  return status;
}
#endif

}  // namespace

#ifdef Q_OS_UNIX
QString NoTargetReason() { return QStringLiteral("Il collegamento non porta a nessun file"); }

QString NotAFileReason(unsigned mode) {
  if (S_ISDIR(mode)) return FileErrorReason(EISDIR);
  if (S_ISFIFO(mode)) return QStringLiteral("Il percorso indica una pipe con nome");
  if (S_ISSOCK(mode)) return QStringLiteral("Il percorso indica un socket");
  if (S_ISCHR(mode) || S_ISBLK(mode)) return QStringLiteral("Il percorso indica un dispositivo");
  return QStringLiteral("Il percorso non indica un file normale");
}
#endif

void RefuseUnknownFolder(const QString& path) {
  if (path.isEmpty() && ProgramFolderError() == ENAMETOOLONG)
    throw RuntimeError(ErrorNumber::BadFileName, path, 0, FileErrorReason(ENAMETOOLONG));
  if (path.isEmpty()) {
    throw RuntimeError(ErrorNumber::PathNotFound, path, 0,
                       QStringLiteral("Non si riesce a sapere in quale cartella si trova il "
                                      "programma"));
  }
}

void OpenRegularFile(QFile& file, const QString& native, const QString& shown) {
#ifdef Q_OS_UNIX
  // The presets built into the program (":/conf.ini") are no file of the system.
  if (!native.startsWith(QLatin1Char(':'))) {
    const QByteArray name = QFile::encodeName(native);
    // Non-blocking, so that a named pipe opens at once instead of waiting for a writer; a
    // regular file reads the same either way.
    const int descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
      const int error = errno;
      RefuseNonFile(name, error, shown);
      throw RuntimeError(OpenForReadingError(native, error), shown, 0,
                         OpenFailureReason(name, error));
    }
    RegularFileStatus(descriptor, shown);
    file.setFileName(shown);
    if (!file.open(descriptor, QIODevice::ReadOnly | QIODevice::Unbuffered,
                   QFileDevice::AutoCloseHandle)) {
      ::close(descriptor);
      throw RuntimeError(ErrorNumber::DeviceIoError, shown, 0, FileErrorReason(0, file.error()));
    }
    return;
  }
#endif
  file.setFileName(native);
  ClearFileError();
  if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
    const int error = LastFileError();
    // Windows refuses to open a folder as a file, with "access denied".
    if (QFileInfo(native).isDir())
      throw RuntimeError(ErrorNumber::PathFileAccessError, shown, 0, FileErrorReason(EISDIR));
    throw RuntimeError(OpenForReadingError(native, error), shown, 0,
                       FileErrorReason(error, file.error()));
  }
}

}  // namespace Runtime
