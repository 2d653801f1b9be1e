#include "ERR_ProxyFatalDialog.h"

#include <gtest/gtest.h>

#include "CapturingAccessPoint.h"
#include "DIO_AccessPoint.h"
#include "DIO_Exceptions.h"
#include "OtherThread.h"
#include "RecordingFatalDialog.h"

namespace {

TEST(FatalDialogCalls, TheRequestPushesItsArgumentsInOrder)
{
  vtest::RecordingFatalDialog dialog;
  err::FatalDialogRef_t reference(dialog);
  dio::LocalAccessPoint_t local;
  local.Register({err::FatalDialogClass, 1}, reference);
  vtest::CapturingAccessPoint capture(local);
  err::ProxyFatalDialog_t proxy(dio::RemoteReference_t({err::FatalDialogClass, 1}, capture));
  proxy.Show("f", 2, u"e", "s", glo::Optional_t<std::uint32_t>(3), {4});
  const std::vector<unsigned char> expected{0, 'f',                      // file
                                            2, 0,                        // line
                                            0, 0,   'e', 0,              // extra text
                                            0, 's',                      // sub id
                                            3, 0,   0,   0, 1,           // program address, present
                                            4, 0,   0,   0, 1, 0, 0, 0,  // stack trace [4]
                                            0, 0,   0,   0};             // operation 0
  ASSERT_GE(capture.requests.back().size(), expected.size());
  EXPECT_EQ(std::vector<unsigned char>(capture.requests.back().begin(),
                                       capture.requests.back().begin() + static_cast<long>(expected.size())),
            expected);
}

TEST(FatalDialogCalls, EachSideBelongsToItsThread)
{
  vtest::RecordingFatalDialog dialog;
  err::FatalDialogRef_t reference(dialog);
  dio::LocalAccessPoint_t local;
  local.Register({err::FatalDialogClass, 1}, reference);
  err::ProxyFatalDialog_t proxy(dio::RemoteReference_t({err::FatalDialogClass, 1}, local));
  dio::Stack_t stack(false);
  EXPECT_TRUE(vtest::AssertsOnAnotherThread([&] { reference.Invoke(stack); }));
  EXPECT_TRUE(vtest::AssertsOnAnotherThread([&] { proxy.Show("f", 2, u"e", "s", {}, {}); }));
  EXPECT_TRUE(dialog.Reports().empty());
}

TEST(FatalDialogCalls, EveryArgumentArrives)
{
  vtest::RecordingFatalDialog dialog;
  err::FatalDialogRef_t reference(dialog);
  dio::LocalAccessPoint_t local;
  local.Register({err::FatalDialogClass, 1}, reference);
  err::ProxyFatalDialog_t proxy(dio::RemoteReference_t({err::FatalDialogClass, 1}, local));
  for (const auto& address : {glo::Optional_t<std::uint32_t>(), glo::Optional_t<std::uint32_t>(0x1234)}) {
    proxy.Show("AVN_UpdateRegionFile.cpp", 65535, u"Disk \u00E9 full", "112", address, {0x401000, 0x402020, 7});
    const auto report = dialog.Last();
    EXPECT_EQ(report.file, "AVN_UpdateRegionFile.cpp");
    EXPECT_EQ(report.line, 65535);
    EXPECT_EQ(report.extra, u"Disk \u00E9 full");
    EXPECT_EQ(report.subId, "112");
    EXPECT_EQ(report.programAddress, address);
    EXPECT_EQ(report.stackTrace, (std::vector<std::uint32_t>{0x401000, 0x402020, 7}));
  }
  proxy.Show("", 0, u"", "", {}, {});
  EXPECT_EQ(dialog.Reports().size(), 3u);
  EXPECT_TRUE(dialog.Last().stackTrace.empty());
  dio::Stack_t unknown(false);
  unknown.Push(std::int32_t{1});
  EXPECT_THROW(reference.InvokeConst(unknown), dio::Exception_t);
}

}  // namespace
