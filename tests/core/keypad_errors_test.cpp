#include <gtest/gtest.h>

#ifndef _WIN32
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <functional>
#include <tuple>

#include "keypad/keypad.h"
#include "runtime/data_sync.h"
#include "runtime/runtime_error.h"
#include "test_support.h"

namespace {

using Modulo1::ClearKeypad;
using Modulo1::KeypadCount;
using Modulo1::KeypadSides;
using Modulo1::KeypadText;
using Modulo1::LoadKeypadConfig;
using Modulo1::SaveKeypadConfig;
using orvida_test::JoinLines;
using orvida_test::ReadBytes;
using orvida_test::SampleLines;
using orvida_test::WriteBytes;
using Runtime::ErrorNumber;
using Runtime::RuntimeError;

// Fills the table with values that no test file holds.
void FillWithSentinels() {
  for (int slot = 1; slot <= 20; ++slot) {
    KeypadText(slot) = QStringLiteral("sentinella");
    KeypadCount(slot) = -999;
    KeypadSides(slot) = -999;
  }
}

bool SlotIsSentinel(int slot) {
  return KeypadText(slot) == QStringLiteral("sentinella") && KeypadCount(slot) == -999 &&
         KeypadSides(slot) == -999;
}

bool TableIsSentinels() {
  for (int slot = 1; slot <= 20; ++slot) {
    if (!SlotIsSentinel(slot)) return false;
  }
  return true;
}

// Runs `action` and returns the RuntimeError it throws; fails the test when it throws none.
RuntimeError Thrown(const std::function<void()>& action) {
  try {
    action();
  } catch (const RuntimeError& e) {
    return e;
  }
  ADD_FAILURE() << "no RuntimeError";
  return RuntimeError(ErrorNumber::Overflow, QStringLiteral("<none>"), -1);
}

class KeypadErrors : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    path_ = dir_.filePath(QStringLiteral("conf.ini"));
    FillWithSentinels();
  }
  void TearDown() override { ClearKeypad(); }

  QTemporaryDir dir_;
  QString path_;
};

// --- loading ------------------------------------------------------------------------------

TEST_F(KeypadErrors, MissingFileIsFileNotFoundAndLeavesTheTable) {
  const std::pair<QString, ErrorNumber> cases[] = {
      {path_, ErrorNumber::FileNotFound},
      {dir_.filePath(QStringLiteral("no/such/conf.ini")), ErrorNumber::FileNotFound},
#ifndef _WIN32  // Wine tells a name longer than it takes as a path not found
      // A name longer than the system takes is told as such, never as a missing file.
      {dir_.filePath(QString(300, QLatin1Char('n')) + "/conf.ini"), ErrorNumber::BadFileName},
#endif
  };
  for (const auto& [path, number] : cases) {
    const RuntimeError e = Thrown([&] { LoadKeypadConfig(path); });
    EXPECT_EQ(e.number(), number);
    EXPECT_EQ(e.path(), path);
    EXPECT_TRUE(TableIsSentinels());
  }
}

TEST_F(KeypadErrors, DirectoryAtThePathIsAnAccessErrorAndLeavesTheTable) {
  ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("conf.ini")));
  const RuntimeError e = Thrown([&] { LoadKeypadConfig(path_); });
  EXPECT_EQ(e.number(), ErrorNumber::PathFileAccessError);
  EXPECT_EQ(e.path(), path_);
  EXPECT_TRUE(TableIsSentinels());
}

struct ShortFileCase {
  int lines;        // lines in the file
  int missingLine;  // the line the error names
};

void PrintTo(const ShortFileCase& c, std::ostream* os) { *os << c.lines << " lines"; }

class ShortFile : public KeypadErrors, public testing::WithParamInterface<ShortFileCase> {};

