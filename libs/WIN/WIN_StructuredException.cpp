#include "WIN_StructuredException.h"

#include <algorithm>
#include <iterator>
#include <sstream>

#include "GLO_Text.h"

namespace win {
namespace {

struct Name_t {
  std::uint32_t code;
  const char* text;
};

// The faults that have a name, with the text that goes before the program
// address.
constexpr Name_t Names[] = {
    {0x80000001, "Guard page at "},
    {ExceptionDatatypeMisalignment, "Data type misalignment at "},
    {0x80000003, "Breakpoint at "},
    {0x80000004, "Single step at "},
    {0xC0000006, "In page error at "},
    {0xC0000008, "Invalid handle at "},
    {ExceptionIllegalInstruction, "Illegal instruction at "},
    {0xC0000025, "Non-continuable exception at "},
    {0xC0000026, "Invalid disposition at "},
    {ExceptionArrayBoundsExceeded, "Array bounds exceeded at "},
    {0xC000008D, "Float denormal operand at "},
    {ExceptionFloatDivideByZero, "Float divide by zero at "},
    {ExceptionFloatInexactResult, "Float inexact result at "},
    {ExceptionFloatInvalidOperation, "Float invalid operation at "},
    {ExceptionFloatOverflow, "Float overflow at "},
    {0xC0000092, "Float stack check at "},
    {ExceptionFloatUnderflow, "Float underflow at "},
    {ExceptionIntegerDivideByZero, "Integer divide by zero at "},
    {ExceptionIntegerOverflow, "Integer overflow at "},
    {0xC0000096, "Privileged instruction at "},
    {ExceptionStackOverflow, "Stack overflow at "},
};

std::string MessageOf(const Fault_t& fault)
{
  std::ostringstream text;
  text << std::hex;
  if (fault.code == ExceptionAccessViolation) {
    text << (fault.write ? "Write" : "Read") << " access violation at data address 0x" << fault.dataAddress << ",\n";
  } else {
    auto name = std::find_if(std::begin(Names), std::end(Names), [&](const Name_t& n) { return n.code == fault.code; });
    if (name != std::end(Names))
      text << name->text;
    else
      // The upper case stays for the program address too.
      text << std::uppercase << "Exception: 0x" << fault.code << " at ";
  }
  text << "program address 0x" << fault.programAddress << '.';
  return text.str();
}

std::string SubIdOf(std::uint32_t programAddress)
{
  std::ostringstream text;
  text << "0x" << std::hex << programAddress;
  return text.str();
}

}  // namespace

StructuredException_t::StructuredException_t(const char* file, unsigned line, const Fault_t& fault,
                                             glo::StackTrace_t trace)
    : glo::Exception_t(file, line, {}, {}), code_(fault.code), programAddress_(fault.programAddress)
{
  message_ = glo::GLO_ToWide(MessageOf(fault), glo::CodePageAscii);
  subId_ = SubIdOf(fault.programAddress);
  stackTrace_ = std::move(trace);
}

}  // namespace win
