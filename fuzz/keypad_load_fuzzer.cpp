// Loads arbitrary bytes as conf.ini. Any input either loads or raises the runtime's error
// for a short or bad file; what loads saves back to bytes that load to the same table.
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz_checks.h"

namespace {

// A file of the fuzzer's own, in memory-backed storage when there is some.
const QString& FilePath() {
  static const QString path = [] {
    const QString folder =
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    return QStringLiteral("%1/orvida-fuzz-%2.ini").arg(folder).arg(::getpid());
  }();
  static const bool removedAtExit = [] {
    return std::atexit([] { QFile::remove(FilePath()); }) == 0;
  }();
  (void)removedAtExit;
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const std::string problem = orvida_fuzz::CheckKeypadLoad(bytes, FilePath());
  if (!problem.empty()) {
    std::fprintf(stderr, "%s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
