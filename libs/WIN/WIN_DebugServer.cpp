#include "WIN_DebugServer.h"

#include <ctime>

#include "GLO_Exception.h"
#include "GLO_Locale.h"
#include "GLO_Text.h"
#include "WIN_AppendFile.h"
#include "WIN_Locale.h"
#include "WIN_Settings.h"

namespace win {
namespace {

// Set while this thread is inside the trace: an exception raised in there
// (a failing clock, unreadable settings) must not come back into it.
thread_local bool insideTrace = false;

class TraceScope {
 public:
  TraceScope() : outer_(insideTrace) { insideTrace = true; }
  ~TraceScope() { insideTrace = outer_; }

 private:
  bool outer_;
};

std::tm LocalNow()
{
  const std::time_t now = std::time(nullptr);
  std::tm fields{};
  localtime_r(&now, &fields);
  return fields;
}

void TraceException(const char* file, unsigned line, std::u16string_view message)
{
  if (insideTrace) return;
  TraceScope scope;
  std::string text = "Error: ";
  text += file;
  text += " " + std::to_string(line) + " " + glo::GLO_ToNarrow(message, glo::CodePageUtf8) + "\n";
  WIN_GetDebugServer().Write(text);
}

}  // namespace

DebugServer_t::DebugServer_t(bool enabled, std::u16string fileName) : fileName_(std::move(fileName)), enabled_(enabled)
{
}

DebugServer_t::~DebugServer_t() = default;

DebugServer_t& DebugServer_t::Write(std::string_view text)
{
  if (!enabled_) return *this;
  TraceScope scope;
  std::lock_guard guard(lock_);
  WriteLocked(text);
  return *this;
}

DebugServer_t& DebugServer_t::Write(std::u16string_view text)
{
  if (!enabled_) return *this;
  return Write(glo::GLO_ToNarrow(text, glo::CodePageUtf8));
}

DebugServer_t& DebugServer_t::Write(std::uint16_t number)
{
  return Write(std::to_string(number));
}

void DebugServer_t::WriteLocked(std::string_view text)
{
  if (notYetOpened_) {
    notYetOpened_ = false;
    file_ = WIN_OpenForAppending(fileName_);
    WritePrefix();
    std::string date;
    try {
      date = glo::GLO_ToNarrow(WIN_GetFormattedDate(glo::UserDefaultLocale, LocalNow()), glo::CodePageUtf8);
    } catch (...) {
    }
    Append(date + "***************** New Run ****************************\n");
    lineStarted_ = false;
  }
  WritePrefix();
  Append(text);
  if (text.find('\n') != std::string_view::npos) lineStarted_ = false;
}

void DebugServer_t::Append(std::string_view bytes)
{
  WIN_AppendToFile(file_, bytes);
}

void DebugServer_t::WritePrefix()
{
  if (!enabled_ || lineStarted_) return;
  std::string prefix;
  try {
    prefix =
        glo::GLO_ToNarrow(WIN_GetFormattedTime(glo::UserDefaultLocale, LocalNow(), TimeForce24Hour), glo::CodePageUtf8);
  } catch (...) {
    prefix = "00:00:00  ";
  }
  Append(prefix + ":");
  lineStarted_ = true;
}

DebugServer_t& WIN_GetDebugServer()
{
  static DebugServer_t server([] {
    TraceScope scope;
    try {
      return WIN_GetSettings().DebugTraceOn();
    } catch (...) {
      return false;
    }
  }());
  return server;
}

void WIN_InstallDebugTrace()
{
  glo::GLO_SetExceptionTrace(&TraceException);
}

}  // namespace win
