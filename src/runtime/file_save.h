#pragma once

#include <QByteArray>
#include <QString>

// Saving a file whole: the new file takes the old one's place in one step, or nothing
// changes.
namespace Runtime {

// Writes `bytes` as the file at `native`, shown to the user as `shown`. A link at the path
// is followed by the bytes of its target, never by a decoded name, and the file it leads to
// is replaced; nothing is written under a name the save made up but its temporary file,
// which never stays. The new file keeps the old one's owner, group and mode, special bits
// included, where the process may set them. The save succeeds only when, after the
// rename, the path leads to the file it wrote: a file put in the old one's place by
// another program while the save ran is left where it is, and the save refused. Throws
// RuntimeError naming `shown`: PathNotFound when the folder does not exist,
// PermissionDenied, DiskFull when not all of the data could be written (full disk, quota,
// size limit: the signal of a file-size limit does not end the program),
// PathFileAccessError for anything at the path but a regular file or a link to one, for a
// link that leads nowhere or loops, and for a file replaced during the save, BadFileName
// for a path longer than the system takes, DeviceIoError for a failed write.
void SaveWholeFile(const QString& native, const QString& shown, const QByteArray& bytes);

}  // namespace Runtime
