#include "CommandLineInfo.h"

#include "GLO_Locale.h"
#include "GLO_Text.h"

namespace vm {
namespace {

bool IsFlag(const std::string& argument)
{
  if (argument.empty()) return false;
  if (argument.front() == '-') return true;
  return argument.front() == '/' && argument.find_first_of("/.", 1) == std::string::npos;
}

}  // namespace

void CommandLineInfo_t::ParseParam(const std::u16string& parameter, bool flag, bool)
{
  if (flag) {
    expectation_ = FilePathNext;
    if (glo::GLO_NoCase(glo::UserDefaultLocale, parameter, u"B"))
      expectation_ = BatchScriptNext;
    else
      syntaxError_ = true;
  } else if (expectation_ == FilePathNext) {
    filePath_ = parameter;
  } else {
    batchScriptPath_.Set(parameter);
    expectation_ = FilePathNext;
  }
}

void ParseCommandLine(CommandLineInfo_t& info, const std::vector<std::string>& arguments)
{
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const bool flag = IsFlag(arguments[i]);
    const std::string parameter = flag ? arguments[i].substr(1) : arguments[i];
    info.ParseParam(glo::GLO_FileNameToWide(parameter), flag, i + 1 == arguments.size());
  }
}

}  // namespace vm
