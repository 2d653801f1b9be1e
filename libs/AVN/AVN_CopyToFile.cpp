#include "AVN_CopyToFile.h"

#include <chrono>
#include <vector>

#include "AVN_DestinationFile.h"
#include "AVN_Exceptions.h"
#include "FIL_File.h"

namespace avn {
namespace {

void Copy(bin::istream& source, std::uint32_t count, const std::u16string& path, win::Event_t& stop,
          thr::Progress_t& progress, std::uint32_t chunk, bool paced, const CopyWatcher_t& watch)
{
  glo::GLO_Assert(chunk > 0, GLO_HERE);
  DestinationFile_t destination(path, paced);
  // Not on a card: room reserved beyond a file's end could outlive a run
  // that is killed.
  if (!paced) destination.Reserve(count);
  const fil::File_t* sourceFile = watch ? nullptr : source.file();
  std::vector<unsigned char> buffer;
  for (std::uint32_t left = count; left > 0;) {
    const std::uint32_t n = std::min(chunk, left);
    const std::int64_t at = source.tellg();
    if (at < 0 || source.remaining() < n) throw BadRegionFile_t(GLO_HERE);
    if (sourceFile != nullptr && destination.CopyFrom(sourceFile->handle(), static_cast<std::uint64_t>(at), n)) {
      source.seekg(static_cast<std::uint32_t>(at) + n);
    } else {
      if (buffer.empty()) buffer.resize(std::min(chunk, count));
      if (source.readSome(buffer.data(), n).failed() || source.gcount() < n) throw BadRegionFile_t(GLO_HERE);
      if (watch) watch(buffer.data(), n);
      destination.Write(buffer.data(), n);
    }
    left -= n;
    progress.Step(n);
    // A file that holds every byte is kept, even when the stop comes with
    // its last chunk.
    if (left == 0) destination.Close();
    if (stop.Wait(std::chrono::milliseconds::zero())) throw glo::Terminate_t(GLO_HERE);
  }
  if (count == 0) destination.Close();
}

}  // namespace

void CopyToFile(bin::istream& source, std::uint32_t count, const std::u16string& path, win::Event_t& stop,
                thr::Progress_t& progress, std::uint32_t chunk, const CopyWatcher_t& watch)
{
  Copy(source, count, path, stop, progress, chunk, false, watch);
}

void CopyToCardFile(bin::istream& source, std::uint32_t count, const std::u16string& path, win::Event_t& stop,
                    thr::Progress_t& progress, std::uint32_t chunk)
{
  Copy(source, count, path, stop, progress, chunk, true, {});
}

}  // namespace avn
