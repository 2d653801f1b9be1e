#include "WizardSheet.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

#include "AFX_DlgItem.h"
#include "AFX_Text.h"
#include "GLO_Exception.h"
#include "SelectDrivePage.h"
#include "TransferPage.h"
#include "WIN_ResourceString.h"
#include "WIN_VersionInfo.h"
#include "WelcomePage.h"

namespace vm {

WizardSheet_t::WizardSheet_t(const WizardContext_t& context, QWidget* parent)
    : QWizard(parent),
      welcome_(new WelcomePage_t(context.runMode, context.updateFile)),
      selectDrive_(new SelectDrivePage_t(context.driveSources)),
      transfer_(new TransferPage_t(context))
{
  setWizardStyle(QWizard::ClassicStyle);
  setWindowTitle(afx::AFX_ToQString(win::VersionInfo_t::Get().ProductName()));
  setOptions(QWizard::NoBackButtonOnStartPage | QWizard::HaveCustomButton1);
  setButtonText(QWizard::CustomButton1,
                afx::AFX_ToQString(
                    win::ResourceString_t(9309, GLO_HERE).Format(win::VersionInfo_t::Get().ProductName(), GLO_HERE)));
  setButtonLayout({QWizard::CustomButton1, QWizard::Stretch, QWizard::BackButton, QWizard::NextButton,
                   QWizard::FinishButton, QWizard::CancelButton});
  afx::AFX_SetCtrlId(button(QWizard::BackButton), IdBackButton);
  afx::AFX_SetCtrlId(button(QWizard::NextButton), IdNextButton);
  afx::AFX_SetCtrlId(button(QWizard::FinishButton), IdFinishButton);
  afx::AFX_SetCtrlId(button(QWizard::CancelButton), IdCancelButton);
  afx::AFX_SetCtrlId(button(QWizard::CustomButton1), IdAboutButton);
  connect(this, &QWizard::customButtonClicked, this, [this] { emit AboutRequested(); });

  addPage(welcome_);
  addPage(selectDrive_);
  addPage(transfer_);
  for (PropertyPage_t* page : {static_cast<PropertyPage_t*>(welcome_), static_cast<PropertyPage_t*>(selectDrive_),
                               static_cast<PropertyPage_t*>(transfer_)})
    page->OnInitDialog();
  connect(this, &QWizard::currentIdChanged, this, &WizardSheet_t::OnPageChanged);
  qApp->installEventFilter(this);
}

PropertyPage_t* WizardSheet_t::ActivePage() const
{
  return active_;
}

void WizardSheet_t::OnPageChanged(int id)
{
  if (active_ != nullptr) active_->OnKillActive();
  active_ = qobject_cast<PropertyPage_t*>(page(id));
  if (active_ != nullptr) active_->OnSetActive();
}

void WizardSheet_t::ApplyWizardButtons(std::uint32_t flags)
{
  if (active_ == nullptr) return;
  // Completeness decides Next and Finish; QWizard sets Back on every change
  // of it, so Back comes last.
  active_->SetComplete((flags & (WizardNext | WizardFinish)) != 0);
  if (currentId() != startId()) button(QWizard::BackButton)->setEnabled((flags & WizardBack) != 0);
}

std::optional<int> WizardSheet_t::DefaultButtonId() const
{
  for (auto which : {QWizard::NextButton, QWizard::FinishButton})
    if (auto* push = qobject_cast<QPushButton*>(button(which)); push != nullptr && push->isDefault())
      return afx::AFX_GetCtrlId(push);
  return std::nullopt;
}

void WizardSheet_t::RequestEnd(int result)
{
  emit EndRequested(result);
}

void WizardSheet_t::reject()
{
  if (active_ != nullptr)
    active_->OnCancel();
  else
    RequestEnd(done_ ? QDialog::Accepted : Cancelled);
}

void WizardSheet_t::accept()
{
  if (active_ != nullptr) active_->OnWizardFinish();
}

bool WizardSheet_t::eventFilter(QObject* watched, QEvent* event)
{
  if (event->type() == QEvent::KeyPress) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget != nullptr && (widget == this || isAncestorOf(widget)) &&
        PreTranslateEnter(static_cast<const QKeyEvent&>(*event)))
      return true;
  }
  return QWizard::eventFilter(watched, event);
}

bool WizardSheet_t::PreTranslateEnter(const QKeyEvent& key)
{
  if (key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter) return false;
  if ((key.modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) != 0) return false;
  QWidget* focus = QApplication::focusWidget();
  if (focus == nullptr) return false;
  if (auto* push = qobject_cast<QPushButton*>(focus)) {
    push->click();
    return true;
  }
  if (active_ == nullptr) return false;
  const std::optional<int> id = active_->DefaultId();
  if (!id) return false;
  QWidget* control = afx::AFX_FindDlgItem(active_, *id);
  if (control == nullptr) control = afx::AFX_FindDlgItem(this, *id);
  auto* defaultButton = qobject_cast<QAbstractButton*>(control);
  glo::GLO_Assert(defaultButton != nullptr, GLO_HERE);
  defaultButton->click();
  return true;
}

}  // namespace vm
