#include "ERR_ErrorDialogIntf.h"

#include "WIN_ResourceString.h"
#include "WIN_VersionInfo.h"

namespace err {

ErrorDialogTexts_t ERR_ErrorDialogTexts(const std::u16string& errorText)
{
  return ERR_ErrorDialogTexts(errorText, win::VersionInfo_t::Get());
}

ErrorDialogTexts_t ERR_ErrorDialogTexts(const std::u16string& errorText, const win::VersionInfo_t& info)
{
  ErrorDialogTexts_t texts;
  texts.caption = info.ProductName();
  texts.explanation = info.IsRelease()
                          ? win::ResourceString_t(ReleaseExplanationMessage, GLO_HERE).Text()
                          : win::ResourceString_t(BetaExplanationMessage, GLO_HERE).Format(info.BetaContact(), GLO_HERE);
  texts.information = win::ResourceString_t(ErrorInformationMessage, GLO_HERE).Text() + u"\r\n";
  for (char16_t c : errorText) {
    if (c == u'\n') texts.information += u'\r';
    texts.information += c;
  }
  return texts;
}

}  // namespace err
