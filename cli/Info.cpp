// velmora-cli info FILE [--json]: loads an update file as start-up does and
// tells what it holds.

#include <algorithm>
#include <iostream>

#include "AVN_AviationDatabase.h"
#include "AVN_CardLayout.h"
#include "AVN_RegionBlock.h"
#include "BIN_FileStream.h"
#include "BIN_SubStream.h"
#include "Cli.h"
#include "CommandLine.h"
#include "FIL_File.h"
#include "GLO_Exception.h"
#include "RunMode.h"
#include "WIN_ResourceString.h"

namespace cli {
namespace {

// The supported databases of the block, in kind order, as JSON objects with
// their place in the block and their card file.
std::string Databases(const avn::AviationDatabase_t& update)
{
  bin::fstream file(update.Path(), bin::fstream::in, fil::DenyNone);
  bin::substream block(file, update.RegionOffset(), update.RegionLength());
  std::string list;
  for (const auto& database : avn::AVN_SupportedDatabases(block)) {
    std::u16string cardFile = avn::AVN_CardName(database.kind);
    std::replace(cardFile.begin(), cardFile.end(), u'\\', u'/');
    if (!list.empty()) list += ',';
    list += "{\"kind\":" + std::to_string(database.kind) + ",\"offset\":" + std::to_string(database.start) +
            ",\"length\":" + std::to_string(database.length) + ",\"cardFile\":" + Json(cardFile) + "}";
  }
  return list;
}

}  // namespace

int Info(const Arguments& arguments)
{
  const CommandLine_t line("info", arguments, {}, {"--json"}, "one update file only");
  const bool json = line.Has("--json");
  const std::string& file = line.File();
  if (file.empty()) throw UsageError("info: needs an update file");

  const std::u16string path = Path(file);
  // The checks of start-up, with its messages.
  if (path.size() < 5) throw glo::InvalidInput_t(win::ResourceString_t(2015, GLO_HERE).Text(), GLO_HERE);
  if (vm::RunModeOf(path) != vm::RunModeUpdateFile) throw UsageError("info: '" + file + "' is not an update file");

  avn::VlmsDatabase_t update;
  update.Load(path);
  if (json) {
    std::cout << "{\"device\":" << Json(update.DeviceName()) << ",\"database\":" << Json(update.DatabaseName())
              << ",\"cycle\":" << Json(update.CycleText()) << ",\"regionOffset\":" << update.RegionOffset()
              << ",\"regionLength\":" << update.RegionLength() << ",\"databases\":[" << Databases(update) << "]}\n";
  } else {
    std::cout << "Device: " << Utf8(update.DeviceName()) << "\nDatabase: " << Utf8(update.DatabaseName())
              << "\nCycle: " << Utf8(update.CycleText()) << "\nRegion: offset " << update.RegionOffset() << " length "
              << update.RegionLength() << '\n';
  }
  return Success;
}

}  // namespace cli
