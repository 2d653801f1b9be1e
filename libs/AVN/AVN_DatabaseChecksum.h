#pragma once
// The checksum of the databases in an update: a CRC-32 register kept without
// its final complement, so that running it over a database and then over
// the database's 4-byte trailer leaves 0.

#include <cstdint>

#include "BIN_Stream.h"
#include "THR_Progress.h"
#include "WIN_Event.h"

namespace avn {

// The progress step, and how often the stop request is tested.
inline constexpr std::uint32_t ChecksumBlock = 524288;

// Runs the register from initial over the next count bytes of the stream
// and puts the get position back. Steps the progress by each 524288 bytes
// and then by the rest, testing the stop event after each block
// (glo::Terminate_t when it is signalled). A failed read raises
// BadRegionFile_t.
std::uint32_t ChecksumStream(bin::istream& stream, std::uint32_t count, thr::Progress_t& progress, win::Event_t& stop,
                             std::uint32_t initial);

// Whether the database of the kind in the region stream matches its
// trailer: the register over its length - 4 bytes, then over the trailer,
// must be 0. The progress runs through all length bytes. A database
// shorter than its trailer does not match.
bool VerifyDatabase(bin::istream& region, std::uint32_t kind, std::uint32_t length, thr::Progress_t& progress,
                    win::Event_t& stop);

}  // namespace avn
