#include "AFX_DriveCombo.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QStyle>
#include <algorithm>

#include "AFX_Text.h"
#include "GLO_Exception.h"

namespace afx {

DriveCombo_t::DriveCombo_t(QWidget* parent) : QComboBox(parent) {}

void DriveCombo_t::Fill(const win::DriveMap_t& drives)
{
  const QFontMetrics metrics(font());
  int widest = 0;
  for (const auto& [root, text] : drives) {
    const int before = count();
    addItem(AFX_ToQString(text), AFX_ToQString(root));
    glo::GLO_Assert(count() == before + 1, GLO_HERE);
    widest = std::max(widest, metrics.horizontalAdvance(AFX_ToQString(text)) + metrics.averageCharWidth());
  }
  // A list as wide as its longest text, its frame and a scroll bar, so that
  // no display text is cut off when the list drops down.
  const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
  const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  view()->setMinimumWidth(widest + 2 * frame + scrollBar);
  setEnabled(count() > 0);
}

void DriveCombo_t::Refresh(const win::DriveMap_t& drives)
{
  clear();
  Fill(drives);
  setCurrentIndex(count() > 0 ? 0 : -1);
}

std::u16string DriveCombo_t::SelectedDrive() const
{
  if (currentIndex() < 0) return {};
  return AFX_ToWide(currentData().toString());
}

}  // namespace afx
