#include "WizardFrame.h"

#include <QLayout>
#include <QScreen>
#include <QShortcut>

#include "AFX_DlgItem.h"
#include "AFX_Text.h"
#include "AboutDialog.h"
#include "GDI_Icon.h"
#include "GLO_Exception.h"
#include "PropertyPage.h"
#include "WIN_VersionInfo.h"
#include "ui_WizardFrame.h"

namespace vm {

// The application icon, icon 100 of the resource module.
inline constexpr std::uint32_t ApplicationIconId = 100;

WizardFrame_t::WizardFrame_t(const WizardContext_t& context) : ui_(std::make_unique<Ui::WizardFrame>()), sheet_(context)
{
  ui_->setupUi(this);
  setWindowTitle(afx::AFX_ToQString(win::VersionInfo_t::Get().ProductName()));
  setWindowIcon(gdi::GDI_LoadIcon(ApplicationIconId));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);

  // The sheet takes the place of control 1000, inside the frame's layout so
  // that it follows the font and the screen.
  QWidget* place = afx::AFX_FindDlgItem(this, 1000);
  glo::GLO_Assert(place != nullptr, GLO_HERE);
  sheet_.setParent(this);
  sheet_.setWindowFlags(Qt::Widget);
  delete layout()->replaceWidget(place, &sheet_);
  sheet_.show();

  connect(&sheet_, &WizardSheet_t::EndRequested, this, &WizardFrame_t::EndModal);
  connect(&sheet_, &WizardSheet_t::AboutRequested, this, &WizardFrame_t::OnAbout);
  auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(help, &QShortcut::activated, this, &WizardFrame_t::OnAbout);
}

WizardFrame_t::~WizardFrame_t() = default;

void WizardFrame_t::OnAbout()
{
  AboutDialog_t about(this);
  about.exec();
  update();
}

void WizardFrame_t::reject()
{
  if (PropertyPage_t* page = sheet_.ActivePage())
    win::WIN_SendMessage(page->Handle(), win::Message_t{MessageStopTransfer, 0, 0, nullptr});
  EndModal(sheet_.Done() ? QDialog::Accepted : WizardSheet_t::Cancelled);
}

void WizardFrame_t::EndModal(int result)
{
  done(result);
}

void WizardFrame_t::showEvent(QShowEvent* event)
{
  QDialog::showEvent(event);
  if (centred_) return;
  centred_ = true;
  // As large as the pages want (adjustSize would cap the window at two
  // thirds of the screen and cut off long drive names), within the screen.
  QSize size = sizeHint().expandedTo(minimumSizeHint());
  if (QScreen* shown = screen()) {
    size = size.boundedTo(shown->availableGeometry().size());
    resize(size);
    move(shown->availableGeometry().center() - rect().center());
  } else {
    resize(size);
  }
}

}  // namespace vm
