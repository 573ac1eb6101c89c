#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
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
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <optional>
#include <tuple>

#include "keypad/keypad.h"
#include "runtime/data_sync.h"
#include "runtime/runtime_error.h"
#include "test_support.h"

namespace {

using Modulo1::ClearKeypad;
using Modulo1::KeypadConfigBytes;
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

// What a folder holds, hidden and system files too.
QStringList Entries(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                QDir::NoDotAndDotDot);
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

// --- saving -------------------------------------------------------------------------------

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
  EXPECT_EQ(Entries(folder), QStringList{QStringLiteral("conf.ini")});
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

// What stands at a path, as lstat sees it (stat when `follow`): a link with its target, a
// pipe, a folder, a file with its owner, group, mode and bytes; never its name.
QByteArray Describe(const QString& path, bool follow = false) {
  struct stat status {};
  if ((follow ? ::stat : ::lstat)(QFile::encodeName(path).constData(), &status) != 0)
    return "nothing";
  if (S_ISLNK(status.st_mode)) return "link to " + QFile::encodeName(QFile::symLinkTarget(path));
  if (!S_ISREG(status.st_mode)) return S_ISDIR(status.st_mode) ? "folder" : "pipe";
  return "file " + QByteArray::number(status.st_uid) + ':' + QByteArray::number(status.st_gid) +
         ':' + QByteArray::number(status.st_mode & 07777, 8) + ' ' + ReadBytes(path);
}

// What stands at each name in a folder, in order: a file more or less shows.
QByteArrayList Contents(const QString& folder) {
  QByteArrayList things;
  for (const QString& name : Entries(folder)) things << Describe(folder + '/' + name);
  std::sort(things.begin(), things.end());
  return things;
}

// Makes the data sync of a save exchange two names, as another program may at any time.
std::pair<QByteArray, QByteArray> exchanged;
std::function<bool()> ExchangeAtTheSync(const QString& a, const QString& b) {
  return [a = QFile::encodeName(a), b = QFile::encodeName(b)] {
    exchanged = {a, b};
    static const Runtime::ScopedDataSync exchange([](int) {
      return ::renameat2(AT_FDCWD, exchanged.first.constData(), AT_FDCWD,
                         exchanged.second.constData(), RENAME_EXCHANGE);
    });
    return true;
  };
}

// Saves that must not go through fail with their error number and leave everything in the
// folder as it was, or as another program's exchange of two names left it, without a
// temporary file; one that goes through changes the file the path leads to, and nothing
// else: the file keeps its owner and mode and holds the table.
TEST_F(KeypadErrors, SavesChangeNothingButTheFileThePathLeadsTo) {
  const QString pipe = dir_.filePath(QStringLiteral("pipe"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
  const QByteArray old = JoinLines(SampleLines());
  const auto beside = [&](const char* name) { return dir_.filePath(QString::fromLatin1(name)); };
  struct Case {
    const char* name;
    std::function<bool()> make;     // puts the case at path_
    std::function<bool()> prepare;  // readies the saving child
    int error;
  };
  const auto noLimit = [] { return true; };
  std::optional<Runtime::ScopedDataSync> fullAtTheSync;  // in the saving child alone
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
       [&] {
         fullAtTheSync.emplace([](int) {
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
      {"link to a name that does not decode",  // the file is made through the link
       [&] {
         return ::symlink("real\xff", QFile::encodeName(path_)) == 0 && WriteBytes(path_, "!");
       },
       noLimit, 0},
      {"owned by nobody, with every mode bit, saved by root",
       [&] {
         const QByteArray name = QFile::encodeName(path_);
         return WriteBytes(path_, old) &&
                (geteuid() != 0 || ::chown(name.constData(), kNobody, kNobody) == 0) &&
                ::chmod(name.constData(), 07755) == 0;
       },
       noLimit, 0},
      // While the save runs, another program exchanges what two names hold.
      {"another file exchanged in",
       [&] { return WriteBytes(path_, old) && WriteBytes(beside("b"), "b"); },
       ExchangeAtTheSync(path_, beside("b")), 75},
      {"named pipe exchanged in",
       [&] {
         return ::mkfifo(QFile::encodeName(beside("fifo")).constData(), 0600) == 0 &&
                WriteBytes(beside("real"), old) && QFile::link(QStringLiteral("real"), path_);
       },
       ExchangeAtTheSync(beside("real"), beside("fifo")), 75},
      {"link exchanged for another",
       [&] {
         return WriteBytes(beside("one"), old) && WriteBytes(beside("two"), old) &&
                QFile::link(QStringLiteral("one"), path_) &&
                QFile::link(QStringLiteral("two"), beside("link"));
       },
       ExchangeAtTheSync(path_, beside("link")), 75},
      // Last: the folder stays at the path.
      {"folder exchanged in",
       [&] { return WriteBytes(path_, old) && QDir(dir_.path()).mkdir("box"); },
       ExchangeAtTheSync(path_, beside("box")), 75},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QFile::remove(path_);
    ASSERT_TRUE(c.make());
    QByteArrayList things = Contents(dir_.path());
    const QByteArray target = Describe(path_, true);
    const QByteArray saved = target.first(target.indexOf(' ', 5) + 1) + KeypadConfigBytes();
    if (c.error == 0 && things.contains(target)) things.replace(things.indexOf(target), saved);
    std::sort(things.begin(), things.end());
    EXPECT_EQ(RunInChild(c.prepare, [&] { SaveKeypadConfig(path_); }), c.error);
    EXPECT_EQ(Contents(dir_.path()), things);
    EXPECT_EQ(Describe(path_, true) == saved, c.error == 0);
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

  QByteArray old_;
};

// Each save or load meets the modes of the folder and of conf.ini: a refused save leaves the
// old file whole and no other file; a refused load leaves the table.
TEST_F(AsOrdinaryUser, SavesAndLoadsMeetThePermissions) {
  struct Case {
    const char* name;
    mode_t folder;
    mode_t file;
    bool save;
    int status;
  };
  const Case cases[] = {
      {"save into a read-only folder", 0555, 0666, true, 70},  // the file itself is writable
      {"save over a read-only file", 0777, 0444, true, 70},
      {"save into a writable folder", 0777, 0666, true, kNoError},
      {"load of an unreadable file", 0755, 0000, false, 70},
      {"load from a closed folder", 0000, 0644, false, 70},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString folder = MakeFolder(QString::fromLatin1(c.name));
    const QString path = folder + QStringLiteral("/conf.ini");
    ASSERT_TRUE(WriteBytes(path, old_));
    Chmod(path, c.file);
    Chmod(folder, c.folder);
    const int status = RunAsNobody([&] {
      if (!c.save) {
        try {
          LoadKeypadConfig(path);
        } catch (const RuntimeError&) {
          if (!TableIsSentinels()) _exit(kTableChanged);
          throw;
        }
        return;
      }
      ClearKeypad();
      KeypadText(1) = QStringLiteral("nuovo");
      SaveKeypadConfig(path);
    });
    Chmod(folder, 0755);
    Chmod(path, 0644);
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(Entries(folder), QStringList{QStringLiteral("conf.ini")});
    if (status != kNoError) {
      EXPECT_EQ(ReadBytes(path), old_);
      continue;
    }
    EXPECT_TRUE(ReadBytes(path).startsWith("nuovo\r\n 0\r\n 0\r\n\r\n"));
  }
}

#endif

}  // namespace