TEST_P(ShortFile, IsInputPastEndOfFileAfterStoringWhatWasRead) {
  const int count = GetParam().lines;
  ASSERT_TRUE(WriteBytes(path_, JoinLines(SampleLines().first(count))));
  const RuntimeError e = Thrown([&] { LoadKeypadConfig(path_); });
  EXPECT_EQ(e.number(), ErrorNumber::InputPastEndOfFile);
  EXPECT_EQ(e.code(), 62);
  EXPECT_EQ(e.line(), GetParam().missingLine);
  EXPECT_EQ(e.path(), path_);
  // Every line read is in the table, nothing after it.
  for (int slot = 1; slot <= 20; ++slot) {
    const int first = 3 * slot - 2;
    const bool captionRead = first <= count;
    const bool countRead = first + 1 <= count;
    const bool sidesRead = first + 2 <= count;
    EXPECT_EQ(KeypadText(slot),
              captionRead ? QStringLiteral("Tasto %1").arg(slot) : QStringLiteral("sentinella"))
        << slot;
    EXPECT_EQ(KeypadCount(slot), countRead ? slot : -999) << slot;
    EXPECT_EQ(KeypadSides(slot), sidesRead ? 6 : -999) << slot;
  }
}

INSTANTIATE_TEST_SUITE_P(KeypadErrors, ShortFile,
                         testing::Values(ShortFileCase{0, 1}, ShortFileCase{1, 2},
                                         ShortFileCase{2, 3}, ShortFileCase{30, 31},
                                         ShortFileCase{58, 59}, ShortFileCase{59, 60}));

TEST_F(KeypadErrors, EmptyFileAndLoneLineEndsCountAsLines) {
  ASSERT_TRUE(WriteBytes(path_, ""));
  EXPECT_EQ(Thrown([&] { LoadKeypadConfig(path_); }).line(), 1);
  // Fifty-nine line ends: 59 empty lines.
  ASSERT_TRUE(WriteBytes(path_, QByteArray(59, '\n')));
  EXPECT_EQ(Thrown([&] { LoadKeypadConfig(path_); }).line(), 60);
  // Sixty: a whole file of empty captions and zeros.
  ASSERT_TRUE(WriteBytes(path_, QByteArray(60, '\r')));
  LoadKeypadConfig(path_);
  EXPECT_EQ(KeypadText(20), QString());
  EXPECT_EQ(KeypadSides(20), 0);
}

struct OverflowLineCase {
  int line;
  QByteArray text;
};

void PrintTo(const OverflowLineCase& c, std::ostream* os) {
  *os << "line " << c.line << ": " << c.text.toStdString();
}

class OverflowLine : public KeypadErrors, public testing::WithParamInterface<OverflowLineCase> {};

TEST_P(OverflowLine, IsOverflowWithTheLineAndKeepsTheValuesBefore) {
  QList<QByteArray> lines = SampleLines();
  const int line = GetParam().line;
  lines[line - 1] = GetParam().text;
  ASSERT_TRUE(WriteBytes(path_, JoinLines(lines)));
  const RuntimeError e = Thrown([&] { LoadKeypadConfig(path_); });
  EXPECT_EQ(e.number(), ErrorNumber::Overflow);
  EXPECT_EQ(e.code(), 6);
  EXPECT_EQ(e.line(), line);
  EXPECT_EQ(e.path(), path_);
  for (int slot = 1; slot <= 20; ++slot) {
    const int first = 3 * slot - 2;
    EXPECT_EQ(KeypadText(slot) != QStringLiteral("sentinella"), first < line) << slot;
    EXPECT_EQ(KeypadCount(slot) != -999, first + 1 < line) << slot;
    EXPECT_EQ(KeypadSides(slot) != -999, first + 2 < line) << slot;
  }
}

INSTANTIATE_TEST_SUITE_P(KeypadErrors, OverflowLine,
                         testing::Values(OverflowLineCase{2, "40000"},
                                         OverflowLineCase{14, " 32767.5"},
                                         OverflowLineCase{15, "-32769"},
                                         OverflowLineCase{60, QByteArray(500, '9')}));

