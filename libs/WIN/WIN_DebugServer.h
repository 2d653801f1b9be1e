#pragma once
// The developer trace: "Debug.txt" in the current folder, written only when
// the user's "ShowDebug" setting is true.

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "GLO_NonCopyable.h"
#include "WIN_Handle.h"

namespace win {

// Appends lines, each after the time of day and ":"; the first write of a
// run opens the file and writes the time, ":", the date and the run banner.
// A text with a line feed ends the line. Each write is whole even when
// threads write at once. Nothing here ever raises: a file that cannot be
// opened swallows everything.
class DebugServer_t : public glo::NonCopyable_t {
 public:
  explicit DebugServer_t(bool enabled, std::u16string fileName = u"Debug.txt");
  virtual ~DebugServer_t();

  bool Enabled() const noexcept { return enabled_; }

  DebugServer_t& Write(std::string_view text);
  // Written as UTF-8.
  DebugServer_t& Write(std::u16string_view text);
  // In decimal.
  DebugServer_t& Write(std::uint16_t number);

 protected:
  // The time prefix, when the line has none yet; called under the lock.
  virtual void WritePrefix();

 private:
  void Append(std::string_view bytes);
  void WriteLocked(std::string_view text);

  std::mutex lock_;
  Handle_t file_;
  bool lineStarted_ = false;
  bool notYetOpened_ = true;
  const std::u16string fileName_;
  const bool enabled_;
};

// The process-wide trace, on when the settings say so. Settings that cannot
// be read leave it off.
DebugServer_t& WIN_GetDebugServer();

// From now on every exception built writes its "Error: " line to the trace.
void WIN_InstallDebugTrace();

}  // namespace win
