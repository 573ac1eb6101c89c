#pragma once

#include <QFile>
#include <QString>

// Which files a load or a save may touch. Each file is judged once it is open, by what the
// opened file is, never by its name beforehand: what a name leads to may change between a
// look and an open.
namespace Runtime {

// Refuses an empty path, the path of a file in a program folder that cannot be known, with
// RuntimeError: BadFileName when the folder's path is longer than the system names, else
// PathNotFound.
void RefuseUnknownFolder(const QString& path);

// Opens the file at `native` into `file` for unbuffered reading, or throws RuntimeError
// naming `shown`: FileNotFound for nothing at the path and for a link that leads nowhere
// or loops back on itself (the reason tells which), BadFileName for a path longer than
// the system takes, PermissionDenied, and PathFileAccessError for what, once opened, is
// not a regular file: a folder, a named pipe (opened without waiting for a writer that may
// never come), a device such as /dev/zero (one endless line). A link to a regular file is
// followed.
void OpenRegularFile(QFile& file, const QString& native, const QString& shown);

// What a save at a path replaces: the regular file found there, followed through a link,
// or nothing.
struct SaveTarget {
  QString native;  // the path to write: the file a link leads to, else the path itself
  bool exists = false;
  unsigned owner = 0;  // the file's owner and group, where the system has them
  unsigned group = 0;
};

// Finds what a save at `native` would replace, by opening it without reading (a device is
// not started, a named pipe not waited on). Throws RuntimeError naming `shown`:
// PathFileAccessError for a link that leads nowhere or loops, a folder, or anything that is
// not a regular file (a save would replace the device or the pipe with a file),
// BadFileName for a path longer than the system takes. Whatever else keeps the file from
// being written is left to the save.
SaveTarget FindSaveTarget(const QString& native, const QString& shown);

// Readies the new file, open at `handle`, to take `target`'s place: refuses it
// (PathFileAccessError) unless it is a regular file, and gives it the old file's owner and
// group where the process may set them.
void AdoptTarget(int handle, const SaveTarget& target, const QString& shown);

// Refuses (PathFileAccessError), right before the new file takes its place, a target that
// was replaced since FindSaveTarget by anything but a regular file.
void RefuseReplacedTarget(const SaveTarget& target, const QString& shown);

}  // namespace Runtime
