#include "AVN_RegionBlock.h"

#include <map>

#include "AVN_CardLayout.h"
#include "AVN_Exceptions.h"
#include "BIN_StringStream.h"
#include "GLO_Optional.h"

namespace avn {

void HeaderCheck(bin::istream& stream)
{
  stream.reset();
  stream.seekg(0);
  std::uint32_t magic = 0;
  std::uint16_t version = 0;
  stream >> magic >> version;
  bin::record_t data('D');
  stream >> data;
  std::uint16_t dataVersion = 0;
  data >> dataVersion;
  if (stream.failed() || data.failed() || magic != RegionMagic || version != 100 || data.type != 'D' ||
      dataVersion != 100)
    throw BadRegionFile_t(GLO_HERE);
}

void AVN_WalkDatabases(bin::istream& stream, const std::function<bool(const DatabaseRecord_t&)>& each)
{
  HeaderCheck(stream);
  for (;;) {
    std::uint32_t length = 0;
    char type = 0;
    stream >> length >> type;
    if (stream.failed()) {
      // A record header cut after its length field still ends the block.
      if (stream.eof() && !stream.bad()) {
        stream.reset();
        return;
      }
      throw BadRegionFile_t(GLO_HERE);
    }
    if (type != 'R') {
      stream.ignore(length);
      continue;
    }
    std::uint16_t kind = 0;
    std::uint32_t ignored = 0;
    DatabaseRecord_t database{};
    stream >> kind >> ignored >> database.length;
    if (stream.failed()) throw BadRegionFile_t(GLO_HERE);
    database.kind = kind;
    database.start = static_cast<std::uint32_t>(stream.tellg());
    if (!each(database)) return;
    stream.reset();
    stream.seekg(database.start);
    stream.ignore(database.length);
  }
}

std::vector<DatabaseRecord_t> AVN_SupportedDatabases(bin::istream& stream)
{
  std::map<std::uint32_t, DatabaseRecord_t> first;
  AVN_WalkDatabases(stream, [&first](const DatabaseRecord_t& database) {
    if (AVN_IsSupportedKind(database.kind)) first.emplace(database.kind, database);
    return true;
  });
  std::vector<DatabaseRecord_t> databases;
  for (const auto& [kind, database] : first) databases.push_back(database);
  return databases;
}

void SeekDatabase(bin::istream& stream, std::uint32_t kind, std::uint32_t offset)
{
  glo::Optional_t<std::uint32_t> found;
  AVN_WalkDatabases(stream, [&](const DatabaseRecord_t& database) {
    if (database.kind == kind && offset < database.length) found.Set(database.start + offset);
    return !found;
  });
  if (found) stream.seekg(found.Get());
}

}  // namespace avn
