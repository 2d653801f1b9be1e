#pragma once
// Start-up's choice of the resource module: a language module beside the
// program when one matches the user's language, else the program's own.

#include <functional>
#include <string>
#include <vector>

namespace win {

// Shows a start-up error to the user (a message box, or standard error).
using ShowError_t = std::function<void(const std::u16string& text)>;

// Three-letter language abbreviations to try, in order: those of LANGUAGE
// (each of its entries), LC_ALL, LC_MESSAGES, LANG and the machine's default
// locale, each followed by its primary language; last "LOC".
std::vector<std::string> WIN_LanguageModuleCandidates();

// Takes the first module that loads of the program path (without extension)
// plus a candidate plus ".res", and selects it; a module of another version
// is refused. Returns whether start-up may go on; when not, the reason was
// shown through showError.
bool WIN_LoadLanguageModule(const ShowError_t& showError);

}  // namespace win
