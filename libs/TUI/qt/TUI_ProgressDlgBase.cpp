#include "TUI_ProgressDlgBase.h"

#include <QAbstractButton>
#include <QLabel>
#include <QProgressBar>

#include "AFX_DlgItem.h"
#include "AFX_Text.h"
#include "GLO_Exception.h"
#include "TUI_IndefiniteProgressCtrl.h"
#include "WIN_ResourceString.h"
#include "ui_ProgressDialog.h"

namespace tui {
namespace {

// "Initializing..."
constexpr std::uint32_t InitializingMessage = 5887;

err::FatalDialogIntf_t& Present(const std::unique_ptr<err::FatalDialogIntf_t>& dialog)
{
  glo::GLO_Assert(dialog != nullptr, GLO_HERE);
  return *dialog;
}

}  // namespace

ProgressDlgBase_t::ProgressDlgBase_t(BarMode_t mode, std::unique_ptr<err::FatalDialogIntf_t> fatalDialog)
    : ui_(std::make_unique<Ui::ProgressDialog>()),
      barMode_(mode),
      fatalDialog_(std::move(fatalDialog)),
      messageBox_(this),
      fatalRef_(Present(fatalDialog_)),
      messageBoxRef_(messageBox_),
      selfRef_(std::make_unique<ProgressDlgRef_t>(*this)),
      server_(local_)
{
  local_.Register({err::FatalDialogClass, 1}, fatalRef_);
  local_.Register({MessageBoxClass, 1}, messageBoxRef_);
  local_.Register({ProgressDlgClass, 1}, *selfRef_);

  ui_->setupUi(this);
  percentageBar_ = ui_->bar;
  indefiniteBar_ = ui_->indefinite;
  percentageBar_->setRange(0, 100);
  currentBar_ = mode == IndefiniteBar ? static_cast<QProgressBar*>(indefiniteBar_) : percentageBar_;
  (mode == IndefiniteBar ? static_cast<QProgressBar*>(percentageBar_) : indefiniteBar_)->hide();
  ui_->title->clear();
  ui_->phase->setText(afx::AFX_ToQString(win::ResourceString_t(InitializingMessage, GLO_HERE).Text()));
  ui_->percent->clear();
}

ProgressDlgBase_t::~ProgressDlgBase_t() = default;

void ProgressDlgBase_t::SetItemText(std::uint32_t controlId, const std::u16string& text)
{
  QWidget* control = afx::AFX_GetDlgItem(this, static_cast<int>(controlId));
  const QString shown = afx::AFX_ToQString(text);
  if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setText(shown);
  } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    button->setText(shown);
  } else {
    control->setWindowTitle(shown);
  }
}

void ProgressDlgBase_t::ShowItem(std::uint32_t controlId, std::int32_t showCommand)
{
  afx::AFX_GetDlgItem(this, static_cast<int>(controlId))->setVisible(showCommand != 0);
}

void ProgressDlgBase_t::SetPos(std::int32_t percent)
{
  if (barMode_ == IndefiniteBar) {
    StopIndefinite();
    SetBarMode(PercentageBar);
  }
  currentBar_->setValue(percent);
}

void ProgressDlgBase_t::SetTitle(const std::u16string& title)
{
  setWindowTitle(afx::AFX_ToQString(title));
}

void ProgressDlgBase_t::Show()
{
  show();
}

void ProgressDlgBase_t::Hide()
{
  hide();
}

void ProgressDlgBase_t::ShowBar()
{
  currentBar_->show();
}

void ProgressDlgBase_t::HideBar()
{
  currentBar_->hide();
}

void ProgressDlgBase_t::StartIndefinite()
{
  if (barMode_ != IndefiniteBar) SetBarMode(IndefiniteBar);
  glo::GLO_Assert(currentBar_ == indefiniteBar_, GLO_HERE);
  indefiniteBar_->SetRunning(true);
}

void ProgressDlgBase_t::StopIndefinite()
{
  if (barMode_ != IndefiniteBar) return;
  glo::GLO_Assert(currentBar_ == indefiniteBar_, GLO_HERE);
  indefiniteBar_->SetRunning(false);
}

void ProgressDlgBase_t::RaiseHold()
{
  hold_ = true;
  Notify(MessageHoldRaised);
}

void ProgressDlgBase_t::ReleaseHold()
{
  hold_ = false;
  Notify(MessageHoldReleased);
}

void ProgressDlgBase_t::Finish()
{
  Notify(MessageWorkFinished);
  finished_ = true;
}

void ProgressDlgBase_t::End()
{
  Notify(MessageWorkEnded);
}

void ProgressDlgBase_t::SetBarMode(BarMode_t mode)
{
  currentBar_->hide();
  barMode_ = mode;
  currentBar_ = mode == IndefiniteBar ? static_cast<QProgressBar*>(indefiniteBar_) : percentageBar_;
  currentBar_->show();
}

void ProgressDlgBase_t::Notify(std::uint32_t message)
{
  if (parent_ != 0) win::WIN_SendMessage(parent_, win::Message_t{message, 0, 0, nullptr});
}

}  // namespace tui
