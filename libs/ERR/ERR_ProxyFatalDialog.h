#pragma once
// The worker's side of the fatal-error dialog, and the user-interface
// side's stub.

#include "DIO_Reference.h"
#include "GLO_ThreadChecker.h"
#include "ERR_FatalDialogIntf.h"

namespace err {

class ProxyFatalDialog_t : public FatalDialogIntf_t, public dio::Proxy_t {
 public:
  using dio::Proxy_t::Proxy_t;

  void Show(const std::string& file, std::uint16_t line, const std::u16string& extra, const std::string& subId,
            const glo::Optional_t<std::uint32_t>& programAddress,
            const std::vector<std::uint32_t>& stackTrace) override;
};

class FatalDialogRef_t : public dio::ReferenceIntf_t {
 public:
  explicit FatalDialogRef_t(FatalDialogIntf_t& dialog) : dialog_(&dialog) {}

  std::unique_ptr<dio::ReferenceIntf_t> Clone() const override;
  void InvokeConst(dio::Stack_t& stack) override { Invoke(stack); }
  // An unknown operation number raises dio::Exception_t.
  void Invoke(dio::Stack_t& stack) override;

 private:
  FatalDialogIntf_t* dialog_;
  // Calls run on the thread that made the reference, the dialog's.
  glo::ThreadChecker_t thread_;
};

}  // namespace err
