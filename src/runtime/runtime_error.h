#pragma once

#include <QString>
#include <exception>
#include <string>

namespace Runtime {

// The numbered errors of the runtime: the classic numbers of Windows runtime errors, which
// players who have met them in other Windows programs recognise.
enum class ErrorNumber : int {
  Overflow = 6,
  BadFileName = 52,
  DeviceIoError = 57,
  BadRecordLength = 59,
  DiskFull = 61,
  InputPastEndOfFile = 62,
  FileNotFound = 53,
  PermissionDenied = 70,
  PathFileAccessError = 75,
  PathNotFound = 76,
};

// The one error type of the program. It is thrown by the conversions, the dice and the
// keypad file, and caught by whoever shows it to the user.
class RuntimeError : public std::exception {
 public:
  explicit RuntimeError(ErrorNumber number, QString path = {}, int line = 0, QString reason = {});

  ErrorNumber number() const { return number_; }
  int code() const { return static_cast<int>(number_); }
  // The Italian description of the error number, e.g. "Overflow", "Impossibile trovare il file".
  QString description() const;
  // The file involved, empty when none.
  const QString& path() const { return path_; }
  // The line of the file being read when the error happened, 0 when none.
  int line() const { return line_; }
  // The system's own words for a failed file operation, empty when none.
  const QString& reason() const { return reason_; }
  // The full Italian text for a message box: number, description, file, line and reason.
  QString message() const;

  const char* what() const noexcept override { return what_.c_str(); }

  static QString Describe(ErrorNumber number);

 private:
  ErrorNumber number_;
  QString path_;
  int line_;
  QString reason_;
  std::string what_;
};

}  // namespace Runtime
