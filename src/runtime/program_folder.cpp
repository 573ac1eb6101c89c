#include "runtime/program_folder.h"

#include <QCoreApplication>
#include <QFile>
#include <array>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#endif

namespace Runtime {

namespace {

std::optional<QString> folderOverride;

// The program's folder: as shown to the user, and as handed to the file system. The two
// differ only on Linux for a folder whose name is not valid UTF-8 (Qt's strings cannot hold
// it): the folder is then opened once and reached through its open descriptor.
struct Folder {
  QString shown;
  QString native;
  int error = 0;  // why it cannot be known, when it cannot
};

Folder FindProgramFolder() {
#ifdef Q_OS_LINUX
  std::array<char, PATH_MAX> buffer{};
  const ssize_t size = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  // The system names no path of PATH_MAX bytes or more, the program's own neither.
  if ((size < 0 && errno == ENAMETOOLONG) || static_cast<size_t>(size) == buffer.size())
    return {{}, {}, ENAMETOOLONG};
  if (size <= 0) return {};
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

const Folder& TheProgramFolder() {
  static const Folder folder = FindProgramFolder();
  return folder;
}

}  // namespace

QString NativePath(const QString& path) {
  const Folder& folder = TheProgramFolder();
  if (folder.native == folder.shown || folderOverride) return path;
  const QString prefix = folder.shown + QLatin1Char('/');
  return path.startsWith(prefix) ? folder.native + path.sliced(folder.shown.size()) : path;
}

QString ProgramFolder() { return folderOverride ? *folderOverride : TheProgramFolder().shown; }

int ProgramFolderError() { return folderOverride ? 0 : TheProgramFolder().error; }

ScopedProgramFolder::ScopedProgramFolder(const QString& folder) : previous_(folderOverride) {
  folderOverride = folder;
}

ScopedProgramFolder::~ScopedProgramFolder() { folderOverride = previous_; }

}  // namespace Runtime
