#include "runtime/file_save.h"

#include <cerrno>

#include "runtime/data_sync.h"
#include "runtime/file_errors.h"
#include "runtime/runtime_error.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <climits>
#include <cstdio>
#include <utility>

#include "runtime/path_policy.h"
#else
#include <QFileInfo>
#include <QSaveFile>
#endif

namespace Runtime {

namespace {

[[noreturn]] void Fail(ErrorNumber number, const QString& shown, const QString& reason) {
  throw RuntimeError(number, shown, 0, reason);
}

#ifdef Q_OS_UNIX

[[noreturn]] void FailWith(int error, const QString& shown) {
  Fail(WriteError(error), shown, FileErrorReason(error));
}

const QString kReplaced =
    QStringLiteral("Un altro programma ha sostituito il file durante il salvataggio");
constexpr int kMaxLinks = 40;  // what Linux follows before it calls a path a loop
#ifdef O_PATH
constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

// An open descriptor, closed when it goes.
class Descriptor {
 public:
  explicit Descriptor(int descriptor = -1) : descriptor_(descriptor) {}
  ~Descriptor() {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  Descriptor(Descriptor&& other) noexcept : descriptor_(std::exchange(other.descriptor_, -1)) {}
  Descriptor& operator=(Descriptor&& other) noexcept {
    std::swap(descriptor_, other.descriptor_);
    return *this;
  }
  int get() const { return descriptor_; }

 private:
  int descriptor_;
};

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The file a save replaces: its folder, held open, and its name there as bytes; the
// status of the regular file found there, if any.
struct Target {
  Descriptor folder;
  QByteArray name;
  bool exists = false;
  struct stat status {};
};

// Follows `path` through its links, by their bytes, to the entry a save replaces.
Target FindTarget(const QByteArray& path, const QString& shown) {
  if (path.size() >= PATH_MAX) Fail(ErrorNumber::BadFileName, shown, FileErrorReason(ENAMETOOLONG));
  Target target;
  QByteArray rest = path;
  for (int links = 0;; ++links) {
    const qsizetype slash = rest.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? "." : slash == 0 ? "/" : rest.first(slash);
    target.name = rest.sliced(slash + 1);
    if (target.name.isEmpty()) target.name = ".";
    const int base = links == 0 ? AT_FDCWD : target.folder.get();
    target.folder = Descriptor(::openat(base, folder.constData(), kFolderFlags));
    if (target.folder.get() < 0) {
      const int error = errno;
      if (error == ENAMETOOLONG) Fail(ErrorNumber::BadFileName, shown, FileErrorReason(error));
      if (IsPermissionErrno(error))
        Fail(ErrorNumber::PermissionDenied, shown, FileErrorReason(error));
      // A link into a folder that is not there leads nowhere.
      if (links > 0) {
        Fail(ErrorNumber::PathFileAccessError, shown,
             error == ELOOP ? FileErrorReason(error) : NoTargetReason());
      }
      Fail(ErrorNumber::PathNotFound, shown, FileErrorReason(error));
    }
    if (::fstatat(target.folder.get(), target.name.constData(), &target.status,
                  AT_SYMLINK_NOFOLLOW) != 0) {
      const int error = errno;
      if (error == ENOENT && links == 0) return target;  // nothing there: a new file
      if (error == ENOENT) Fail(ErrorNumber::PathFileAccessError, shown, NoTargetReason());
      Fail(IsPermissionErrno(error) || error == ENAMETOOLONG ? WriteError(error)
                                                             : ErrorNumber::PathFileAccessError,
           shown, FileErrorReason(error));
    }
    if (!S_ISLNK(target.status.st_mode)) break;
    if (links == kMaxLinks) Fail(ErrorNumber::PathFileAccessError, shown, FileErrorReason(ELOOP));
    QByteArray link(PATH_MAX, '\0');
    const ssize_t size =
        ::readlinkat(target.folder.get(), target.name.constData(), link.data(), link.size());
    if (size < 0) Fail(ErrorNumber::PathFileAccessError, shown, FileErrorReason(errno));
    if (size == link.size()) Fail(ErrorNumber::BadFileName, shown, FileErrorReason(ENAMETOOLONG));
    rest = link.first(size);
  }
  if (!S_ISREG(target.status.st_mode))
    Fail(ErrorNumber::PathFileAccessError, shown, NotAFileReason(target.status.st_mode));
  target.exists = true;
  return target;
}

// The last look before the new file takes a place: refuses (PathFileAccessError) unless
// the entry `name` holds the file `checked`, or holds nothing when `checked` is null.
void RefuseReplacedTarget(int folder, const QByteArray& name, const struct stat* checked,
                          const QString& shown) {
  struct stat now {};
  if (::fstatat(folder, name.constData(), &now, AT_SYMLINK_NOFOLLOW) != 0) {
    if (checked == nullptr && errno == ENOENT) return;
    Fail(ErrorNumber::PathFileAccessError, shown, kReplaced);
  }
  if (checked != nullptr && SameFile(now, *checked)) return;
  Fail(ErrorNumber::PathFileAccessError, shown,
       S_ISREG(now.st_mode) || S_ISLNK(now.st_mode) ? kReplaced : NotAFileReason(now.st_mode));
}

// The new file, under a name of its own beside the target until it takes the target's
// place; the name goes when this object does, as long as it holds the new file.
class NewFile {
 public:
  NewFile(const Target& target, const QString& shown) : folder_(target.folder.get()) {
    constexpr int kNameMax = 255;
    const QByteArray letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
      name_ = target.name.first(std::min<qsizetype>(target.name.size(), kNameMax - 7)) + '.';
      for (int i = 0; i < 6; ++i)
        name_ += letters[QRandomGenerator::global()->bounded(int(letters.size()))];
      file_ = Descriptor(
          ::openat(folder_, name_.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
      if (file_.get() >= 0) break;
      if (errno != EEXIST) FailWith(errno, shown);
    }
    if (file_.get() < 0 || ::fstat(file_.get(), &status_) != 0) FailWith(EEXIST, shown);
  }
  ~NewFile() {
    if (!Holds(name_)) return;
    ::unlinkat(folder_, name_.constData(), 0);
  }
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;

  int descriptor() const { return file_.get(); }
  const QByteArray& name() const { return name_; }
  const struct stat& status() const { return status_; }
  // Whether the entry `name` of the folder is the new file.
  bool Holds(const QByteArray& name) const {
    struct stat now {};
    return ::fstatat(folder_, name.constData(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
           SameFile(now, status_);
  }

 private:
  int folder_;
  QByteArray name_;
  Descriptor file_;
  struct stat status_ {};
};

void WriteAll(int descriptor, const QByteArray& bytes, const QString& shown) {
  const ScopedFileSizeLimitAsError sizeLimitAsError;
  for (qsizetype done = 0; done < bytes.size();) {
    const ssize_t written =
        ::write(descriptor, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) FailWith(written < 0 ? errno : EIO, shown);
    done += written;
  }
  // Some file systems report a full disk only when the data reach it.
  if (const int error = SyncData(descriptor)) FailWith(error, shown);
}

// Gives the new file the old one's owner and group, then its mode (a change of owner
// clears the set-user-ID and set-group-ID bits), where the process may set them.
void AdoptOwnerAndMode(const NewFile& file, const struct stat& old, const QString& shown) {
  if ((file.status().st_uid != old.st_uid || file.status().st_gid != old.st_gid) &&
      ::fchown(file.descriptor(), old.st_uid, old.st_gid) != 0 && errno != EPERM) {
    FailWith(errno, shown);
  }
  if (::fchmod(file.descriptor(), old.st_mode & 07777) != 0 && errno != EPERM)
    FailWith(errno, shown);
}

#ifdef Q_OS_LINUX
// After an exchange that is refused: puts back at the target's name what the exchange took
// away, unless another program has put a file there since, which stays; what was taken
// away has then been superseded, as by any rename over it, and goes (a folder stays).
void PutBack(const Target& target, const NewFile& file) {
  const int folder = target.folder.get();
  const char* name = target.name.constData();
  const char* temporary = file.name().constData();
  if (file.Holds(target.name)) {
    ::renameat2(folder, temporary, folder, name, RENAME_EXCHANGE);
    // Another program's file came in just before the exchange: it goes back in place.
    if (!file.Holds(file.name())) ::renameat2(folder, temporary, folder, name, RENAME_EXCHANGE);
  }
  struct stat taken {};
  if (!file.Holds(file.name()) && ::fstatat(folder, temporary, &taken, AT_SYMLINK_NOFOLLOW) == 0 &&
      !S_ISDIR(taken.st_mode)) {
    ::unlinkat(folder, temporary, 0);
  }
}
#endif

// Puts the new file at the target's name, then makes sure that `path` leads to it and that
// it holds `bytes`; otherwise puts back what the rename took away, and refuses. The old
// file goes last.
void Commit(const Target& target, const NewFile& file, const QByteArray& path,
            const QByteArray& bytes, const QString& shown) {
  const int folder = target.folder.get();
  const char* name = target.name.constData();
  const char* temporary = file.name().constData();
  bool renamed = false;
  bool exchanged = false;  // the old file now stands at the new file's name
#ifdef Q_OS_LINUX
  if (::renameat2(folder, temporary, folder, name,
                  target.exists ? RENAME_EXCHANGE : RENAME_NOREPLACE) == 0) {
    renamed = true;
    exchanged = target.exists;
  } else if (errno != EINVAL && errno != ENOSYS) {
    if (errno == EEXIST) RefuseReplacedTarget(folder, target.name, nullptr, shown);
    FailWith(errno, shown);
  }
#endif
  if (!renamed) {
    // No atomic exchange on this file system: the last look comes right before the rename.
    RefuseReplacedTarget(folder, target.name, target.exists ? &target.status : nullptr, shown);
    if (::renameat(folder, temporary, folder, name) != 0) FailWith(errno, shown);
  }
  try {
    if (exchanged) RefuseReplacedTarget(folder, file.name(), &target.status, shown);
    struct stat now {};
    QByteArray saved(bytes.size() + 1, '\0');
    if (::stat(path.constData(), &now) != 0 || !SameFile(now, file.status()) ||
        ::pread(file.descriptor(), saved.data(), saved.size(), 0) != bytes.size() ||
        saved.first(bytes.size()) != bytes) {
      Fail(ErrorNumber::PathFileAccessError, shown, kReplaced);
    }
  } catch (const RuntimeError&) {
#ifdef Q_OS_LINUX
    if (exchanged) PutBack(target, file);
#endif
    // A new file that took nobody's place goes again; one that replaced the old file
    // without an exchange stays, rather than nothing.
    if (!target.exists && file.Holds(target.name)) ::unlinkat(folder, name, 0);
    throw;
  }
  if (exchanged) ::unlinkat(folder, temporary, 0);
}

#endif

}  // namespace

#ifdef Q_OS_UNIX

void SaveWholeFile(const QString& native, const QString& shown, const QByteArray& bytes) {
  const QByteArray path = QFile::encodeName(native);
  const Target target = FindTarget(path, shown);
  if (target.exists && ::faccessat(target.folder.get(), target.name.constData(), W_OK, 0) != 0 &&
      IsPermissionErrno(errno)) {
    FailWith(errno, shown);
  }
  const NewFile file(target, shown);
  WriteAll(file.descriptor(), bytes, shown);
  if (target.exists) AdoptOwnerAndMode(file, target.status, shown);
  Commit(target, file, path, bytes, shown);
}

#else

void SaveWholeFile(const QString& native, const QString& shown, const QByteArray& bytes) {
  // Windows refuses to open a folder as a file, with "access denied".
  if (QFileInfo(native).isDir())
    Fail(ErrorNumber::PathFileAccessError, shown, FileErrorReason(EISDIR));
  const ScopedFileSizeLimitAsError sizeLimitAsError;
  // Unbuffered, so that every write meets the system at once and a full disk is seen here,
  // before the new file replaces the old one.
  QSaveFile file(native);
  ClearFileError();
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    const int error = LastFileError();
    const ErrorNumber number = OpenForWritingError(native, error);
    Fail(number, shown, OpenForWritingReason(number, error, file.error()));
  }
  // An unfinished new file is removed when `file` goes, whatever is thrown.
  const auto fail = [&](int error) {
    const QString reason = FileErrorReason(error, file.error());
    file.cancelWriting();
    Fail(WriteError(error), shown, reason);
  };
  ClearFileError();
  if (file.write(bytes) != bytes.size()) {
    const int error = LastFileError();
    fail(error != 0 ? error : EIO);
  }
  if (const int error = SyncData(file.handle())) fail(error);
  ClearFileError();
  if (!file.commit()) {
    const int error = LastFileError();
    Fail(WriteError(error), shown, FileErrorReason(error, file.error()));
  }
}

#endif

}  // namespace Runtime
