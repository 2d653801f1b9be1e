#pragma once
// The common CRC-32 (reflected generator 0xEDB88320, start and end
// complemented; "123456789" gives 0xCBF43926), over large blocks at the
// speed of the processor's own instructions.

#include <cstddef>
#include <cstdint>

namespace avn {

// Continues crc over more bytes: start with 0, and pass each result on as
// the crc of the next call.
std::uint32_t AVN_Crc32(std::uint32_t crc, const void* data, std::size_t size);

}  // namespace avn
