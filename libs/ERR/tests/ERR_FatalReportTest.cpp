#include "ERR_FatalReport.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "RecordingFatalDialog.h"

namespace {

TEST(FatalReport, TheThreeFormsFillTheirArguments)
{
  vtest::RecordingFatalDialog dialog;
  try {
    glo::GLO_Assert(false, "card.cpp", 42);
  } catch (const glo::Assert_t& error) {
    err::ERR_ReportFatal(dialog, error);
    const auto report = dialog.Last();
    EXPECT_EQ(report.file, "card.cpp");
    EXPECT_EQ(report.line, 42);
    EXPECT_EQ(report.extra, error.Message());
    EXPECT_EQ(report.subId, error.SubId());
    EXPECT_FALSE(report.programAddress);
    EXPECT_FALSE(report.stackTrace.empty());
    EXPECT_EQ(report.stackTrace, error.StackTrace());
  }

  err::ERR_ReportFatal(dialog, "worker.cpp", 7, std::length_error("caf\xe9 too long"));
  auto report = dialog.Last();
  EXPECT_EQ(report.file, "worker.cpp");
  EXPECT_EQ(report.line, 7);
  EXPECT_EQ(report.extra, u"caf\u00e9 too long");
  EXPECT_EQ(report.subId, "");
  EXPECT_TRUE(report.stackTrace.empty());

  err::ERR_ReportFatal(dialog, "worker.cpp", 9, u"Unknown error.");
  report = dialog.Last();
  EXPECT_EQ(report.line, 9);
  EXPECT_EQ(report.extra, u"Unknown error.");
  EXPECT_FALSE(report.programAddress);
}

}  // namespace
