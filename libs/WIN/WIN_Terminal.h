#pragma once
// Whether the program's standard streams reach a person at a terminal.

namespace win {

enum class StandardStream_t { Input, Output, Error };

// True when the stream is a terminal, so that a line may be redrawn in
// place; false for files, pipes and closed streams.
bool WIN_IsTerminal(StandardStream_t stream) noexcept;

}  // namespace win
