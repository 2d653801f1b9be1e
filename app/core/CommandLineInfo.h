#pragma once
// The program's command line: one file path and, optionally, the flag B
// followed by the path of a batch script.

#include <string>
#include <vector>

#include "GLO_Optional.h"

namespace vm {

class CommandLineInfo_t {
 public:
  virtual ~CommandLineInfo_t() = default;

  // Called once for every parameter, in order. A flag comes without its
  // prefix: the flag B (any case) makes the next plain parameter the batch
  // script; any other flag is a syntax error. A plain parameter is otherwise
  // the file path, a later one replacing an earlier one.
  virtual void ParseParam(const std::u16string& parameter, bool flag, bool last);

  const std::u16string& FilePath() const noexcept { return filePath_; }
  // Absent when no script followed the flag B.
  const glo::Optional_t<std::u16string>& BatchScriptPath() const noexcept { return batchScriptPath_; }
  bool SyntaxError() const noexcept { return syntaxError_; }

 private:
  enum Expectation_t : int { FilePathNext = 0, BatchScriptNext = 1 };

  Expectation_t expectation_ = FilePathNext;
  std::u16string filePath_;
  glo::Optional_t<std::u16string> batchScriptPath_;
  bool syntaxError_ = false;
};

// Hands every argument after the program name to the handler. "-B" is a
// flag; so is "/B", but an argument that starts with "/" and holds another
// "/" or a "." is an absolute path (/home/alice/update.vlm), since paths
// here start with "/". Arguments are UTF-8.
void ParseCommandLine(CommandLineInfo_t& info, const std::vector<std::string>& arguments);

}  // namespace vm
