#include "AVN_CardFiles.h"

#include <vector>

#include "WIN_FoundFile.h"

namespace avn {

std::u16string AVN_FolderOf(const std::u16string& path)
{
  return path.substr(0, path.find_last_of(u"/\\") + 1);
}

std::u16string AVN_NameOf(const std::u16string& path)
{
  return path.substr(path.find_last_of(u"/\\") + 1);
}

glo::Optional_t<std::uint64_t> AVN_ExistingFileSize(const std::u16string& path)
{
  win::FoundFile_t found(path);
  // A link frees nothing worth counting, whatever it leads to.
  if (!found.Found() || !found.IsRegular()) return {};
  return found.Size();
}

EntrySizes_t AVN_SumEntries(const std::u16string& pattern, std::uint64_t unit)
{
  EntrySizes_t sizes;
  for (win::FoundFile_t found(pattern); found.Found(); found.Next()) {
    if (found.IsFolder()) continue;
    ++sizes.count;
    // A link takes no room worth counting, whatever it leads to.
    if (!found.IsRegular()) {
      ++sizes.others;
      continue;
    }
    sizes.bytes += found.Size();
    sizes.allocated += AVN_Allocated(found.Size(), unit);
  }
  return sizes;
}

void AVN_WalkFiles(const std::u16string& folder,
                   const std::function<void(const std::u16string& relative, const win::FoundFile_t& file)>& visit)
{
  std::vector<std::u16string> pending{u""};
  while (!pending.empty()) {
    const std::u16string relative = std::move(pending.back());
    pending.pop_back();
    for (win::FoundFile_t found(folder + relative + u"*.*"); found.Found(); found.Next()) {
      if (found.IsFolder())
        pending.push_back(relative + found.Name() + u"/");
      else
        visit(relative, found);
    }
  }
}

}  // namespace avn
