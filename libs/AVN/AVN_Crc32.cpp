#include "AVN_Crc32.h"

#include <isa-l/crc.h>

namespace avn {

std::uint32_t AVN_Crc32(std::uint32_t crc, const void* data, std::size_t size)
{
  return crc32_gzip_refl(crc, static_cast<const unsigned char*>(data), size);
}

}  // namespace avn
