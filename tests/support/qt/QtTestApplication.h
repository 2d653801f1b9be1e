#pragma once
// The one Qt application of a window test program, made before its first
// test (on the platform the test's environment names, offscreen under
// CTest), with the program's own resource module selected as start-up
// would.
// Any number of the program's source files may include this.

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "GDI_QtLeaks.h"
#include "WIN_ResourceString.h"

namespace vtest {

class QtTestApplication : public ::testing::Environment {
 public:
  void SetUp() override
  {
    static int argc = 1;
    static char name[] = "velmora-tests";
    static char* argv[] = {name, nullptr};
    application_ = std::make_unique<QApplication>(argc, argv);
    win::WIN_SetResourceModule(nullptr);
  }
  void TearDown() override { application_.reset(); }

 private:
  std::unique_ptr<QApplication> application_;
};

inline ::testing::Environment* const qtTestApplication = ::testing::AddGlobalTestEnvironment(new QtTestApplication);

}  // namespace vtest
