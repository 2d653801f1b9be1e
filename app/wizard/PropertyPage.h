#pragma once
// The base of the wizard's pages: a page from its dialog template, with the
// wizard picture beside it and a window of its own for the application's
// messages.

#include <QWizardPage>
#include <cstdint>
#include <optional>

#include "GDI_Bitmap.h"
#include "GLO_NonCopyable.h"
#include "WIN_Window.h"

namespace vm {

class WizardSheet_t;

// The wizard buttons a page asks for; Finish shown disabled is 8.
inline constexpr std::uint32_t WizardBack = 1;
inline constexpr std::uint32_t WizardNext = 2;
inline constexpr std::uint32_t WizardFinish = 4;
inline constexpr std::uint32_t WizardDisabledFinish = 8;

// Application messages a page receives.
inline constexpr std::uint32_t MessageStopTransfer = 0x8012;

// The wizard picture, bitmap 107 of the resource module.
inline constexpr std::uint32_t WizardPictureId = 107;

class PropertyPage_t : public QWizardPage, public glo::NonCopyable_t {
  Q_OBJECT

 public:
  // Loads the wizard picture (gdi::RenderFailed_t when it cannot be) and
  // shows it on the page's left side.
  explicit PropertyPage_t(int templateId);

  int TemplateId() const noexcept { return templateId_; }
  const gdi::Bitmap_t& Picture() const noexcept { return picture_; }
  win::WindowHandle_t Handle() const noexcept { return window_.Handle(); }

  // The sheet the page is on; a page outside a wizard sheet is a program
  // fault (glo::Assert_t).
  WizardSheet_t& Sheet() const;

  // Asks the sheet, from its own event loop, for the buttons of the flags.
  void SetWizardButtons(std::uint32_t flags);
  // Whether the page lets the wizard go on (Next or Finish enabled), as the
  // last flags said.
  bool isComplete() const override;
  void SetComplete(bool complete);

  // Once, when the sheet has all its pages and buttons.
  virtual void OnInitDialog() {}
  // Each time the page becomes the current one; false refuses.
  virtual bool OnSetActive() { return true; }
  // Each time another page takes its place.
  virtual void OnKillActive() {}
  // The sheet's Cancel button: ends the wizard.
  virtual void OnCancel();
  // The sheet's Finish button: ends the wizard with the OK result.
  virtual void OnWizardFinish();
  // The id of the button that Enter presses when no button has the focus:
  // the page's default push button, else the sheet's (Next or Finish).
  virtual std::optional<int> DefaultId() const;

 protected:
  // A message posted or sent to the page's window; returns its result.
  virtual std::intptr_t OnMessage(const win::Message_t& message);

 private:
  int templateId_;
  gdi::Bitmap_t picture_;
  bool complete_ = true;
  win::Window_t window_;
};

}  // namespace vm
