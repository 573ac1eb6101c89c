#include "runtime/path_policy.h"

#include <QFileInfo>

#include "runtime/runtime_error.h"

namespace Runtime {

void RefuseIfNotAFile(const QString& path, const QString& shown) {
  const QFileInfo info(path);
  if (info.isSymLink() && !info.exists()) {
    throw RuntimeError(ErrorNumber::PathFileAccessError, shown, 0,
                       QStringLiteral("Il collegamento non porta a nessun file"));
  }
  if (info.isDir()) {
    throw RuntimeError(ErrorNumber::PathFileAccessError, shown, 0,
                       QStringLiteral("Il percorso indica una cartella"));
  }
  if (info.exists() && !info.isFile()) {
    throw RuntimeError(ErrorNumber::PathFileAccessError, shown, 0,
                       QStringLiteral("Il percorso non indica un file normale"));
  }
}

void RefuseUnknownFolder(const QString& path) {
  if (path.isEmpty()) {
    throw RuntimeError(ErrorNumber::PathNotFound, path, 0,
                       QStringLiteral("Non si riesce a sapere in quale cartella si trova il "
                                      "programma"));
  }
}

}  // namespace Runtime
