// Permission checks, which root passes whatever the mode bits say.

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>

#include "GLO_Text.h"
#include "TempFolder.h"
#include "Unavailable.h"
#include "WIN_Error.h"
#include "WIN_SmartTempFile.h"
#include "WIN_Utilities.h"

namespace {

namespace fs = std::filesystem;
constexpr uid_t Nobody = 65534;

std::u16string Wide(const fs::path& path)
{
  return glo::GLO_ToWide(path.string(), glo::CodePageUtf8);
}

// Runs the check without privileges: as root, in a child process that has
// become nobody. The check returns 0 when it holds, else a number that tells
// what failed.
int Unprivileged(const std::function<int()>& check)
{
  if (::geteuid() != 0) return check();
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    int result = 90;
    if (::setgid(Nobody) == 0 && ::setuid(Nobody) == 0) {
      try {
        result = check();
      } catch (...) {
        result = 91;
      }
    }
    ::_exit(result);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0)
    if (errno != EINTR) return -2;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -3;
}

// A folder that nobody may use as well.
class Permissions : public testing::Test {
 protected:
  void SetUp() override { fs::permissions(folder_.Path(), fs::perms::all); }

  vtest::TempFolder folder_;
};

TEST_F(Permissions, DeletingATreeOpensUpReadOnlyFolders)
{
  const fs::path tree = folder_ / "tree";
  const int result = Unprivileged([&] {
    vtest::WriteFile(tree / "locked" / "inner", "1234567");
    fs::permissions(tree / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    // Without read-only in the mask the folder keeps its entries.
    try {
      win::WIN_DeleteFolderTree(Wide(tree), win::FileAttributeHidden);
      return 1;
    } catch (const win::FileError_t& error) {
      if (error.Code() != EACCES) return 2;
    }
    if (!fs::exists(tree / "locked" / "inner")) return 3;
    win::WIN_DeleteFolderTree(Wide(tree), win::FileAttributeReadOnly);
    return fs::exists(tree) ? 4 : 0;
  });
  EXPECT_EQ(result, 0);
}

TEST_F(Permissions, ATempFileInAReadOnlyFolder)
{
  const fs::path readOnly = folder_ / "read-only";
  const int result = Unprivileged([&] {
    fs::create_directory(readOnly);
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec);
    const win::SmartTempFile_t file(u"rgn", Wide(readOnly));
    if (!fs::is_regular_file(glo::GLO_ToNarrow(file.Path(), glo::CodePageUtf8))) return 1;
    return (fs::status(readOnly).permissions() & fs::perms::owner_write) != fs::perms::none ? 0 : 2;
  });
  EXPECT_EQ(result, 0);
}

TEST_F(Permissions, AnotherUsersTemporaryFolderIsRefused)
{
  if (::geteuid() != 0) VTEST_UNAVAILABLE("only root can give a folder away");
  const vtest::TempFolder elsewhere;
  const fs::path name = fs::path(glo::GLO_ToNarrow(win::WIN_GetAppTempFolder(elsewhere.Wide()), glo::CodePageUtf8))
                            .parent_path()
                            .filename();
  const fs::path planted = folder_ / name;
  fs::create_directory(planted);
  ASSERT_EQ(::chown(planted.c_str(), Nobody, Nobody), 0);
  try {
    win::WIN_GetAppTempFolder(folder_.Wide());
    ADD_FAILURE() << "accepted";
  } catch (const win::FileError_t& error) {
    EXPECT_EQ(error.Code(), std::uint32_t(EACCES));
    EXPECT_TRUE(error.Message().ends_with(Wide(planted) + u"/"));
  }
}

}  // namespace
