#pragma once
// Standard output as JSON lines (--json of program, verify and check): one
// object a line, each written whole, so that a script reads the progress
// as it comes and the outcome last. Every object has a "type":
//   "progress"  card, phase (number), text (the phase text), title (the
//               first line: which database or file), percent, remaining
//               (seconds, null while unknown)
//   "result"    the outcome of one card of several: card, outcome, exit,
//               message
//   "end"       the last object: card (null unless the command was about
//               one card), outcome ("ok", "failed", "usage", "stopped"),
//               exit (the exit code), message (null when there is none),
//               and what the command adds (check: "files")

#include <optional>
#include <string>

namespace cli {

// Writes the object and a line end at once, under the console's lock, and
// flushes them.
void JsonLine(const std::string& object);

// The card as a JSON value: its path, or null for none.
std::string JsonCard(const std::u16string& card);

// What an exit code means: "ok", "failed", "usage" or "stopped".
const char* OutcomeOf(int exitCode);

// An outcome object of the type ("result" or "end"); extra is appended
// after the message, as ",\"name\":value...".
std::string JsonOutcome(const char* type, const std::u16string& card, int exitCode,
                        const std::optional<std::u16string>& message, const std::string& extra = {});

}  // namespace cli
