#include "PropertyPage.h"

#include <QGuiApplication>
#include <QPushButton>

#include "AFX_DlgItem.h"
#include "GLO_Exception.h"
#include "WizardSheet.h"

namespace vm {

PropertyPage_t::PropertyPage_t(int templateId)
    : templateId_(templateId), window_([this](const win::Message_t& message) { return OnMessage(message); })
{
  picture_.Load(WizardPictureId);
  setPixmap(QWizard::WatermarkPixmap, picture_.Pixmap(qApp->devicePixelRatio()));
}

WizardSheet_t& PropertyPage_t::Sheet() const
{
  auto* sheet = qobject_cast<WizardSheet_t*>(wizard());
  glo::GLO_Assert(sheet != nullptr, GLO_HERE);
  return *sheet;
}

void PropertyPage_t::SetWizardButtons(std::uint32_t flags)
{
  WizardSheet_t* sheet = &Sheet();
  QMetaObject::invokeMethod(
      sheet, [sheet, flags] { sheet->ApplyWizardButtons(flags); }, Qt::QueuedConnection);
}

bool PropertyPage_t::isComplete() const
{
  return complete_;
}

void PropertyPage_t::SetComplete(bool complete)
{
  complete_ = complete;
  emit completeChanged();
}

void PropertyPage_t::OnCancel()
{
  Sheet().RequestEnd(Sheet().Done() ? QDialog::Accepted : WizardSheet_t::Cancelled);
}

void PropertyPage_t::OnWizardFinish()
{
  Sheet().RequestEnd(QDialog::Accepted);
}

std::optional<int> PropertyPage_t::DefaultId() const
{
  for (QPushButton* button : findChildren<QPushButton*>())
    if (button->isDefault() && afx::AFX_GetCtrlId(button) != 0) return afx::AFX_GetCtrlId(button);
  return Sheet().DefaultButtonId();
}

std::intptr_t PropertyPage_t::OnMessage(const win::Message_t&)
{
  return 0;
}

}  // namespace vm
