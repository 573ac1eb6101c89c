#include "runtime/runtime_error.h"

#include <QDir>
#include <utility>

namespace Runtime {

RuntimeError::RuntimeError(ErrorNumber number, QString path, int line, QString reason)
    : number_(number), path_(std::move(path)), line_(line), reason_(std::move(reason)) {
  what_ = message().toStdString();
}

QString RuntimeError::Describe(ErrorNumber number) {
  switch (number) {
    case ErrorNumber::Overflow:
      return QStringLiteral("Overflow");
    case ErrorNumber::BadFileName:
      return QStringLiteral("Nome o numero di file non valido");
    case ErrorNumber::FileNotFound:
      return QStringLiteral("Impossibile trovare il file");
    case ErrorNumber::DeviceIoError:
      return QStringLiteral("Errore di I/O della periferica");
    case ErrorNumber::BadRecordLength:
      return QStringLiteral("Lunghezza del record errata");
    case ErrorNumber::DiskFull:
      return QStringLiteral("Disco pieno");
    case ErrorNumber::InputPastEndOfFile:
      return QStringLiteral("Input oltre la fine del file");
    case ErrorNumber::PermissionDenied:
      return QStringLiteral("Autorizzazione negata");
    case ErrorNumber::PathFileAccessError:
      return QStringLiteral("Errore di accesso al percorso/file");
    case ErrorNumber::PathNotFound:
      return QStringLiteral("Impossibile trovare il percorso");
  }
  return QStringLiteral("Errore definito dall'applicazione o dall'oggetto");
}

QString RuntimeError::description() const { return Describe(number_); }

// For example:
//   Errore di run-time '53':
//
//   Impossibile trovare il file
//
//   File: /x/conf.ini (riga 12)
//   No such file or directory
QString RuntimeError::message() const {
  QString text = QStringLiteral("Errore di run-time '%1':\n\n%2").arg(code()).arg(description());
  QString where;
  if (!path_.isEmpty()) where = QStringLiteral("File: ") + QDir::toNativeSeparators(path_);
  if (line_ > 0) {
    where += where.isEmpty() ? QStringLiteral("Riga %1").arg(line_)
                             : QStringLiteral(" (riga %1)").arg(line_);
  }
  QString details = where;
  if (!reason_.isEmpty())
    details += (details.isEmpty() ? QString() : QStringLiteral("\n")) + reason_;
  if (!details.isEmpty()) text += QStringLiteral("\n\n") + details;
  return text;
}

}  // namespace Runtime
