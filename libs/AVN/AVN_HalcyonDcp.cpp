#include "AVN_HalcyonDcp.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <vector>

#include "AVN_CardFiles.h"
#include "AVN_CardLayout.h"
#include "AVN_CopyToFile.h"
#include "AVN_Exceptions.h"
#include "AVN_UpdateRegionFile.h"
#include "BIN_FileStream.h"
#include "FIL_File.h"
#include "WIN_Error.h"
#include "WIN_File.h"
#include "WIN_ResourceString.h"
#include "WIN_Utilities.h"

namespace avn {
namespace {

constexpr int ConfigurationFolderMode = 1;
constexpr std::uint32_t CardBusy = 2040;
constexpr std::uint32_t PathInTheWay = 2041;
constexpr std::uint32_t UpdateInErasedFolder = 2042;
constexpr std::uint32_t NotACopyableFile = 2043;

[[noreturn]] void Refuse(std::uint32_t message, const std::vector<std::u16string>& arguments)
{
  throw CardRefused_t(GLO_HERE, win::ResourceString_t(message, GLO_HERE).Format(arguments, GLO_HERE));
}

// A card path as the user sees it: below the card's root.
std::u16string BelowRoot(const std::u16string& root, const std::u16string& path)
{
  const std::u16string rest = path.substr(std::min(path.size(), root.size()));
  return rest.substr(std::min(rest.size(), rest.find_first_not_of(u"/\\")));
}

}  // namespace

HalcyonDcp_t::HalcyonDcp_t(std::u16string root) : Root(std::move(root))
{
  glo::GLO_Assert(!Root.empty(), GLO_HERE);
}

HalcyonDcp_t::~HalcyonDcp_t() = default;

std::uint64_t HalcyonDcp_t::FreeSpace() const
{
  return win::WIN_GetFreeDiskSpace(Root);
}

void HalcyonDcp_t::Hold()
{
  if (card_ != nullptr) return;
  auto card = std::make_unique<win::ConfinedFolder_t>(Root);
  if (!card->Lock()) Refuse(CardBusy, {});
  card_ = std::move(card);
}

void HalcyonDcp_t::Finish()
{
  const auto card = std::move(card_);
  if (card != nullptr) card->Sync();
}

void HalcyonDcp_t::ProgramUpdate(const AviationDatabase_t& update, win::Event_t& stop, TransferProgress_t& progress,
                                 tui::ProgressDlgIntf_t& dialog)
{
  Hold();
  UpdateRegionFile_t region(update, Root, stop, progress);
  const std::uint64_t free = FreeSpace();
  std::uint64_t freed = 0;
  std::uint64_t needed = 0;
  region.ComputeSpace(freed, needed, card_->AllocationUnit());
  // A card that cannot tell its free space reports the largest count; the
  // sum must not wrap around to a small one.
  const std::uint64_t available = freed > std::numeric_limits<std::uint64_t>::max() - free
                                      ? std::numeric_limits<std::uint64_t>::max()
                                      : free + freed;
  if (needed > available) throw InsufficientCardFreeSpace_t(GLO_HERE, needed, available);
  CheckCard(region, update);
  region.WriteAll(dialog);
}

void HalcyonDcp_t::CheckPlace(const std::u16string& path) const
{
  // Each folder on the way down from the root, then the file itself unless
  // the path ends in a separator.
  for (std::size_t start = Root.size() + 1; start < path.size();) {
    const auto separator = path.find_first_of(u"/\\", start);
    const bool folder = separator != std::u16string::npos;
    const std::u16string place = folder ? path.substr(0, separator) : path;
    const win::PathKind_t kind = win::WIN_PathKind(place);
    if (kind == win::PathKind_t::Missing) return;
    if (kind != (folder ? win::PathKind_t::Folder : win::PathKind_t::File))
      Refuse(PathInTheWay, {BelowRoot(Root, place)});
    if (!folder) return;
    start = separator + 1;
  }
}

void HalcyonDcp_t::CheckCard(UpdateRegionFile_t& region, const AviationDatabase_t& update) const
{
  std::vector<std::u16string> sources;
  for (const auto& [kind, database] : region.Databases())
    for (auto& folder : database->SourceFolders()) sources.push_back(std::move(folder));
  for (const auto& [kind, database] : region.Databases()) {
    for (const auto& folder : database->ErasedFolders(Root)) {
      CheckPlace(folder);
      // Erasing the folder would take the update, or the files it copies,
      // with it.
      bool erasesSources = win::WIN_IsWithin(update.Path(), folder);
      for (const auto& source : sources) erasesSources = erasesSources || win::WIN_IsWithin(source, folder);
      if (erasesSources) Refuse(UpdateInErasedFolder, {BelowRoot(Root, folder)});
    }
    for (const auto& file : database->CardFiles(Root)) CheckPlace(file);
  }
}

std::u16string HalcyonDcp_t::ConfigurationTarget(int runMode, const std::u16string& path) const
{
  return CardFolder(Root, runMode == ConfigurationFolderMode ? u"cfg/" : u"") + AVN_NameOf(path);
}

void HalcyonDcp_t::CheckConfiguration(int runMode, const std::u16string& path)
{
  Hold();
  try {
    win::File_t file;
    file.Open(path, win::FileAccess_t::Read, win::FileCreation_t::OpenExisting);
  } catch (const win::FileError_t& error) {
    const auto code = static_cast<int>(error.Code());
    if (code == ELOOP || code == EISDIR || code == EINVAL) Refuse(NotACopyableFile, {path});
    throw;
  }
  const std::u16string target = ConfigurationTarget(runMode, path);
  // The configuration folder is named as the folder it is.
  if (runMode == ConfigurationFolderMode) {
    const win::PathKind_t at = win::WIN_PathKind(AVN_FolderOf(target));
    if (at != win::PathKind_t::Missing && at != win::PathKind_t::Folder)
      Refuse(PathInTheWay, {BelowRoot(Root, AVN_FolderOf(target))});
  }
  CheckPlace(target);
}

void HalcyonDcp_t::ProgramConfiguration(win::Event_t& stop, TransferProgress_t& progress, int runMode,
                                        const std::u16string& path)
{
  CheckConfiguration(runMode, path);
  bin::fstream source(path, bin::fstream::in, fil::DenyNone);
  if (!source.isOpen()) {
    errno = static_cast<int>(source.openError());
    throw win::FileError_t(GLO_HERE, path);
  }
  const std::uint32_t size = source.remaining();
  const std::uint64_t free = FreeSpace();
  const std::uint64_t needed = AVN_Allocated(size, card_->AllocationUnit());
  if (needed > free) throw InsufficientCardFreeSpace_t(GLO_HERE, needed, free);
  progress.SetPhase(ioa::PhasePreparing, size);
  source.seekg(0);
  progress.SetPhase(ioa::PhaseTransferring, size);
  const std::u16string target = ConfigurationTarget(runMode, path);
  if (runMode == ConfigurationFolderMode) win::WIN_CreateFolder(AVN_FolderOf(target));
  CopyToCardFile(source, size, target, stop, progress, CopyChunk);
}

}  // namespace avn
