#include "AFX_MessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <vector>

#include "AFX_DlgItem.h"
#include "AFX_Text.h"
#include "WIN_VersionInfo.h"

namespace afx {
namespace {

struct Button_t {
  int id;
  QMessageBox::StandardButton standard;  // QMessageBox::NoButton: a button with its own text
  const char* text;
  const char* textId;  // the text's string id, for the resource translator
  QMessageBox::ButtonRole role;
};

std::vector<Button_t> ButtonsOf(std::uint32_t type)
{
  const Button_t ok{IdOk, QMessageBox::Ok, nullptr, nullptr, QMessageBox::AcceptRole};
  const Button_t cancel{IdCancel, QMessageBox::Cancel, nullptr, nullptr, QMessageBox::RejectRole};
  const Button_t yes{IdYes, QMessageBox::Yes, nullptr, nullptr, QMessageBox::YesRole};
  const Button_t no{IdNo, QMessageBox::No, nullptr, nullptr, QMessageBox::NoRole};
  const Button_t retry{IdRetry, QMessageBox::Retry, nullptr, nullptr, QMessageBox::AcceptRole};
  switch (type & 0xF) {
    case 1:
      return {ok, cancel};
    case 2:
      return {{IdAbort, QMessageBox::Abort, nullptr, nullptr, QMessageBox::RejectRole},
              retry,
              {IdIgnore, QMessageBox::Ignore, nullptr, nullptr, QMessageBox::AcceptRole}};
    case 3:
      return {yes, no, cancel};
    case 4:
      return {yes, no};
    case 5:
      return {retry, cancel};
    case 6:
      return {cancel,
              {IdTryAgain, QMessageBox::NoButton, "&Try Again", "20217", QMessageBox::AcceptRole},
              {IdContinue, QMessageBox::NoButton, "&Continue", "20218", QMessageBox::AcceptRole}};
    default:
      return {ok};
  }
}

QMessageBox::Icon IconOf(std::uint32_t type)
{
  switch (type & 0xF0) {
    case 0x10:
      return QMessageBox::Critical;
    case 0x20:
      return QMessageBox::Question;
    case 0x30:
      return QMessageBox::Warning;
    case 0x40:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

}  // namespace

int AFX_MessageBox(QWidget* parent, const std::u16string& text, std::uint32_t type, const std::u16string& caption)
{
  QMessageBox box(IconOf(type), AFX_ToQString(caption), AFX_ToQString(text), QMessageBox::NoButton,
                  parent != nullptr ? parent : QApplication::activeWindow());
  box.setTextFormat(Qt::PlainText);
  const auto buttons = ButtonsOf(type);
  std::vector<QAbstractButton*> made;
  for (const auto& button : buttons) {
    QAbstractButton* control =
        button.standard != QMessageBox::NoButton
            ? static_cast<QAbstractButton*>(box.addButton(button.standard))
            : box.addButton(QCoreApplication::translate("AFX_MessageBox", button.text, button.textId), button.role);
    AFX_SetCtrlId(control, button.id);
    made.push_back(control);
  }
  const std::size_t preferred = (type >> 8) & 0xF;
  box.setDefaultButton(qobject_cast<QPushButton*>(made[preferred < made.size() ? preferred : 0]));
  QAbstractButton* escape = nullptr;
  for (std::size_t i = 0; i < buttons.size(); ++i)
    if (buttons[i].id == IdCancel) escape = made[i];
  if (escape == nullptr && buttons.size() == 1) escape = made.front();
  box.setEscapeButton(escape);
  box.exec();
  QAbstractButton* clicked = box.clickedButton() != nullptr ? box.clickedButton() : escape;
  for (std::size_t i = 0; i < buttons.size(); ++i)
    if (clicked == made[i]) return buttons[i].id;
  return IdCancel;
}

int AFX_MessageBox(QWidget* parent, const std::u16string& text, std::uint32_t type)
{
  return AFX_MessageBox(parent, text, type, win::VersionInfo_t::Get().ProductName());
}

}  // namespace afx
