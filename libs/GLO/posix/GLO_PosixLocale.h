#pragma once
// The POSIX locale behind a locale id.

#include <locale.h>

#include "GLO_Locale.h"

namespace glo {

// The locale object for the id, made on first use and kept for the process.
// An id whose locale is not installed here falls back to C.UTF-8, so that
// text operations never fail for want of a locale.
locale_t GLO_PosixLocale(LocaleId_t locale);

}  // namespace glo
