#include "runtime/runtime_error.h"

#include <gtest/gtest.h>

#include <QDir>

namespace {

using Runtime::ErrorNumber;
using Runtime::RuntimeError;

struct ErrorCase {
  ErrorNumber number;
  int code;
  const char* description;
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.code; }

class ErrorNumbers : public testing::TestWithParam<ErrorCase> {};

TEST_P(ErrorNumbers, KeepTheirNumberAndItalianDescription) {
  const RuntimeError error(GetParam().number);
  EXPECT_EQ(error.code(), GetParam().code);
  EXPECT_EQ(error.description(), QString::fromUtf8(GetParam().description));
  EXPECT_EQ(error.message(), QStringLiteral("Errore di run-time '%1':\n\n%2")
                                 .arg(GetParam().code)
                                 .arg(QString::fromUtf8(GetParam().description)));
}

INSTANTIATE_TEST_SUITE_P(
    RuntimeError, ErrorNumbers,
    testing::Values(ErrorCase{ErrorNumber::Overflow, 6, "Overflow"},
                    ErrorCase{ErrorNumber::BadFileName, 52, "Nome o numero di file non valido"},
                    ErrorCase{ErrorNumber::FileNotFound, 53, "Impossibile trovare il file"},
                    ErrorCase{ErrorNumber::DeviceIoError, 57, "Errore di I/O della periferica"},
                    ErrorCase{ErrorNumber::DiskFull, 61, "Disco pieno"},
                    ErrorCase{ErrorNumber::InputPastEndOfFile, 62, "Input oltre la fine del file"},
                    ErrorCase{ErrorNumber::PermissionDenied, 70, "Autorizzazione negata"},
                    ErrorCase{ErrorNumber::PathFileAccessError, 75,
                              "Errore di accesso al percorso/file"},
                    ErrorCase{ErrorNumber::PathNotFound, 76, "Impossibile trovare il percorso"}));

TEST(RuntimeError, MessageNamesFileLineAndReason) {
  const RuntimeError error(ErrorNumber::FileNotFound, QStringLiteral("/x/perché/conf.ini"), 12,
                           QStringLiteral("No such file or directory"));
  // The path is shown in the system's own form: \x\perché\conf.ini on Windows.
  EXPECT_EQ(error.message(),
            QStringLiteral("Errore di run-time '53':\n\nImpossibile trovare il file\n\n"
                           "File: %1 (riga 12)\nNo such file or directory")
                .arg(QDir::toNativeSeparators(QStringLiteral("/x/perché/conf.ini"))));
  EXPECT_EQ(QString::fromUtf8(error.what()), error.message());
  EXPECT_EQ(error.path(), QStringLiteral("/x/perché/conf.ini"));
  EXPECT_EQ(error.line(), 12);
}

TEST(RuntimeError, MessageLeavesOutWhatIsNotKnown) {
  EXPECT_EQ(RuntimeError(ErrorNumber::DiskFull, QStringLiteral("/d/conf.ini")).message(),
            QStringLiteral("Errore di run-time '61':\n\nDisco pieno\n\nFile: %1")
                .arg(QDir::toNativeSeparators(QStringLiteral("/d/conf.ini"))));
  EXPECT_EQ(RuntimeError(ErrorNumber::Overflow, {}, 0, QStringLiteral("motivo")).message(),
            QStringLiteral("Errore di run-time '6':\n\nOverflow\n\nmotivo"));
}

}  // namespace
