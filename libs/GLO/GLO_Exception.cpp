#include "GLO_Exception.h"

#include <atomic>

#include "GLO_StackTrace.h"
#include "GLO_Text.h"

namespace glo {
namespace {

std::atomic<ExceptionTrace_t> exceptionTrace{nullptr};

}  // namespace

void GLO_SetExceptionTrace(ExceptionTrace_t trace) noexcept
{
  exceptionTrace.store(trace);
}

Exception_t::Exception_t(const char* file, unsigned line, std::u16string message, std::string subId)
    : message_(std::move(message)), subId_(std::move(subId)), file_(file), line_(static_cast<std::uint16_t>(line))
{
  if (auto trace = exceptionTrace.load()) trace(file, line_, message_);
}

const char* Exception_t::what() const noexcept
{
  thread_local std::string buffer;
  try {
    buffer = GLO_ToNarrow(message_, GLO_DefaultCodePage);
  } catch (...) {
    buffer.clear();
  }
  return buffer.c_str();
}

Assert_t::Assert_t(const char* file, unsigned line) : Exception_t(file, line, {}, {})
{
  GLO_CaptureStackTrace(stackTrace_);
}

InvalidInput_t::InvalidInput_t(std::u16string userText, const char* file, unsigned line)
    : Exception_t(file, line, {}, {}), userText_(std::move(userText))
{
}

OutOfRange_t::OutOfRange_t(const char* file, unsigned line, std::u16string message)
    : Exception_t(file, line, std::move(message), {})
{
}

Terminate_t::Terminate_t(const char* file, unsigned line) : Exception_t(file, line, {}, {}) {}

void GLO_Assert(bool condition, const char* file, unsigned line)
{
  if (!condition) throw Assert_t(file, line);
}

}  // namespace glo
