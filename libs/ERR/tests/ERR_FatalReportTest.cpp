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

  win::Fault_t fault;
  fault.code = win::ExceptionAccessViolation;
  fault.programAddress = 0x1234;
  fault.write = true;
  const win::StructuredException_t structured("raised.cpp", 5, fault, {1, 2});
  err::ERR_ReportFatal(dialog, "worker.cpp", 8, structured);
  report = dialog.Last();
  EXPECT_EQ(report.file, "worker.cpp");
  EXPECT_EQ(report.line, 8);
  EXPECT_EQ(report.extra, structured.Message());
  EXPECT_EQ(report.subId, "0x1234");
  EXPECT_EQ(report.programAddress, glo::Optional_t<std::uint32_t>(0x1234));
  EXPECT_EQ(report.stackTrace, (std::vector<std::uint32_t>{1, 2}));

  err::ERR_ReportFatal(dialog, "worker.cpp", 9, u"Unknown error.");
  report = dialog.Last();
  EXPECT_EQ(report.line, 9);
  EXPECT_EQ(report.extra, u"Unknown error.");
  EXPECT_FALSE(report.programAddress);
}

}  // namespace
