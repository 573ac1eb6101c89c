#pragma once

#include <QFileDevice>
#include <QString>

#include "runtime/runtime_error.h"

#ifdef Q_OS_UNIX
#include <csignal>
#endif

// What a failed file operation means: the error number the program raises for it, and its
// cause in Italian. `error` is always the system's error number (errno) right after the
// failure, 0 when the system gave none.
namespace Runtime {

// Forgets the cause of any earlier failure; call it right before a file operation.
void ClearFileError();

// The cause of the file operation that just failed, as an errno value, 0 when unknown. On
// Windows, where Qt calls the Win32 API and errno stays as it was, the thread's last Win32
// error is translated.
int LastFileError();

// The cause in the user's language; without a system error number, Qt's kind of failure
// tells the cause.
QString FileErrorReason(int error, QFileDevice::FileError failure = QFileDevice::UnspecifiedError);

// Access refused: no permission, or a read-only disk.
bool IsPermissionErrno(int error);

// The error for a file at `path` that could not be opened for reading: FileNotFound (also
// for a link that leads nowhere or loops), BadFileName (a path longer than the system
// takes), PermissionDenied or PathFileAccessError.
ErrorNumber OpenForReadingError(const QString& path, int error);

// The error for a file at `path` that could not be created or opened for writing:
// PathNotFound (no such folder), BadFileName, PathFileAccessError, PermissionDenied or
// DiskFull.
ErrorNumber OpenForWritingError(const QString& path, int error);

// The cause to show for a file that could not be opened for writing, `number` being
// OpenForWritingError's answer: a file or folder that may not be written is refused before
// any system call fails, so there is no system cause to tell then.
QString OpenForWritingReason(ErrorNumber number, int error, QFileDevice::FileError failure);

// The error for data that could not be written: DiskFull, PermissionDenied, BadFileName or
// DeviceIoError.
ErrorNumber WriteError(int error);

// While this object lives, a write past the process's file-size limit (ulimit -f) fails
// with EFBIG, a full disk to the program, instead of ending it with SIGXFSZ.
class ScopedFileSizeLimitAsError {
 public:
  ScopedFileSizeLimitAsError();
  ~ScopedFileSizeLimitAsError();
  ScopedFileSizeLimitAsError(const ScopedFileSizeLimitAsError&) = delete;
  ScopedFileSizeLimitAsError& operator=(const ScopedFileSizeLimitAsError&) = delete;

#ifdef Q_OS_UNIX
 private:
  struct sigaction previous_ {};
  bool restore_ = false;
#endif
};

}  // namespace Runtime
