#include "AboutDialog.h"

#include <gtest/gtest.h>

#include <QLabel>

#include "AFX_DlgItem.h"
#include "GLO_Text.h"
#include "WIN_VersionInfo.h"
#include "WizardTestSupport.h"

namespace {

win::VersionInfo_t Version(const std::string& buildType)
{
  return win::VersionInfo_t{win::FileMetaData_t(
      glo::GLO_ToWide(std::string(VERSION_MODULES) + "/version-" + buildType + ".res", glo::CodePageUtf8))};
}

TEST(AboutDialog, ShowsVersionNoticeAndTheBuildNoteOutsideReleases)
{
  struct Case {
    const char* buildType;
    QString versionLine;
    QString buildNote;
  };
  const Case cases[] = {
      {"Release", "Version 1.4.7", ""},
      {"Internal", "Version 1.4.7.2 Internal", "Mar 7 2026 09:05:01 (alice)"},
  };
  for (const auto& c : cases) {
    const auto version = Version(c.buildType);
    vm::AboutDialog_t about(nullptr, &version);
    EXPECT_EQ(about.windowTitle(), "About Velmora") << c.buildType;
    EXPECT_EQ(wtest::Text(about, 9306), c.versionLine) << c.buildType;
    EXPECT_EQ(wtest::Text(about, 9307), QString::fromUtf8("Copyright © 2026 Velmora. All rights reserved."));
    EXPECT_EQ(wtest::Text(about, 9308), c.buildNote) << c.buildType;
    auto* icon = qobject_cast<QLabel*>(afx::AFX_GetDlgItem(&about, 9312));
    EXPECT_FALSE(icon->pixmap().isNull());
    EXPECT_FALSE(icon->isHidden());
  }
}

TEST(AboutDialog, WithoutAnIconShowsOnlyTheTexts)
{
  const auto version = Version("Release");
  vm::SimpleAboutDialog_t about(std::nullopt, nullptr, &version);
  EXPECT_TRUE(afx::AFX_GetDlgItem(&about, 9312)->isHidden());
  EXPECT_EQ(wtest::Text(about, 9306), "Version 1.4.7");
  wtest::WhenModal([](QWidget& modal) { wtest::Button(modal, 1).click(); });
  EXPECT_EQ(about.exec(), QDialog::Accepted);
}

}  // namespace
