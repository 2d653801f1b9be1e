#pragma once
// The first page: the greeting and, for an update file, the device, cycle
// and database it is for (template 103). There is nowhere to go back to, so
// the sheet shows no Back button while it is the current page.

#include <memory>

#include "AVN_AviationDatabase.h"
#include "PropertyPage.h"
#include "RunMode.h"

namespace Ui {
class WelcomePage;
}

namespace vm {

class WelcomePage_t : public PropertyPage_t {
  Q_OBJECT

 public:
  // In run mode 0 the update file must be there with a device name and a
  // title (glo::Assert_t otherwise); it must outlive the page.
  WelcomePage_t(RunMode_t runMode, const avn::VlmsDatabase_t* updateFile);
  ~WelcomePage_t() override;

  // Fills the texts: the update's greeting (message 2024) with its device,
  // cycle and title, or the configuration-card greeting (message 2027) with
  // the labels blank.
  void OnInitDialog() override;
  // Asks for Next.
  bool OnSetActive() override;

 private:
  std::unique_ptr<Ui::WelcomePage> ui_;
  RunMode_t runMode_;
  const avn::VlmsDatabase_t* updateFile_;
};

}  // namespace vm
