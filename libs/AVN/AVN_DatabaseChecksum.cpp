#include "AVN_DatabaseChecksum.h"

#include <chrono>
#include <vector>

#include "AVN_Crc32.h"
#include "AVN_Exceptions.h"
#include "AVN_RegionBlock.h"

namespace avn {

std::uint32_t ChecksumStream(bin::istream& stream, std::uint32_t count, thr::Progress_t& progress, win::Event_t& stop,
                             std::uint32_t initial)
{
  const std::int64_t start = stream.tellg();
  if (start < 0) throw BadRegionFile_t(GLO_HERE);
  // Whole blocks at a time: the register is the common CRC without its
  // complements, so the fast kernel runs it.
  std::vector<unsigned char> block(std::min(count, ChecksumBlock));
  std::uint32_t crc = ~initial;
  for (std::uint32_t done = 0; done < count;) {
    const std::uint32_t wanted = std::min(ChecksumBlock, count - done);
    if (stream.read(block.data(), wanted).failed()) throw BadRegionFile_t(GLO_HERE);
    crc = AVN_Crc32(crc, block.data(), wanted);
    done += wanted;
    progress.Step(wanted);
    if (wanted == ChecksumBlock && stop.Wait(std::chrono::milliseconds::zero())) throw glo::Terminate_t(GLO_HERE);
  }
  stream.seekg(static_cast<std::uint32_t>(start));
  return ~crc;
}

bool VerifyDatabase(bin::istream& region, std::uint32_t kind, std::uint32_t length, thr::Progress_t& progress,
                    win::Event_t& stop)
{
  // A database shorter than its trailer cannot match it.
  if (length < 4) return false;
  SeekDatabase(region, kind, 0);
  const std::uint32_t data = length - 4;
  std::uint32_t crc = ChecksumStream(region, data, progress, stop, 0xFFFFFFFF);
  SeekDatabase(region, kind, data);
  crc = ChecksumStream(region, 4, progress, stop, crc);
  return crc == 0;
}

}  // namespace avn