// --- saving -------------------------------------------------------------------------------

TEST_F(KeypadErrors, SaveOntoADirectoryIsAnAccessError) {
  ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("conf.ini")));
  const RuntimeError e = Thrown([&] { SaveKeypadConfig(path_); });
  EXPECT_EQ(e.number(), ErrorNumber::PathFileAccessError);
  EXPECT_EQ(e.path(), path_);
  EXPECT_FALSE(e.reason().isEmpty());
  EXPECT_TRUE(QFileInfo(path_).isDir());
}

TEST_F(KeypadErrors, SaveWhoseFolderIsAFileOrMissingIsPathNotFound) {
  const QString file = dir_.filePath(QStringLiteral("file"));
  ASSERT_TRUE(WriteBytes(file, "old"));
  // The cause is told in Italian, like the rest of the message.
  const std::tuple<QString, ErrorNumber, QString> cases[] = {
      // Windows does not tell a file in the way from a missing folder.
      {file + QStringLiteral("/conf.ini"), ErrorNumber::PathNotFound,
#ifdef _WIN32
       QStringLiteral("Il file o una cartella del percorso non esiste")},
#else
       QStringLiteral("Una parte del percorso non è una cartella")},
#endif
      {dir_.filePath(QStringLiteral("missing/conf.ini")), ErrorNumber::PathNotFound,
       QStringLiteral("Il file o una cartella del percorso non esiste")},
#ifndef _WIN32
      {dir_.filePath(QString(300, QLatin1Char('n')) + "/conf.ini"), ErrorNumber::BadFileName,
       QStringLiteral("Il percorso è troppo lungo")},
#endif
  };
  for (const auto& [path, number, reason] : cases) {
    const RuntimeError e = Thrown([&] { SaveKeypadConfig(path); });
    EXPECT_EQ(e.number(), number) << path.toStdString();
    EXPECT_EQ(e.path(), path);
    EXPECT_EQ(e.reason(), reason);
  }
  EXPECT_EQ(ReadBytes(file), "old");
  EXPECT_FALSE(QFileInfo::exists(dir_.filePath(QStringLiteral("missing"))));
}

#ifdef _WIN32
// --- Windows: a read-only conf.ini --------------------------------------------------------
// Windows has no user "nobody" to become; what a user meets there is a conf.ini with the
// read-only attribute (copied from a CD, or set by hand), which not even an administrator
// may replace. The folder's name has an accent and a blank, like a real program folder.

TEST(AsOrdinaryUser, IsLeftToTheReadOnlyAttributeTest) {
  GTEST_SKIP() << "becoming the user nobody, a file-size limit and links to a FIFO need "
                  "POSIX; the read-only attribute test below checks a refused save on Windows";
}

TEST_F(KeypadErrors, SaveOverAReadOnlyFileFailsAndLeavesItWhole) {
  const QString folder = dir_.filePath(QStringLiteral("Città di prova"));
  ASSERT_TRUE(QDir().mkdir(folder));
  const QString path = folder + QStringLiteral("/conf.ini");
  const QByteArray old = JoinLines(SampleLines());
  ASSERT_TRUE(WriteBytes(path, old));
  ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadUser));
  ClearKeypad();
  KeypadText(1) = QStringLiteral("nuovo");
  const RuntimeError e = Thrown([&] { SaveKeypadConfig(path); });
  EXPECT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
  EXPECT_EQ(e.number(), ErrorNumber::PermissionDenied);
  EXPECT_EQ(e.path(), path);
  EXPECT_TRUE(e.message().contains(QStringLiteral("\\Città di prova\\conf.ini")))
      << e.message().toStdString();
  EXPECT_EQ(ReadBytes(path), old);
  EXPECT_EQ(
      QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
      QStringList{QStringLiteral("conf.ini")});
}

#else
// --- as an ordinary user ------------------------------------------------------------------
// Tests run as root in CI, and root ignores file permissions. These run the operation in a
// child process that first becomes the unprivileged user "nobody" and reports the error
// number through its exit status.

