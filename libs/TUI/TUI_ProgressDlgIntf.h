#pragma once
// The progress dialog as the worker sees it: three lines of text, a
// percentage bar or an indefinite bar, and the end of the work.

#include <cstdint>
#include <string>

#include "GLO_NonCopyable.h"

namespace tui {

// Where workers find the progress dialog.
inline constexpr const char* ProgressDlgClass = "ProgressDlgClass";

class ProgressDlgIntf_t : public glo::NonCopyable_t {
 public:
  // The operation numbers of cross-thread calls.
  enum Operation_t : std::int32_t {
    OpSetItemText = 0,
    OpSetPos = 1,
    OpSetTitle = 2,
    OpHideBar = 3,
    OpStartIndefinite = 4,
    OpStopIndefinite = 5,
    OpRaiseHold = 6,
    OpReleaseHold = 7,
    OpRaiseHoldAgain = 8,    // a second number for RaiseHold
    OpReleaseHoldAgain = 9,  // a second number for ReleaseHold
    OpFinish = 10,
    OpEnd = 11,
    OpShowBar = 12,
    OpShowItem = 13,
    OpShow = 14,
    OpHide = 15,
  };

  virtual ~ProgressDlgIntf_t() = default;
  virtual void SetItemText(std::uint32_t controlId, const std::u16string& text) = 0;
  virtual void ShowItem(std::uint32_t controlId, std::int32_t showCommand) = 0;
  virtual void SetPos(std::int32_t percent) = 0;
  virtual void SetTitle(const std::u16string& title) = 0;
  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual void ShowBar() = 0;
  virtual void HideBar() = 0;
  virtual void StartIndefinite() = 0;
  virtual void StopIndefinite() = 0;
  virtual void RaiseHold() = 0;
  virtual void ReleaseHold() = 0;
  virtual void Finish() = 0;
  virtual void End() = 0;
};

}  // namespace tui
