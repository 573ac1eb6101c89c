// What a Windows player is told when a file operation fails: Qt calls the Win32 API there,
// so the cause comes as a Win32 error code.
#include <gtest/gtest.h>
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <QDir>
#include <QTemporaryDir>
#include <cerrno>

#include "keypad/keypad.h"
#include "runtime/file_errors.h"
#include "runtime/runtime_error.h"
#include "test_support.h"

namespace {

// The codes a load or a save can meet, made real where Wine can make them: a file that
// another program holds open without sharing it is neither read nor replaced, and the
// player is told so (70); the file and the table stay as they were.
TEST(WindowsFileErrors, AFileHeldOpenWithoutSharingIsNeitherLoadedNorReplaced) {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("conf.ini"));
  const QByteArray old = orvida_test::JoinLines(orvida_test::SampleLines());
  ASSERT_TRUE(orvida_test::WriteBytes(path, old));
  const HANDLE held = CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), GENERIC_READ, 0,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  Modulo1::KeypadText(1) = QStringLiteral("nuovo");
  for (const bool save : {false, true}) {
    try {
      save ? Modulo1::SaveKeypadConfig(path) : Modulo1::LoadKeypadConfig(path);
      ADD_FAILURE() << "no error on " << (save ? "save" : "load");
    } catch (const Runtime::RuntimeError& error) {
      EXPECT_EQ(error.code(), 70) << error.what();
      EXPECT_EQ(error.path(), path);
    }
    EXPECT_EQ(Modulo1::KeypadText(1), QStringLiteral("nuovo"));
  }
  CloseHandle(held);
  Modulo1::ClearKeypad();
  EXPECT_EQ(orvida_test::ReadBytes(path), old);
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("conf.ini")});
}

// The rest through the translation itself: each Win32 code as the matching errno, and the
// error number a failed open for reading and a failed write then raise (0: not met there).
TEST(WindowsFileErrors, Win32CodesTellThePlayerTheRightError) {
  struct Case {
    DWORD win32;
    int error;
    int onRead;
    int onWrite;
  };
  const Case cases[] = {
      {ERROR_DISK_FULL, ENOSPC, 0, 61},
      {ERROR_HANDLE_DISK_FULL, ENOSPC, 0, 61},
      {ERROR_FILE_TOO_LARGE, EFBIG, 0, 61},
      {ERROR_WRITE_PROTECT, EROFS, 70, 70},
      {ERROR_ACCESS_DENIED, EACCES, 70, 70},
      {ERROR_SHARING_VIOLATION, EACCES, 70, 70},
      {ERROR_LOCK_VIOLATION, EACCES, 70, 70},
      {ERROR_FILENAME_EXCED_RANGE, ENAMETOOLONG, 52, 52},
      {ERROR_FILE_NOT_FOUND, ENOENT, 53, 0},
      {ERROR_PATH_NOT_FOUND, ENOENT, 53, 0},
      {ERROR_INVALID_DRIVE, ENOENT, 53, 0},
      {ERROR_BAD_NETPATH, ENOENT, 53, 0},
      {ERROR_DIRECTORY, ENOTDIR, 53, 0},
      {ERROR_WRITE_FAULT, EIO, 75, 57},
      {ERROR_CRC, EIO, 75, 57},
      {ERROR_NOT_SUPPORTED, 0, 75, 57},
  };
  QTemporaryDir folder;  // an existing file: only the code can make its open fail
  const QString path = folder.filePath(QStringLiteral("conf.ini"));
  ASSERT_TRUE(orvida_test::WriteBytes(path, "x"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.win32);
    Runtime::ClearFileError();
    SetLastError(c.win32);
    const int error = Runtime::LastFileError();
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(c.onRead ? static_cast<int>(Runtime::OpenForReadingError(path, error)) : 0, c.onRead);
    EXPECT_EQ(c.onWrite ? static_cast<int>(Runtime::WriteError(error)) : 0, c.onWrite);
  }
}

}  // namespace
