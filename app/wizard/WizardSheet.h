#pragma once
// The wizard's sheet: the three pages in their fixed order (welcome, drive,
// transfer) in a QWizard of the classic style, the done flag, and the Enter
// rule. The sheet sits inside the wizard frame, which ends the wizard.
//
// The pages are widgets of the sheet and belong to it as Qt children.

#include <QWizard>
#include <optional>

#include "GLO_NonCopyable.h"
#include "WizardContext.h"

class QKeyEvent;

namespace vm {

class PropertyPage_t;
class SelectDrivePage_t;
class TransferPage_t;
class WelcomePage_t;

// Control ids of the sheet's buttons.
inline constexpr int IdBackButton = 12323;
inline constexpr int IdNextButton = 12324;
inline constexpr int IdFinishButton = 12325;
inline constexpr int IdCancelButton = 2;
inline constexpr int IdAboutButton = 0x10;

class WizardSheet_t : public QWizard, public glo::NonCopyable_t {
  Q_OBJECT

 public:
  // The modal result of a wizard ended without success.
  static constexpr int Cancelled = 2;

  // Builds the pages for the context, which must outlive the sheet, gives
  // every button its id and the about button its text (message 9309), and
  // runs each page's dialog initialisation.
  explicit WizardSheet_t(const WizardContext_t& context, QWidget* parent = nullptr);

  WelcomePage_t& Welcome() const noexcept { return *welcome_; }
  SelectDrivePage_t& SelectDrive() const noexcept { return *selectDrive_; }
  TransferPage_t& Transfer() const noexcept { return *transfer_; }
  // The current page; null before the sheet is shown.
  PropertyPage_t* ActivePage() const;

  // Whether a transfer has succeeded; once set it stays set.
  bool Done() const noexcept { return done_; }
  void SetDone() noexcept { done_ = true; }

  // Enables the buttons of the flags (WizardBack, ...) for the current page.
  void ApplyWizardButtons(std::uint32_t flags);
  // The id of the sheet's default button (Next or Finish), if it has one.
  std::optional<int> DefaultButtonId() const;
  // Asks the frame to end the wizard with the result.
  void RequestEnd(int result);

  // Cancel and Finish go to the current page, which decides.
  void reject() override;
  void accept() override;

 signals:
  void EndRequested(int result);
  void AboutRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Enter without Control or Shift presses the button with the focus, else
  // the current page's default button; returns whether it took the key.
  bool PreTranslateEnter(const QKeyEvent& key);
  void OnPageChanged(int id);

  WelcomePage_t* welcome_;
  SelectDrivePage_t* selectDrive_;
  TransferPage_t* transfer_;
  PropertyPage_t* active_ = nullptr;
  bool done_ = false;
};

}  // namespace vm
