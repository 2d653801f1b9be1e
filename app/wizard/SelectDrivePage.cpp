#include "SelectDrivePage.h"

#include <QBoxLayout>
#include <QPushButton>

#include "AFX_DlgItem.h"
#include "GLO_Exception.h"
#include "ui_SelectDrivePage.h"

namespace vm {

SelectDrivePage_t::SelectDrivePage_t(win::DriveSources_t sources)
    : PropertyPage_t(106),
      ui_(std::make_unique<Ui::SelectDrivePage>()),
      sources_(std::move(sources)),
      driveDialog_(win::WIN_RemovableDrives(sources_))
{
  ui_->setupUi(this);
}

SelectDrivePage_t::~SelectDrivePage_t() = default;

void SelectDrivePage_t::OnInitDialog()
{
  QWidget* place = afx::AFX_GetDlgItem(this, 1004);
  driveDialog_.Create(this);
  afx::AFX_SetCtrlId(&driveDialog_, 4104);
  auto* layout = qobject_cast<QBoxLayout*>(place->parentWidget()->layout());
  glo::GLO_Assert(layout != nullptr && layout->indexOf(place) >= 0, GLO_HERE);
  layout->insertWidget(layout->indexOf(place) + 1, &driveDialog_);
  driveDialog_.show();
  auto* find = qobject_cast<QPushButton*>(afx::AFX_GetDlgItem(this, 1006));
  glo::GLO_Assert(find != nullptr, GLO_HERE);
  // The drive list comes after control 1004 in the template's order, so it
  // takes the focus before Find Drive.
  QWidget::setTabOrder(&driveDialog_.Combo(), find);
  connect(find, &QPushButton::clicked, this, &SelectDrivePage_t::OnFindDrive);
}

bool SelectDrivePage_t::OnSetActive()
{
  SetWizardButtons(WizardBack | WizardNext);
  return true;
}

void SelectDrivePage_t::OnFindDrive()
{
  driveDialog_.Refresh(win::WIN_RemovableDrives(sources_));
  SetWizardButtons(WizardBack | WizardNext);
}

std::u16string SelectDrivePage_t::SelectedDrive()
{
  return driveDialog_.Combo().SelectedDrive();
}

}  // namespace vm
