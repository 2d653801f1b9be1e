#pragma once
// The three ways a failure is handed to a fatal-error dialog.

#include <cstdint>
#include <exception>
#include <string>

#include "ERR_FatalDialogIntf.h"
#include "GLO_Exception.h"
#include "WIN_StructuredException.h"

namespace err {

// With the exception's site, message, SubId and stack trace; no program
// address.
void ERR_ReportFatal(FatalDialogIntf_t& dialog, const glo::Exception_t& error);

// With the catching site and the fault's message, SubId, stack trace and
// program address.
void ERR_ReportFatal(FatalDialogIntf_t& dialog, const char* file, unsigned line, const win::StructuredException_t& fault);

// With the catching site and the exception's own text (code page 1252);
// nothing else.
void ERR_ReportFatal(FatalDialogIntf_t& dialog, const char* file, unsigned line, const std::exception& error);

// With the catching site and a text; nothing else.
void ERR_ReportFatal(FatalDialogIntf_t& dialog, const char* file, unsigned line, const std::u16string& text);

}  // namespace err
