#pragma once

#include <QString>

// Which paths no file operation follows.
namespace Runtime {

// Refuses, with RuntimeError(PathFileAccessError) naming `shown`, a path where no load or
// save may go: a link that leads nowhere (dangling, or looping back on itself), a folder,
// or anything else that is not a regular file (a named pipe waits for a writer that may
// never come, a device such as /dev/zero is one endless line, and a save would replace the
// device or the pipe with a file). A link to a regular file is followed; nothing at all at
// the path is left to the caller.
void RefuseIfNotAFile(const QString& path, const QString& shown);

// Refuses an empty path, the path of a file in a program folder that cannot be known, with
// RuntimeError(PathNotFound).
void RefuseUnknownFolder(const QString& path);

}  // namespace Runtime
