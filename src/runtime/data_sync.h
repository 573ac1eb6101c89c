#pragma once

// Making written data reach the disk, where some file systems only then find it full.
namespace Runtime {

// Waits until the data written to the open file `descriptor` are on the disk: 0 then, or
// when the file system cannot do it (a read-only one, or one without the call), else the
// system's error number. On Windows, 0 at once.
int SyncData(int descriptor);

// The system call behind SyncData: 0, or -1 with errno set.
using DataSync = int (*)(int descriptor);

// Makes SyncData call `sync` while this object lives, to show what a save does when the
// disk fails at the sync, after every write went through.
class ScopedDataSync {
 public:
  explicit ScopedDataSync(DataSync sync);
  ~ScopedDataSync();
  ScopedDataSync(const ScopedDataSync&) = delete;
  ScopedDataSync& operator=(const ScopedDataSync&) = delete;

 private:
  DataSync previous_;
};

}  // namespace Runtime