constexpr uid_t kNobody = 65534;
constexpr int kNoError = 0;
constexpr int kCannotPrepare = 200;
constexpr int kOtherException = 201;
constexpr int kTableChanged = 202;

// Runs `action` in a child process after `prepare`; returns the error number it raised.
int RunInChild(const std::function<bool()>& prepare, const std::function<void()>& action) {
  const pid_t child = fork();
  if (child == 0) {
    if (!prepare()) _exit(kCannotPrepare);
    int status = kNoError;
    try {
      action();
    } catch (const RuntimeError& e) {
      status = e.code();
    } catch (...) {
      status = kOtherException;
    }
    _exit(status);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

int RunAsNobody(const std::function<void()>& action) {
  return RunInChild(
      [] {
        return geteuid() != 0 ||
               (setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0);
      },
      action);
}

// What stands at a path, as lstat sees it, with the link's target or the file's bytes.
QByteArray Describe(const QString& path) {
  struct stat status {};
  const QByteArray native = QFile::encodeName(path);
  if (::lstat(native.constData(), &status) != 0) return "nothing";
  if (S_ISLNK(status.st_mode)) return "link to " + QFile::encodeName(QFile::symLinkTarget(path));
  if (S_ISFIFO(status.st_mode)) return "pipe";
  return "file " + ReadBytes(path);
}

// Saves that must not go through: each fails with its error number and leaves everything in
// the folder as it was, without a temporary file.
TEST_F(KeypadErrors, RefusedSavesLeaveTheFolderAsItWas) {
  const QString pipe = dir_.filePath(QStringLiteral("pipe"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
  struct Case {
    const char* name;
    std::function<bool()> make;     // puts the case at path_
    std::function<bool()> prepare;  // readies the saving child
    int error;
  };
  const auto noLimit = [] { return true; };
  const Case cases[] = {
      // A file may grow to 100 bytes only: for a writer, the disk is full after them.
      {"full disk", [&] { return WriteBytes(path_, JoinLines(SampleLines())); },
       [] {
         const rlimit limit{100, 100};
         // The signal stays as a user's shell leaves it: the save must not end the program.
         return ::signal(SIGXFSZ, SIG_DFL) != SIG_ERR && ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
       },
       61},
      // Every write goes through, and the disk is found full when the data reach it.
      {"full disk at the sync", [&] { return WriteBytes(path_, JoinLines(SampleLines())); },
       [] {
         static const Runtime::ScopedDataSync full([](int) {
           errno = ENOSPC;
           return -1;
         });
         return true;
       },
       61},
      {"link to a named pipe", [&] { return QFile::link(pipe, path_); }, noLimit, 75},
      {"link that leads nowhere", [&] { return QFile::link(dir_.filePath("none"), path_); },
       noLimit, 75},
      {"link to itself", [&] { return QFile::link(path_, path_); }, noLimit, 75},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QFile::remove(path_);
    ASSERT_TRUE(c.make());
    const QByteArray before = Describe(path_);
    const QStringList entries =
        QDir(dir_.path())
            .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    EXPECT_EQ(RunInChild(c.prepare, [&] { SaveKeypadConfig(path_); }), c.error);
    EXPECT_EQ(Describe(path_), before);
    EXPECT_EQ(Describe(pipe), "pipe");
    EXPECT_EQ(QDir(dir_.path())
                  .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
              entries);
  }
}

class AsOrdinaryUser : public KeypadErrors {
 protected:
  void SetUp() override {
    KeypadErrors::SetUp();
    // The temporary folder is private to its owner; let the child in.
    ASSERT_EQ(chmod(QFile::encodeName(dir_.path()).constData(), 0755), 0);
    old_ = JoinLines(SampleLines());
  }

  QString MakeFolder(const QString& name) {
    const QString folder = dir_.filePath(name);
    EXPECT_TRUE(QDir().mkdir(folder));
    EXPECT_EQ(chmod(QFile::encodeName(folder).constData(), 0777), 0);
    return folder;
  }

  static void Chmod(const QString& path, mode_t mode) {
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), mode), 0);
  }

  static QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
  }

  QByteArray old_;
};

