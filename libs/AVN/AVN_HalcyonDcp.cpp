#include "AVN_HalcyonDcp.h"

#include <cerrno>
#include <limits>

#include "AVN_CardFiles.h"
#include "AVN_CardLayout.h"
#include "AVN_CopyToFile.h"
#include "AVN_Exceptions.h"
#include "AVN_UpdateRegionFile.h"
#include "BIN_FileStream.h"
#include "FIL_File.h"
#include "WIN_Error.h"
#include "WIN_File.h"
#include "WIN_Utilities.h"

namespace avn {
namespace {

constexpr int ConfigurationFolderMode = 1;

// Tells why a file could not be opened, in the system's words.
[[noreturn]] void ThrowOpenFailure(const std::u16string& path)
{
  win::File_t file;
  file.Open(path, win::FileAccess_t::Read, win::FileCreation_t::OpenExisting);
  // It opens now: another opener of this program refused reading.
  errno = EWOULDBLOCK;
  throw win::FileError_t(GLO_HERE, path);
}

}  // namespace

HalcyonDcp_t::HalcyonDcp_t(std::u16string root) : Root(std::move(root))
{
  glo::GLO_Assert(!Root.empty(), GLO_HERE);
}

std::uint64_t HalcyonDcp_t::FreeSpace() const
{
  return win::WIN_GetFreeDiskSpace(Root);
}

void HalcyonDcp_t::ProgramUpdate(const AviationDatabase_t& update, win::Event_t& stop, TransferProgress_t& progress,
                                 tui::ProgressDlgIntf_t& dialog)
{
  UpdateRegionFile_t region(update, Root, stop, progress);
  const std::uint64_t free = FreeSpace();
  std::uint64_t freed = 0;
  std::uint64_t needed = 0;
  region.ComputeSpace(freed, needed);
  // A card that cannot tell its free space reports the largest count; the
  // sum must not wrap around to a small one.
  const std::uint64_t available = freed > std::numeric_limits<std::uint64_t>::max() - free
                                      ? std::numeric_limits<std::uint64_t>::max()
                                      : free + freed;
  if (needed > available) throw InsufficientCardFreeSpace_t(GLO_HERE, needed, available);
  region.WriteAll(dialog);
}

void HalcyonDcp_t::ProgramConfiguration(win::Event_t& stop, TransferProgress_t& progress, int runMode,
                                        const std::u16string& path)
{
  bin::fstream source(path, bin::fstream::in, fil::DenyNone);
  if (!source.isOpen()) ThrowOpenFailure(path);
  const std::uint32_t size = source.remaining();
  const std::uint64_t free = FreeSpace();
  if (size > free) throw InsufficientCardFreeSpace_t(GLO_HERE, size, free);
  progress.SetPhase(ioa::PhasePreparing, size);
  source.seekg(0);
  progress.SetPhase(ioa::PhaseTransferring, size);
  const std::u16string destination = CardFolder(Root, runMode == ConfigurationFolderMode ? u"cfg/" : u"");
  if (runMode == ConfigurationFolderMode) win::WIN_CreateFolder(destination);
  CopyToCardFile(source, size, destination + AVN_NameOf(path), stop, progress, CopyChunk);
}

}  // namespace avn
