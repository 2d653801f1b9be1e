#pragma once
// Share modes between openers of a file, kept as open file description
// locks on marker bytes far past any data: each opener marks what it does
// (read, write) and what it refuses to others (deny read, deny write), and
// an opener whose access meets another's refusal, or whose refusal meets
// another's access, is refused. Only openers that use these marks see them.

namespace fil {

// Places the marks on fd (open for reading) and checks them against every
// other opener's. False, with no marks left, when they conflict; errno is
// then EWOULDBLOCK. Errors of the lock calls themselves count as no
// conflict: a file system without locks shares everything.
bool FIL_TakeShareMarks(int fd, bool reads, bool writes, bool denyRead, bool denyWrite);

}  // namespace fil