TEST_F(AsOrdinaryUser, SaveIntoAReadOnlyFolderFailsAndLeavesTheOldFileWhole) {
  const QString folder = MakeFolder(QStringLiteral("ro"));
  const QString path = folder + QStringLiteral("/conf.ini");
  ASSERT_TRUE(WriteBytes(path, old_));
  Chmod(path, 0666);  // the file itself could be overwritten in place
  Chmod(folder, 0555);
  const int status = RunAsNobody([&] {
    ClearKeypad();
    KeypadText(1) = QStringLiteral("nuovo");
    SaveKeypadConfig(path);
  });
  Chmod(folder, 0755);
  EXPECT_EQ(status, 70);
  EXPECT_EQ(ReadBytes(path), old_);
  EXPECT_EQ(Entries(folder), QStringList{QStringLiteral("conf.ini")});
}

TEST_F(AsOrdinaryUser, SaveOverAReadOnlyFileFailsAndLeavesItWhole) {
  const QString folder = MakeFolder(QStringLiteral("rw"));
  const QString path = folder + QStringLiteral("/conf.ini");
  ASSERT_TRUE(WriteBytes(path, old_));
  Chmod(path, 0444);
  const int status = RunAsNobody([&] { SaveKeypadConfig(path); });
  EXPECT_EQ(status, 70);
  EXPECT_EQ(ReadBytes(path), old_);
  EXPECT_EQ(Entries(folder), QStringList{QStringLiteral("conf.ini")});
}

TEST_F(AsOrdinaryUser, SaveIntoAWritableFolderWorks) {
  // The counterpart of the two above: the child can write where it is allowed to.
  const QString folder = MakeFolder(QStringLiteral("rw"));
  const QString path = folder + QStringLiteral("/conf.ini");
  ASSERT_TRUE(WriteBytes(path, old_));
  Chmod(path, 0666);
  const int status = RunAsNobody([&] {
    ClearKeypad();
    KeypadText(1) = QStringLiteral("nuovo");
    SaveKeypadConfig(path);
  });
  EXPECT_EQ(status, kNoError);
  EXPECT_TRUE(ReadBytes(path).startsWith("nuovo\r\n 0\r\n 0\r\n\r\n"));
  // The file is now the child's; saved again by root, it stays the user's own.
  SaveKeypadConfig(path);
  struct stat saved {};
  ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &saved), 0);
  EXPECT_EQ(saved.st_uid, geteuid() == 0 ? kNobody : geteuid());
}

TEST_F(AsOrdinaryUser, LoadOfAnUnreadableFileIsPermissionDeniedAndLeavesTheTable) {
  ASSERT_TRUE(WriteBytes(path_, old_));
  Chmod(path_, 0000);
  const int status = RunAsNobody([&] {
    try {
      LoadKeypadConfig(path_);
    } catch (const RuntimeError&) {
      if (!TableIsSentinels()) _exit(kTableChanged);
      throw;
    }
  });
  EXPECT_EQ(status, 70);
}

TEST_F(AsOrdinaryUser, LoadFromAClosedFolderIsPermissionDenied) {
  const QString folder = MakeFolder(QStringLiteral("closed"));
  const QString path = folder + QStringLiteral("/conf.ini");
  ASSERT_TRUE(WriteBytes(path, old_));
  Chmod(folder, 0000);
  const int status = RunAsNobody([&] {
    try {
      LoadKeypadConfig(path);
    } catch (const RuntimeError&) {
      if (!TableIsSentinels()) _exit(kTableChanged);
      throw;
    }
  });
  Chmod(folder, 0755);
  EXPECT_EQ(status, 70);
}

#endif

}  // namespace
