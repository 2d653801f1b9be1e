#pragma once
// The wizard's window (template 102): the product name as its title, the
// application icon, the sheet where control 1000 is, the about box (the
// about button, Alt+A, F1), and the end of the wizard.

#include <QDialog>
#include <memory>

#include "GLO_NonCopyable.h"
#include "WizardContext.h"
#include "WizardSheet.h"

namespace Ui {
class WizardFrame;
}

namespace vm {

class WizardFrame_t : public QDialog, public glo::NonCopyable_t {
  Q_OBJECT

 public:
  // The context must outlive the frame. Raises what the pages raise.
  explicit WizardFrame_t(const WizardContext_t& context);
  ~WizardFrame_t() override;

  WizardSheet_t& Sheet() noexcept { return sheet_; }

  // Runs the about box modally.
  void OnAbout();
  // Closing the window, Escape: sends the active page "stop the transfer"
  // (0x8012), then ends the modal run with 1 (OK) when a transfer has
  // succeeded and 2 (cancel) otherwise.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void EndModal(int result);

  std::unique_ptr<Ui::WizardFrame> ui_;
  WizardSheet_t sheet_;
  bool centred_ = false;
};

}  // namespace vm
