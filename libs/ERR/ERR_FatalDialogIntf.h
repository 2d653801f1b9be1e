#pragma once
// The fatal-error dialog as the worker sees it.

#include <cstdint>
#include <string>
#include <vector>

#include "GLO_NonCopyable.h"
#include "GLO_Optional.h"

namespace err {

inline constexpr const char* FatalDialogClass = "FatalDialogClass";

class FatalDialogIntf_t : public glo::NonCopyable_t {
 public:
  enum Operation_t : std::int32_t { OpShow = 0 };

  virtual ~FatalDialogIntf_t() = default;
  // Reports an error raised at file and line, with its text, SubId, the
  // faulting program address when there is one, and its stack trace.
  virtual void Show(const std::string& file, std::uint16_t line, const std::u16string& extra, const std::string& subId,
                    const glo::Optional_t<std::uint32_t>& programAddress,
                    const std::vector<std::uint32_t>& stackTrace) = 0;
};

}  // namespace err
