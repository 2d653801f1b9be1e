#pragma once
// Controls found by their numeric id. Every control of a dialog template
// carries its id as the dynamic property "ctrlId" (set in the .ui files
// under res/ui/, or by code for controls made at run time).

#include <QWidget>

#include "GLO_Exception.h"

namespace afx {

inline constexpr const char* CtrlIdProperty = "ctrlId";

// The control's id; 0 when it has none.
int AFX_GetCtrlId(const QWidget* control);
void AFX_SetCtrlId(QWidget* control, int id);

// The first descendant of the window, in creation order, that carries the
// id; null when there is none.
QWidget* AFX_FindDlgItem(const QWidget* window, int id);

// The descendant of the window that carries the id. None raises
// glo::Exception_t with "Resource Id: " and the id.
QWidget* AFX_GetDlgItem(const QWidget* window, int id);

// A dialog's control of kind T, bound to the control by AFX_InitControlMember.
// The control belongs to the dialog; the member only names it.
template <class T>
class Ctrl_t {
 public:
  bool Attached() const noexcept { return control_ != nullptr; }
  // Using a member that is not bound is a program fault (glo::Assert_t).
  T* Get() const
  {
    glo::GLO_Assert(control_ != nullptr, GLO_HERE);
    return control_;
  }
  T* operator->() const { return Get(); }
  T& operator*() const { return *Get(); }

  // Binds the member; only AFX_InitControlMember calls this.
  void Attach(T* control) noexcept { control_ = control; }

 private:
  T* control_ = nullptr;
};

// A dialog template that lacks a control its class binds.
class BadControlInitialization_t : public glo::Exception_t {
 public:
  // "Resource Id: " and the id; when the dialog has an id of its own, a line
  // end, "Parent Id: " and that id.
  BadControlInitialization_t(const char* file, unsigned line, int id, int parentId);
};

// Binds the dialog's control with the id to the member. A member already
// bound, the id 0 or -1, or a control of another kind than T are program
// faults (glo::Assert_t); no control with the id raises
// BadControlInitialization_t.
template <class T>
void AFX_InitControlMember(QWidget* dialog, int id, Ctrl_t<T>& member)
{
  glo::GLO_Assert(!member.Attached() && id != 0 && id != -1, GLO_HERE);
  QWidget* control = AFX_FindDlgItem(dialog, id);
  if (control == nullptr) throw BadControlInitialization_t(GLO_HERE, id, AFX_GetCtrlId(dialog));
  T* typed = qobject_cast<T*>(control);
  glo::GLO_Assert(typed != nullptr, GLO_HERE);
  member.Attach(typed);
}

}  // namespace afx
