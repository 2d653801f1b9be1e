#include "AVN_CardFiles.h"

#include "WIN_FoundFile.h"

namespace avn {

glo::Optional_t<std::uint64_t> AVN_ExistingFileSize(const std::u16string& path)
{
  win::FoundFile_t found(path);
  if (!found.Found() || found.IsFolder()) return {};
  return found.Size();
}

EntrySizes_t AVN_SumEntries(const std::u16string& pattern)
{
  EntrySizes_t sizes;
  for (win::FoundFile_t found(pattern); found.Found(); found.Next()) {
    if (found.IsFolder()) continue;
    sizes.bytes += found.Size();
    ++sizes.count;
  }
  return sizes;
}

}  // namespace avn
