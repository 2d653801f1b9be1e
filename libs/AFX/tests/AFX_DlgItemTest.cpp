#include "AFX_DlgItem.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/QtTestApplication.h"

namespace {

// A dialog of id 4104 with a label inside a group box and a button.
struct Dialog {
  QWidget window;
  QGroupBox* group = new QGroupBox(&window);
  QLabel* label = new QLabel(group);
  QPushButton* button = new QPushButton(&window);

  Dialog()
  {
    afx::AFX_SetCtrlId(&window, 4104);
    afx::AFX_SetCtrlId(group, 4144);
    afx::AFX_SetCtrlId(label, 4145);
    afx::AFX_SetCtrlId(button, 1006);
  }
};

TEST(DlgItem, FindsControlsAtAnyDepthByTheirId)
{
  Dialog dialog;
  EXPECT_EQ(afx::AFX_GetDlgItem(&dialog.window, 4145), dialog.label);
  EXPECT_EQ(afx::AFX_GetDlgItem(&dialog.window, 1006), dialog.button);
  EXPECT_EQ(afx::AFX_FindDlgItem(&dialog.window, 77), nullptr);
  try {
    afx::AFX_GetDlgItem(&dialog.window, 77);
    FAIL() << "no control 77";
  } catch (const glo::Exception_t& error) {
    EXPECT_EQ(error.Message(), u"Resource Id: 77");
  }
}

TEST(DlgItem, BindsAMemberToItsControl)
{
  Dialog dialog;
  afx::Ctrl_t<QLabel> label;
  EXPECT_FALSE(label.Attached());
  EXPECT_THROW(label.Get(), glo::Assert_t);
  afx::AFX_InitControlMember(&dialog.window, 4145, label);
  EXPECT_EQ(label.Get(), dialog.label);
  // Bound once only.
  EXPECT_THROW(afx::AFX_InitControlMember(&dialog.window, 4145, label), glo::Assert_t);
}

TEST(DlgItem, RefusesWhatNoTemplateCanHold)
{
  Dialog dialog;
  afx::Ctrl_t<QLabel> label;
  EXPECT_THROW(afx::AFX_InitControlMember(&dialog.window, 0, label), glo::Assert_t);
  EXPECT_THROW(afx::AFX_InitControlMember(&dialog.window, -1, label), glo::Assert_t);
  // A button is no static text.
  EXPECT_THROW(afx::AFX_InitControlMember(&dialog.window, 1006, label), glo::Assert_t);
  EXPECT_FALSE(label.Attached());
}

TEST(DlgItem, AMissingControlNamesItselfAndItsDialog)
{
  Dialog dialog;
  afx::Ctrl_t<QLabel> label;
  try {
    afx::AFX_InitControlMember(&dialog.window, 4146, label);
    FAIL() << "no control 4146";
  } catch (const afx::BadControlInitialization_t& error) {
    EXPECT_EQ(error.Message(), u"Resource Id: 4146\nParent Id: 4104");
  }
  // A dialog without an id of its own names only the control.
  QWidget bare;
  try {
    afx::AFX_InitControlMember(&bare, 4146, label);
    FAIL() << "no control 4146";
  } catch (const afx::BadControlInitialization_t& error) {
    EXPECT_EQ(error.Message(), u"Resource Id: 4146");
  }
}

}  // namespace
