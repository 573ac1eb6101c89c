// A save killed at any moment leaves conf.ini whole: either the table saved before or the
// one being saved, never a mix, a part or nothing.
#include <gtest/gtest.h>

#ifdef _WIN32
// Kills the helper with POSIX signals. On Windows the rename that makes the save atomic is
// Qt's QSaveFile (MoveFileEx); the read-only tests check that a failed save keeps the file.
TEST(KeypadSaveKillTest, ASaveKilledAtAnyMomentLeavesOneWholeTable) {
  GTEST_SKIP() << "needs POSIX spawn and SIGKILL, which Windows does not have";
}
#else
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>
#include <chrono>
#include <fstream>
#include <random>
#include <thread>
#include <vector>

#include "keypad/keypad.h"
#include "runtime/runtime_error.h"
#include "save_loop_tables.h"
#include "test_support.h"

extern char** environ;

namespace {

using orvida_test::CurrentTable;
using orvida_test::FillSaveLoopTable;
using orvida_test::ReadBytes;
using orvida_test::Table;

Table SaveLoopTable(int which) {
  FillSaveLoopTable(which);
  return CurrentTable();
}

QByteArray SaveLoopBytes(int which) {
  FillSaveLoopTable(which);
  return Modulo1::KeypadConfigBytes();
}

// The helper process, started with a pipe on its standard output.
struct Helper {
  pid_t pid = -1;
  int output = -1;
};

// Runs `program` in the folder open at `folder`, when given.
Helper StartSaveLoop(const QByteArray& path, const char* program = ORVIDA_SAVE_LOOP,
                     int folder = -1) {
  int fds[2];
  if (::pipe(fds) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (folder >= 0) posix_spawn_file_actions_addfchdir_np(&actions, folder);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  posix_spawn_file_actions_addclose(&actions, fds[1]);
  std::string name = program;
  QByteArray argument = path;
  char* argv[] = {name.data(), path.isEmpty() ? nullptr : argument.data(), nullptr};
  Helper helper;
  if (posix_spawn(&helper.pid, program, &actions, nullptr, argv, environ) != 0) helper.pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[1]);
  helper.output = fds[0];
  return helper;
}

// Waits up to ten seconds for the helper's first byte: its first save is done.
bool WaitUntilSaving(const Helper& helper) {
  pollfd ready{helper.output, POLLIN, 0};
  char byte = 0;
  return ::poll(&ready, 1, 10000) == 1 && ::read(helper.output, &byte, 1) == 1 && byte == '!';
}

TEST(KeypadSaveKillTest, ASaveKilledAtAnyMomentLeavesOneWholeTable) {
  constexpr int kKills = 250;
  const QByteArray bytes[2] = {SaveLoopBytes(0), SaveLoopBytes(1)};
  const Table tables[2] = {SaveLoopTable(0), SaveLoopTable(1)};
  ASSERT_NE(bytes[0], bytes[1]);

  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString path = folder.filePath(QStringLiteral("conf.ini"));
  std::mt19937 random(std::random_device{}());
  // One save takes some tens of microseconds: kills spread over the first milliseconds of
  // the loop land before, inside and between the steps of the saves.
  std::uniform_int_distribution<int> delayMicroseconds(0, 3000);

  int found[2] = {0, 0};
  for (int kill = 1; kill <= kKills; ++kill) {
    SCOPED_TRACE(kill);
    const Helper helper = StartSaveLoop(QFile::encodeName(path));
    ASSERT_GT(helper.pid, 0) << "cannot start " << ORVIDA_SAVE_LOOP;
    const bool saving = WaitUntilSaving(helper);
    if (saving) std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
    ::kill(helper.pid, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(helper.pid, &status, 0), helper.pid);
    ::close(helper.output);
    ASSERT_TRUE(saving) << "the helper never reported its first save";
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        << "the helper ended on its own, status " << status;

    const QByteArray onDisk = ReadBytes(path);
    const int which = onDisk == bytes[0] ? 0 : onDisk == bytes[1] ? 1 : -1;
    ASSERT_NE(which, -1) << "conf.ini is neither table: " << onDisk.size() << " bytes";
    ++found[which];
    Modulo1::ClearKeypad();
    ASSERT_NO_THROW(Modulo1::LoadKeypadConfig(path));
    ASSERT_TRUE(CurrentTable() == tables[which]);
  }
  // Both tables turned up, so the kills did fall at different points of the loop.
  EXPECT_GT(found[0], 0);
  EXPECT_GT(found[1], 0);
  RecordProperty("first_table", found[0]);
  RecordProperty("second_table", found[1]);

  // A killed save may leave its unfinished temporary file behind, never anything else.
  const QStringList left = QDir(folder.path()).entryList(QDir::Files | QDir::NoDotAndDotDot);
  for (const QString& name : left) {
    EXPECT_TRUE(name == QStringLiteral("conf.ini") || name.startsWith(QStringLiteral("conf.ini.")))
        << name.toStdString();
  }
}

// The program finds the conf.ini beside it even in a folder whose name is not valid UTF-8,
// which Qt's strings cannot hold, and saves it there and nowhere else; in a folder whose
// path is longer than the system names, it tells so (52). The helper ends with the error's
// number.
TEST(KeypadProgramFolder, ReadsAndSavesBesideTheProgramOrSaysWhyNot) {
  const std::pair<std::vector<std::string>, int> cases[] = {
      {{"dadi\xff\xfe"}, 0},
      {std::vector<std::string>(20, std::string(205, 'd')), 52},
  };
  for (const auto& [names, status] : cases) {
    SCOPED_TRACE(status);
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    // Folder by folder, through descriptors: the system takes no longer path at once.
    std::vector<int> folders{::open(QFile::encodeName(root.path()).constData(), O_PATH)};
    for (const std::string& name : names) {
      ASSERT_EQ(::mkdirat(folders.back(), name.c_str(), 0755), 0);
      folders.push_back(::openat(folders.back(), name.c_str(), O_PATH | O_DIRECTORY));
    }
    const int folder = folders.back();
    const QByteArray sample = orvida_test::JoinLines(orvida_test::SampleLines());
    std::ifstream program(ORVIDA_SAVE_LOOP, std::ios::binary);
    const std::string copy{std::istreambuf_iterator<char>(program), {}};
    for (const auto& [file, bytes] :
         {std::pair{"keypad_save_loop", QByteArray::fromStdString(copy)},
          std::pair{"conf.ini", sample}}) {
      const int out = ::openat(folder, file, O_WRONLY | O_CREAT | O_EXCL, 0755);
      EXPECT_EQ(::write(out, bytes.constData(), bytes.size()), bytes.size());
      ::close(out);
    }
    const bool rootFileBefore = QFile::exists(QStringLiteral("/conf.ini"));

    const Helper helper = StartSaveLoop({}, "./keypad_save_loop", folder);
    ASSERT_GT(helper.pid, 0);
    int ended = 0;
    ASSERT_EQ(::waitpid(helper.pid, &ended, 0), helper.pid);
    ::close(helper.output);
    EXPECT_TRUE(WIFEXITED(ended) && WEXITSTATUS(ended) == status) << "status " << ended;
    QByteArray saved(17, '\0');
    const int in = ::openat(folder, "conf.ini", O_RDONLY);
    saved.resize(::read(in, saved.data(), saved.size()));
    ::close(in);
    // Slot 1 of the file read (count 1, 6 sides), with the new caption once saved.
    EXPECT_EQ(saved, status == 0 ? "salvato\r\n 1\r\n 6\r\n" : sample.first(17));
    EXPECT_EQ(QFile::exists(QStringLiteral("/conf.ini")), rootFileBefore);
    // Qt can neither name nor reach these folders to remove them.
    for (const char* file : {"keypad_save_loop", "conf.ini"}) ::unlinkat(folder, file, 0);
    for (size_t i = names.size(); i > 0; --i) {
      ::close(folders[i]);
      ::unlinkat(folders[i - 1], names[i - 1].c_str(), AT_REMOVEDIR);
    }
    ::close(folders[0]);
  }
}

}  // namespace
#endif
