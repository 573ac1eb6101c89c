#include "runtime/data_sync.h"

#include <QtGlobal>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace Runtime {

namespace {

int SystemSync(int descriptor) {
#if defined(Q_OS_LINUX)
  return ::fdatasync(descriptor);
#elif defined(Q_OS_UNIX)
  return ::fsync(descriptor);
#else
  Q_UNUSED(descriptor);
  return 0;
#endif
}

DataSync currentSync = SystemSync;

}  // namespace

int SyncData(int descriptor) {
  errno = 0;
  if (currentSync(descriptor) == 0) return 0;
  const int error = errno;
  if (error == EINVAL || error == EROFS) return 0;
  return error != 0 ? error : EIO;
}

ScopedDataSync::ScopedDataSync(DataSync sync) : previous_(currentSync) { currentSync = sync; }

ScopedDataSync::~ScopedDataSync() { currentSync = previous_; }

}  // namespace Runtime
