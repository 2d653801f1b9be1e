#pragma once
// The last page: the instructions for the run mode and the button that
// programs a card (template 105). Finish is enabled once a transfer has
// succeeded.

#include <QPushButton>
#include <memory>

#include "AFX_DlgItem.h"
#include "PropertyPage.h"
#include "RunMode.h"

namespace Ui {
class TransferPage;
}

namespace vm {

class TransferPage_t : public PropertyPage_t {
  Q_OBJECT

 public:
  explicit TransferPage_t(RunMode_t runMode);
  ~TransferPage_t() override;

  // Binds the transfer button (1010) and the sheet's Finish, Back and
  // Cancel buttons, labels the button (message 2022) and shows the
  // instructions (message 2001 in run mode 0, 2030 in run modes 1 and 2).
  void OnInitDialog() override;
  // Asks for Back and Finish once a transfer has succeeded, else for Back
  // and a disabled Finish.
  bool OnSetActive() override;

 private:
  std::unique_ptr<Ui::TransferPage> ui_;
  RunMode_t runMode_;
  afx::Ctrl_t<QPushButton> transferButton_;
  afx::Ctrl_t<QAbstractButton> finishButton_;
  afx::Ctrl_t<QAbstractButton> backButton_;
  afx::Ctrl_t<QAbstractButton> cancelButton_;
};

}  // namespace vm
