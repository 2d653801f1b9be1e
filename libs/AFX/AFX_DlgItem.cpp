#include "AFX_DlgItem.h"

#include <QVariant>
#include <string>

namespace afx {
namespace {

std::u16string Decimal(int value)
{
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

int AFX_GetCtrlId(const QWidget* control)
{
  return control->property(CtrlIdProperty).toInt();
}

void AFX_SetCtrlId(QWidget* control, int id)
{
  control->setProperty(CtrlIdProperty, id);
}

QWidget* AFX_FindDlgItem(const QWidget* window, int id)
{
  for (QWidget* child : window->findChildren<QWidget*>())
    if (AFX_GetCtrlId(child) == id) return child;
  return nullptr;
}

QWidget* AFX_GetDlgItem(const QWidget* window, int id)
{
  QWidget* control = AFX_FindDlgItem(window, id);
  if (control == nullptr) throw glo::Exception_t(GLO_HERE, u"Resource Id: " + Decimal(id), {});
  return control;
}

BadControlInitialization_t::BadControlInitialization_t(const char* file, unsigned line, int id, int parentId)
    : glo::Exception_t(
          file, line, u"Resource Id: " + Decimal(id) + (parentId != 0 ? u"\nParent Id: " + Decimal(parentId) : u""), {})
{
}

}  // namespace afx
