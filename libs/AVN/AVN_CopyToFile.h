#pragma once
// Copying a stretch of a binary stream into a file in large chunks, with
// progress and a stop request honoured between chunks.

#include <cstdint>
#include <functional>
#include <string>

#include "BIN_Stream.h"
#include "THR_Progress.h"
#include "WIN_Event.h"

namespace avn {

// The chunk of databases, of the block of databases and of configuration
// files; charts and rasters copy with CopyChunkCharts.
inline constexpr std::uint32_t CopyChunk = 524288;
inline constexpr std::uint32_t CopyChunkCharts = 1048576;

// Sees the bytes of each chunk of a copy before they are written.
using CopyWatcher_t = std::function<void(const unsigned char* bytes, std::uint32_t count)>;

// Copies the next count bytes of the source into the file at path, which is
// created when missing and replaced in content when present, then moves the
// source past them. With a watcher, every chunk goes through memory and
// the watcher sees it first; without, the kernel copies where it can.
// Steps the progress by every chunk written and tests the stop event after
// it (glo::Terminate_t when signalled). A source that ends
// early raises BadRegionFile_t; a file that cannot be opened or written
// raises win::FileError_t with its path. A copy that does not finish
// removes the file, so that no file of full size with missing bytes is
// left behind; a stop that comes with the last chunk keeps the whole file.
void CopyToFile(bin::istream& source, std::uint32_t count, const std::u16string& path, win::Event_t& stop,
                thr::Progress_t& progress, std::uint32_t chunk, const CopyWatcher_t& watch = {});

// The same for a file on the card: a present file is deleted, so that the
// new one is made anew; on card file systems that refuse to delete a
// read-only file it first loses its read-only, hidden and system
// attributes. Within a file, the card takes every chunk before the next
// but one is written, so that the progress follows what the card holds
// and little is left to write when the card is finalized.
void CopyToCardFile(bin::istream& source, std::uint32_t count, const std::u16string& path, win::Event_t& stop,
                    thr::Progress_t& progress, std::uint32_t chunk);

}  // namespace avn
