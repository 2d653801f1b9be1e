#include "TUI_EmbeddedProgressDlg.h"

#include <QBoxLayout>
#include <QLabel>

#include "AFX_DlgItem.h"
#include "GLO_Exception.h"

namespace tui {
namespace {

// The box layout below the root that holds the control, and its index there.
QBoxLayout* LayoutHolding(QLayout* layout, QWidget* control, int& index)
{
  if (layout == nullptr) return nullptr;
  for (int i = 0; i < layout->count(); ++i) {
    QLayoutItem* item = layout->itemAt(i);
    if (item->widget() == control) {
      index = i;
      return qobject_cast<QBoxLayout*>(layout);
    }
    if (QBoxLayout* found = LayoutHolding(item->layout(), control, index)) return found;
  }
  return nullptr;
}

}  // namespace

EmbeddedProgressDlg_t::EmbeddedProgressDlg_t(int templateId, BarMode_t mode,
                                             std::unique_ptr<err::FatalDialogIntf_t> fatalDialog)
    : ProgressDlgBase_t(mode, std::move(fatalDialog)),
      templateId_(templateId),
      window_([this](const win::Message_t& message) { return OnMessage(message); })
{
}

EmbeddedProgressDlg_t::~EmbeddedProgressDlg_t() = default;

void EmbeddedProgressDlg_t::Attach(QWidget* parent, win::WindowHandle_t parentWindow)
{
  setParent(parent);
  afx::AFX_SetCtrlId(this, templateId_);
  SetParentWindow(parentWindow);
  attached_ = true;
}

void EmbeddedProgressDlg_t::Place(int placeholderId)
{
  glo::GLO_Assert(attached_, GLO_HERE);
  QWidget* placeholder = afx::AFX_GetDlgItem(parentWidget(), placeholderId);
  int index = 0;
  QBoxLayout* layout = LayoutHolding(placeholder->parentWidget()->layout(), placeholder, index);
  glo::GLO_Assert(layout != nullptr, GLO_HERE);
  layout->insertWidget(index + 1, this);
  QSizePolicy policy = sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  setSizePolicy(policy);
  hide();
}

void EmbeddedProgressDlg_t::Start()
{
  glo::GLO_Assert(attached_, GLO_HERE);
  serving_ = false;
  ClearFinished();
  StopWorker();
  serving_ = true;
  StartWorker();
}

void EmbeddedProgressDlg_t::Abort()
{
  glo::GLO_Assert(attached_, GLO_HERE);
  if (Finished()) return;
  serving_ = false;
  StopWorker();
}

void EmbeddedProgressDlg_t::Reset()
{
  for (int line : {IdTitleLine, IdPhaseLine, IdPercentLine}) SetItemText(line, {});
  HideBar();
  hide();
}

void EmbeddedProgressDlg_t::End()
{
  glo::GLO_Assert(attached_, GLO_HERE);
  if (!Finished()) serving_ = false;
  ProgressDlgBase_t::End();
}

std::intptr_t EmbeddedProgressDlg_t::OnMessage(const win::Message_t& message)
{
  dio::DIO_ServeMessage(Server(), message, serving_);
  return 0;
}

}  // namespace tui
