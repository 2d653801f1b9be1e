#include "WIN_Error.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "ScopedEnvironment.h"

namespace {

TEST(Error, MessageAndSubIdComeFromTheCode)
{
  // The texts stay the system's own whatever language the user reads.
  vtest::ScopedEnvironment environment;
  environment.Set("LANGUAGE", "fr:de").Set("LC_ALL", "fr_FR.UTF-8");
  const std::pair<std::uint32_t, const char16_t*> cases[] = {
      {5, u"System Error Code: 5\nInput/output error\n"},
      {ENOENT, u"System Error Code: 2\nNo such file or directory\n"},
      {ENOMEDIUM, u"System Error Code: 123\nNo medium found\n"},
      {EACCES, u"System Error Code: 13\nPermission denied\n"},
  };
  for (const auto& [code, message] : cases) {
    const win::Error_t error("Error.cpp", 9, code);
    EXPECT_EQ(error.Code(), code);
    EXPECT_EQ(error.SubId(), std::to_string(code));
    EXPECT_EQ(error.Message(), message);
    EXPECT_EQ(error.SourceFile(), "Error.cpp");
  }
}

TEST(Error, WithoutACodeTakesErrno)
{
  errno = EEXIST;
  const win::Error_t error(GLO_HERE);
  EXPECT_EQ(error.Code(), std::uint32_t(EEXIST));
  EXPECT_EQ(error.SubId(), "17");
}

TEST(Error, FileErrorAppendsThePath)
{
  errno = ENOENT;
  const win::FileError_t error(GLO_HERE, u"/media/card/ldr_sys/avtn_db.bin");
  EXPECT_EQ(error.Code(), std::uint32_t(ENOENT));
  EXPECT_EQ(error.Message(), u"System Error Code: 2\nNo such file or directory\nPath: /media/card/ldr_sys/avtn_db.bin");
}

TEST(Error, DeviceNotReadyKeepsThePath)
{
  const win::DeviceNotReadyError_t error(GLO_HERE, u"/media/reader", ENOMEDIUM);
  EXPECT_EQ(error.Path(), u"/media/reader");
  EXPECT_EQ(error.SubId(), "123");
  EXPECT_EQ(error.Message(), u"System Error Code: 123\nNo medium found\nPath: /media/reader");
  const win::Error_t& base = error;
  EXPECT_EQ(base.Code(), std::uint32_t(ENOMEDIUM));
}

TEST(Error, SystemTextInTheApplicationsLanguage)
{
  EXPECT_EQ(win::Error_t(GLO_HERE, EBADF).SystemText(), u"Bad file descriptor\n");
  EXPECT_EQ(win::WIN_GetSystemMessage(EWOULDBLOCK, 0), u"Resource temporarily unavailable\n");
}

}  // namespace
