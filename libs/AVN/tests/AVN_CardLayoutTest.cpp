#include "AVN_CardLayout.h"

#include <gtest/gtest.h>

#include "GLO_Exception.h"

namespace {

TEST(CardLayout, ThirtyThreeKindsHaveTheirCardFiles)
{
  int supported = 0;
  for (std::uint32_t kind = 0; kind < 100; ++kind) supported += avn::AVN_IsSupportedKind(kind) ? 1 : 0;
  EXPECT_EQ(supported, 33);
  const std::pair<std::uint32_t, const char16_t*> cases[] = {
      {1, u"/media/card/ldr_sys/avtn_db.bin"},
      {20, u"/media/card/sl_tpc/sl_tpc.dat"},
      {21, u"/media/card/sl_tpc/sl_tpc.dat"},
      {37, u"/media/card/sl_tpc/sl_tpc.sla"},
      {52, u"/media/card/.System/AVTN/terrain.tdb"},
      {57, u"/media/card/.System/AVTN/Skyleaf/sl_tpc.dat"},
      {79, u"/media/card/air_sport.xpt"},
  };
  for (const auto& [kind, path] : cases) EXPECT_EQ(avn::CardPath(u"/media/card", kind), path) << kind;
  EXPECT_EQ(avn::CardPath(u"/media/card/", 3), u"/media/card/bmap.bin");
  EXPECT_EQ(avn::AVN_CardName(1), u"ldr_sys\\avtn_db.bin");
}

TEST(CardLayout, AnUnsupportedKindHasNoCardFile)
{
  for (std::uint32_t kind : {0u, 4u, 80u, 65535u}) {
    EXPECT_FALSE(avn::AVN_IsSupportedKind(kind)) << kind;
    EXPECT_THROW(avn::CardPath(u"/media/card", kind), glo::Assert_t) << kind;
  }
}

}  // namespace
