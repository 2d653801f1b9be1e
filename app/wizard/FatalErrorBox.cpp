#include "FatalErrorBox.h"

#include "AFX_MessageBox.h"
#include "GLO_Text.h"

namespace vm {

void FatalErrorBox_t::Show(const std::string& file, std::uint16_t line, const std::u16string& extra,
                           const std::string& subId, const glo::Optional_t<std::uint32_t>&,
                           const std::vector<std::uint32_t>&)
{
  std::string where = file + ":" + std::to_string(line);
  if (!subId.empty()) where += " (" + subId + ")";
  std::u16string text = extra.empty() ? std::u16string() : extra + u"\n\n";
  text += glo::GLO_ToWide(where, glo::CodePageUtf8);
  afx::AFX_MessageBox(nullptr, text, afx::MbIconError);
}

}  // namespace vm
