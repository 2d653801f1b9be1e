#pragma once
// Share modes between the openers of one file, as open file description
// locks on bytes far beyond any data. Every opener marks what it does (reads,
// writes) and what it denies others (reads, writes) on a byte of its own
// inside one range per kind of mark; an opener is refused when another
// holds a mark that conflicts with its own. Only openers that use these
// marks see them; a file system without locks shares everything.

#include "WIN_Handle.h"

namespace win {

// Marks the opener of fd and tells whether every other opener agrees. The
// marks go with fd: closing it, as a refused opener does, drops them. Marks
// are taken before the check, so two openers that race may both be refused,
// but never both admitted.
bool WIN_AdmitOpener(NativeHandle_t fd, bool reads, bool writes, bool deniesRead, bool deniesWrite);

}  // namespace win
