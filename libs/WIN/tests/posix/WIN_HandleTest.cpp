#include "WIN_Handle.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/eventfd.h>

namespace {

TEST(Handle, ClosingTwiceClosesOnce)
{
  win::Handle_t first(::eventfd(0, EFD_CLOEXEC));
  const int number = first.Get();
  first.Close();
  EXPECT_EQ(first.Get(), -1);
  // The next descriptor made takes the same number; a second close of the
  // first handle must leave it alone.
  win::Handle_t second(::eventfd(0, EFD_CLOEXEC));
  ASSERT_EQ(second.Get(), number);
  first.Close();
  EXPECT_NE(::fcntl(second.Get(), F_GETFD), -1);
}

TEST(Handle, ADuplicateOutlivesItsSource)
{
  win::Handle_t duplicate;
  {
    win::Handle_t source(::eventfd(0, EFD_CLOEXEC));
    duplicate = win::Handle_t::Duplicate(source);
  }
  EXPECT_NE(::fcntl(duplicate.Get(), F_GETFD), -1);
  EXPECT_NE(::fcntl(duplicate.Get(), F_GETFD) & FD_CLOEXEC, 0);
}

}  // namespace
