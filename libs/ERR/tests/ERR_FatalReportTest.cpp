#include "ERR_FatalReport.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// The arguments of the last Show.
class Recording_t : public err::FatalDialogIntf_t {
 public:
  void Show(const std::string& file, std::uint16_t line, const std::u16string& extra, const std::string& subId,
            const glo::Optional_t<std::uint32_t>& programAddress, const std::vector<std::uint32_t>& stackTrace) override
  {
    this->file = file;
    this->line = line;
    this->extra = extra;
    this->subId = subId;
    this->programAddress = programAddress;
    this->stackTrace = stackTrace;
  }
  std::string file;
  std::uint16_t line = 0;
  std::u16string extra;
  std::string subId;
  glo::Optional_t<std::uint32_t> programAddress;
  std::vector<std::uint32_t> stackTrace;
};

TEST(FatalReport, TheThreeFormsFillTheirArguments)
{
  Recording_t dialog;
  try {
    glo::GLO_Assert(false, "card.cpp", 42);
  } catch (const glo::Assert_t& error) {
    err::ERR_ReportFatal(dialog, error);
    EXPECT_EQ(dialog.file, "card.cpp");
    EXPECT_EQ(dialog.line, 42);
    EXPECT_EQ(dialog.extra, error.Message());
    EXPECT_EQ(dialog.subId, error.SubId());
    EXPECT_FALSE(dialog.programAddress);
    EXPECT_FALSE(dialog.stackTrace.empty());
    EXPECT_EQ(dialog.stackTrace, error.StackTrace());
  }

  err::ERR_ReportFatal(dialog, "worker.cpp", 7, std::length_error("caf\xe9 too long"));
  EXPECT_EQ(dialog.file, "worker.cpp");
  EXPECT_EQ(dialog.line, 7);
  EXPECT_EQ(dialog.extra, u"caf\u00e9 too long");
  EXPECT_EQ(dialog.subId, "");
  EXPECT_TRUE(dialog.stackTrace.empty());

  err::ERR_ReportFatal(dialog, "worker.cpp", 9, u"Unknown error.");
  EXPECT_EQ(dialog.line, 9);
  EXPECT_EQ(dialog.extra, u"Unknown error.");
  EXPECT_FALSE(dialog.programAddress);
}

}  // namespace
