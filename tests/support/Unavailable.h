#pragma once
// What a test needs of the machine and may not be given: a tmpfs or FUSE
// mount, an unmount, root. Where it is missing, the test ends with the
// reason: skipped on a developer's machine, failed in CI (CI=true, run as
// root), where all of it is allowed, so that a missing privilege never
// hides a check there. Every test that can miss such a thing ends through
// these macros.

#include <gtest/gtest.h>

namespace vtest {

// True in CI, where a test may not skip for what the machine withholds.
bool SkipsFail();

}  // namespace vtest

// Ends the test for the reason given: a skip, or in CI a failure.
#define VTEST_UNAVAILABLE(why)                                                   \
  do {                                                                           \
    if (vtest::SkipsFail())                                                      \
      GTEST_FAIL() << "CI must allow what this test needs (as root): " << (why); \
    else                                                                         \
      GTEST_SKIP() << (why);                                                     \
  } while (false)

// Ends the test as VTEST_UNAVAILABLE unless the volume or card given
// (vtest::SmallVolume, FatCard, FaultCard) is mounted.
#define VTEST_REQUIRE_MOUNTED(fixture)                            \
  do {                                                            \
    if (!(fixture).Mounted()) VTEST_UNAVAILABLE((fixture).Why()); \
  } while (false)
