#include "AFX_DriveSettingsDialog.h"

#include "ui_DriveSettingsDialog.h"

namespace afx {

DriveSettingsDialog_t::DriveSettingsDialog_t(win::DriveMap_t drives)
    : ui_(std::make_unique<Ui::DriveSettingsDialog>()), drives_(std::move(drives))
{
}

DriveSettingsDialog_t::~DriveSettingsDialog_t() = default;

void DriveSettingsDialog_t::Create(QWidget* parent)
{
  setParent(parent);
  ui_->setupUi(this);
  OnInitDialog();
}

void DriveSettingsDialog_t::OnInitDialog()
{
  AFX_InitControlMember(this, 4102, combo_);
  AFX_InitControlMember(this, 4145, instructions_);
  AFX_InitControlMember(this, 4144, group_);
  combo_->Fill(drives_);
  combo_->setCurrentIndex(combo_->count() > 0 ? 0 : -1);
}

void DriveSettingsDialog_t::Refresh(win::DriveMap_t drives)
{
  drives_ = std::move(drives);
  combo_->Refresh(drives_);
}

}  // namespace afx
