#pragma once

#include <QString>
#include <optional>

// The folder that holds the program's executable.
namespace Runtime {

// The folder as it can be shown to the user; empty when it cannot be known.
QString ProgramFolder();

// Why the folder cannot be known, as an errno value: ENAMETOOLONG when its path is longer
// than the system names; 0 when it is known or no cause was given.
int ProgramFolderError();

// The path to hand to the file system for `path`. The two differ only for a file in a
// program folder whose name Qt's strings cannot hold (not valid UTF-8 on Linux): the
// folder's name is shown as well as it can be, and the system reaches the folder through a
// descriptor opened once.
QString NativePath(const QString& path);

// Makes ProgramFolder give `folder` while this object lives, so tests never touch the files
// beside their executable; an empty `folder` is a program folder that cannot be known.
class ScopedProgramFolder {
 public:
  explicit ScopedProgramFolder(const QString& folder);
  ~ScopedProgramFolder();
  ScopedProgramFolder(const ScopedProgramFolder&) = delete;
  ScopedProgramFolder& operator=(const ScopedProgramFolder&) = delete;

 private:
  std::optional<QString> previous_;
};

}  // namespace Runtime
