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

#include <array>
#endif

namespace Runtime {

namespace {

const QString kNoTarget = QStringLiteral("Il collegamento non porta a nessun file");
const QString kFolder = QStringLiteral("Il percorso indica una cartella");
const QString kNotAFile = QStringLiteral("Il percorso non indica un file normale");

#ifdef Q_OS_UNIX
bool IsLink(const QByteArray& name) {
  struct stat status {};
  return ::lstat(name.constData(), &status) == 0 && S_ISLNK(status.st_mode);
}

// Why a path could not be opened: a link that leads nowhere says so, not "no such file".
QString OpenFailureReason(const QByteArray& name, int error) {
  if (error == ENOENT && IsLink(name)) return kNoTarget;
  return FileErrorReason(error);
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
    throw RuntimeError(ErrorNumber::PathFileAccessError, shown, 0,
                       S_ISDIR(status.st_mode) ? kFolder : kNotAFile);
  }
  return status;
}
#endif

}  // namespace

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
      throw RuntimeError(ErrorNumber::PathFileAccessError, shown, 0, kFolder);
    throw RuntimeError(OpenForReadingError(native, error), shown, 0,
                       FileErrorReason(error, file.error()));
  }
}

SaveTarget FindSaveTarget(const QString& native, const QString& shown) {
  SaveTarget target;
  target.native = native;
#ifdef Q_OS_UNIX
  const QByteArray name = QFile::encodeName(native);
#ifdef O_PATH
  const int descriptor = ::open(name.constData(), O_PATH | O_CLOEXEC);
#else
  const int descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
#endif
  if (descriptor < 0) {
    const int error = errno;
    if ((error == ENOENT && IsLink(name)) || error == ELOOP) {
      throw RuntimeError(ErrorNumber::PathFileAccessError, shown, 0,
                         OpenFailureReason(name, error));
    }
    if (error == ENAMETOOLONG)
      throw RuntimeError(ErrorNumber::BadFileName, shown, 0, FileErrorReason(error));
    return target;  // nothing there, or a cause the save itself meets and tells
  }
  const struct stat status = RegularFileStatus(descriptor, shown);
  target.exists = true;
  target.owner = status.st_uid;
  target.group = status.st_gid;
#ifdef Q_OS_LINUX
  // The file the descriptor holds, wherever a link at the path leads now or later.
  std::array<char, 4096> buffer{};
  const QByteArray self = "/proc/self/fd/" + QByteArray::number(descriptor);
  const ssize_t size = ::readlink(self.constData(), buffer.data(), buffer.size());
  if (size > 0 && static_cast<size_t>(size) < buffer.size()) {
    const QByteArray resolved(buffer.data(), size);
    if (QFile::encodeName(QFile::decodeName(resolved)) == resolved)
      target.native = QFile::decodeName(resolved);
  }
#endif
  ::close(descriptor);
#else
  const QFileInfo info(native);
  if (info.isDir()) throw RuntimeError(ErrorNumber::PathFileAccessError, shown, 0, kFolder);
  target.exists = info.exists();
#endif
  return target;
}

void AdoptTarget(int handle, const SaveTarget& target, const QString& shown) {
#ifdef Q_OS_UNIX
  struct stat status {};
  if (::fstat(handle, &status) != 0 || !S_ISREG(status.st_mode))
    throw RuntimeError(ErrorNumber::PathFileAccessError, shown, 0, kNotAFile);
  if (target.exists && (status.st_uid != target.owner || status.st_gid != target.group) &&
      ::fchown(handle, target.owner, target.group) != 0 && errno != EPERM) {
    throw RuntimeError(WriteError(errno), shown, 0, FileErrorReason(errno));
  }
#else
  Q_UNUSED(handle);
  Q_UNUSED(target);
  Q_UNUSED(shown);
#endif
}

void RefuseReplacedTarget(const SaveTarget& target, const QString& shown) {
#ifdef Q_OS_UNIX
  struct stat status {};
  const QByteArray name = QFile::encodeName(target.native);
  if (::stat(name.constData(), &status) != 0 || S_ISREG(status.st_mode)) return;
  throw RuntimeError(ErrorNumber::PathFileAccessError, shown, 0,
                     S_ISDIR(status.st_mode) ? kFolder : kNotAFile);
#else
  Q_UNUSED(target);
  Q_UNUSED(shown);
#endif
}

}  // namespace Runtime
