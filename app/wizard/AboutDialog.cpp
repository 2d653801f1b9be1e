#include "AboutDialog.h"

#include <QLabel>
#include <QStyle>

#include "AFX_DlgItem.h"
#include "AFX_Text.h"
#include "GDI_Icon.h"
#include "GLO_Exception.h"
#include "WIN_ResourceString.h"
#include "WIN_VersionInfo.h"
#include "ui_AboutDialog.h"

namespace vm {
namespace {

QLabel* Label(QWidget* dialog, int id)
{
  auto* label = qobject_cast<QLabel*>(afx::AFX_GetDlgItem(dialog, id));
  glo::GLO_Assert(label != nullptr, GLO_HERE);
  return label;
}

}  // namespace

SimpleAboutDialog_t::SimpleAboutDialog_t(std::optional<std::uint32_t> iconId, QWidget* parent,
                                         const win::VersionInfo_t* version)
    : QDialog(parent), ui_(std::make_unique<Ui::AboutDialog>()), iconId_(iconId)
{
  ui_->setupUi(this);
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  OnInitDialog(version != nullptr ? *version : win::VersionInfo_t::Get());
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

SimpleAboutDialog_t::~SimpleAboutDialog_t() = default;

void SimpleAboutDialog_t::OnInitDialog(const win::VersionInfo_t& version)
{
  Label(this, 9306)
      ->setText(afx::AFX_ToQString(win::ResourceString_t(9310, GLO_HERE).Format(version.VersionText(), GLO_HERE)));
  setWindowTitle(afx::AFX_ToQString(win::ResourceString_t(9311, GLO_HERE).Format(version.ProductName(), GLO_HERE)));
  Label(this, 9307)->setText(afx::AFX_ToQString(version.LegalNotice()));

  // The build note: the build time and the builder, where the build type
  // has them, one after the other.
  std::u16string note;
  if (auto time = version.BuildTimeText()) note = *time;
  if (auto builder = version.BuilderText()) note += (note.empty() ? u"" : u" ") + *builder;
  QLabel* buildNote = Label(this, 9308);
  buildNote->setText(afx::AFX_ToQString(note));
  buildNote->setVisible(!note.empty());

  QLabel* icon = Label(this, 9312);
  if (iconId_) {
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(gdi::GDI_LoadIcon(*iconId_).pixmap(QSize(size, size), devicePixelRatio()));
    icon->setAccessibleName(windowTitle());
  } else {
    icon->hide();
  }
}

AboutDialog_t::AboutDialog_t(QWidget* parent, const win::VersionInfo_t* version)
    : SimpleAboutDialog_t(100, parent, version)
{
}

}  // namespace vm
