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
// locale (LANG of /etc/default/locale unless given), each followed by its
// primary language; last "LOC".
std::vector<std::string> WIN_LanguageModuleCandidates();
std::vector<std::string> WIN_LanguageModuleCandidates(const std::string& machineLocale);

// Takes the first module that loads of the program path (without extension)
// plus a candidate plus ".res", and selects it; a module of another version
// is refused. A candidate of the program's own language stops the search
// with the program's own module. Returns whether start-up may go on; when
// not, the reason was shown through showError.
bool WIN_LoadLanguageModule(const ShowError_t& showError,
                            const std::vector<std::string>& candidates = WIN_LanguageModuleCandidates());

}  // namespace win
