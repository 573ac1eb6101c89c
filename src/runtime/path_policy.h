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

#ifdef Q_OS_UNIX
// Why a link that leads nowhere is no file to read or to replace.
QString NoTargetReason();

// Why what stands at a path, of the kind `mode` (its st_mode), is no file to read or to
// replace: a folder, a named pipe, a socket, a device; one cause for each kind, at a load
// and at a save alike.
QString NotAFileReason(unsigned mode);
#endif

}  // namespace Runtime
