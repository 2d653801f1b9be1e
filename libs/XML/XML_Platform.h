#pragma once
// The XML library's lifetime in this process.

namespace xml {

// Starts the XML library with the locale "en_US" on the first call; it stays
// started until the process ends, when it is shut down (failures of the
// shutdown are ignored). Every object of this library calls it when built.
// A failed start raises Exception_t. The first call must not race another.
void XML_EnsureStarted();

}  // namespace xml
