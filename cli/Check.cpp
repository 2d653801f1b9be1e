// velmora-cli check --card DIR FILE [--json]: does the card hold what the
// transfer of FILE writes? Every file the transfer would write is read back
// from the card (never from the cache) and compared with the update: a
// database by its length, its checksum trailer and the checksum of its
// bytes; a chart, raster or configuration file byte for byte with the file
// beside the update. Files of the card that the update does not write are
// no concern. The card is opened for reading only, below its root and
// without following links.

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <iostream>
#include <limits>
#include <utility>
#include <vector>

#include "AVN_CardLayout.h"
#include "AVN_Crc32.h"
#include "AVN_Exceptions.h"
#include "AVN_HalcyonDcp.h"
#include "AVN_RegionBlock.h"
#include "AVN_UpdateRegionFile.h"
#include "BIN_FileStream.h"
#include "BIN_SubStream.h"
#include "CardFile.h"
#include "Cli.h"
#include "CommandLine.h"
#include "Console.h"
#include "FIL_File.h"
#include "GLO_Exception.h"
#include "GLO_Text.h"
#include "JsonLines.h"
#include "ProgressAdapter.h"
#include "RunMode.h"
#include "WIN_ConfinedFolder.h"
#include "WIN_Error.h"
#include "WIN_ResourceString.h"
#include "WIN_StopSignals.h"
#include "WIN_Terminal.h"

namespace cli {
namespace {

constexpr std::size_t Block = 1 << 20;
// '"%1" is not a file that can be copied to the storage device.'
constexpr std::uint32_t NotACopyableFile = 2043;

// A file that the transfer writes, and what it must hold.
struct Expected_t {
  std::u16string card;
  // A database: its length and trailer. A copied file: its source.
  std::uint32_t length = 0;
  std::uint32_t trailer = 0;
  std::u16string source;
};

// What a file on the card is compared with, and the progress of the whole
// check, which is counted in bytes (in larger units past what 32 bits hold).
class Checker_t {
 public:
  Checker_t(avn::TransferProgress_t& progress, win::Event_t& stop, std::uint64_t total)
      : progress_(progress), stop_(stop)
  {
    while (total / unit_ > std::numeric_limits<std::uint32_t>::max()) unit_ *= 2;
    progress_.SetPhase(ioa::PhaseVerifying, static_cast<std::uint32_t>(total / unit_));
  }

  // What is wrong with the card's file, which must hold size bytes;
  // nothing when it holds what it must. The progress counts the size, what
  // ever the card holds.
  std::optional<std::u16string> Check(const Expected_t& expected, std::uint64_t size)
  {
    const std::uint64_t next = counted_ + size;
    const auto problem = Compare(expected);
    counted_ = done_ = next;
    progress_.SetPos(static_cast<std::uint32_t>(done_ / unit_));
    return problem;
  }

 private:
  std::optional<std::u16string> Compare(const Expected_t& expected)
  {
    // A source that cannot be read is the update's failure, not the card's.
    win::File_t source;
    if (!expected.source.empty())
      source.Open(expected.source, win::FileAccess_t::Read, win::FileCreation_t::OpenExisting,
                  win::FileFlags_t::SequentialScan);
    try {
      CardFile_t card(expected.card);
      return expected.source.empty() ? CheckDatabase(card, expected) : CheckCopy(card, source);
    } catch (const win::Error_t& error) {
      const auto code = static_cast<int>(error.Code());
      if (code == ENOENT) return u"missing";
      if (code == ELOOP || code == EISDIR || code == EINVAL || code == ENOTDIR) return u"not a file";
      return u"cannot be read: " + SystemReason(error.Code());
    }
  }

  std::optional<std::u16string> CheckDatabase(CardFile_t& card, const Expected_t& expected)
  {
    const std::uint64_t size = card.Size();
    if (size != expected.length) return Length(size, expected.length);
    std::uint32_t crc = 0;
    unsigned char last[4] = {};
    for (std::uint64_t done = 0; done < size;) {
      const std::size_t count = ReadBlock(card, std::min<std::uint64_t>(Block, size - done));
      if (count == 0) return u"differs";
      crc = avn::AVN_Crc32(crc, buffer_.data(), count);
      // The trailer is the last four bytes, which may span two blocks.
      for (std::size_t i = count >= 4 ? count - 4 : 0; i < count; ++i) {
        std::memmove(last, last + 1, 3);
        last[3] = buffer_[i];
      }
      done += count;
    }
    const std::uint32_t trailer = static_cast<std::uint32_t>(last[0]) | static_cast<std::uint32_t>(last[1]) << 8 |
                                  static_cast<std::uint32_t>(last[2]) << 16 | static_cast<std::uint32_t>(last[3]) << 24;
    // The register over the bytes and then the trailer leaves 0: the common
    // CRC, complemented at both ends, ends at all ones.
    if (trailer != expected.trailer || crc != 0xFFFFFFFF) return u"differs";
    return std::nullopt;
  }

  std::optional<std::u16string> CheckCopy(CardFile_t& card, win::File_t& source)
  {
    const std::uint64_t size = card.Size();
    const std::uint64_t wanted = source.Size();
    if (size != wanted) return Length(size, wanted);
    theirs_.resize(Block);
    for (std::uint64_t done = 0; done < size;) {
      const std::size_t count = ReadBlock(card, std::min<std::uint64_t>(Block, size - done));
      if (count == 0 || source.Read(theirs_.data(), count) != count ||
          std::memcmp(buffer_.data(), theirs_.data(), count) != 0)
        return u"differs";
      done += count;
    }
    return std::nullopt;
  }

  // Reads the next count bytes of the card's file at most, counting them
  // and testing the stop request.
  std::size_t ReadBlock(CardFile_t& card, std::uint64_t count)
  {
    buffer_.resize(Block);
    const std::size_t read = card.Read(buffer_.data(), static_cast<std::size_t>(count));
    done_ += read;
    progress_.SetPos(static_cast<std::uint32_t>(done_ / unit_));
    if (stop_.Wait(std::chrono::milliseconds::zero())) throw glo::Terminate_t(GLO_HERE);
    return read;
  }

  static std::u16string Length(std::uint64_t size, std::uint64_t wanted)
  {
    return u"length " + glo::GLO_Decimal(size) + u", expected " + glo::GLO_Decimal(wanted);
  }

  avn::TransferProgress_t& progress_;
  win::Event_t& stop_;
  std::uint64_t unit_ = 1;
  // Read so far, and the sizes of the files checked so far.
  std::uint64_t done_ = 0;
  std::uint64_t counted_ = 0;
  // What was read of the card's file, and of the file it is compared with.
  std::vector<unsigned char> buffer_;
  std::vector<unsigned char> theirs_;
};

// The files the transfer of the update writes onto the card: each database
// in kind order, followed by the files it copies.
std::vector<Expected_t> UpdateFiles(const std::u16string& root, const std::u16string& path)
{
  avn::VlmsDatabase_t update;
  update.Load(path);
  bin::fstream file(update.Path(), bin::fstream::in, fil::DenyNone);
  bin::substream block(file, update.RegionOffset(), update.RegionLength());
  const std::u16string folder = update.Path().substr(0, update.Path().find_last_of(u'/') + 1);
  std::vector<Expected_t> files;
  for (const auto& record : avn::AVN_SupportedDatabases(block)) {
    if (record.length < 4) throw avn::BadRegionFile_t(GLO_HERE);
    unsigned char trailer[4];
    if (block.seekg(record.start + record.length - 4).failed() || block.read(trailer, 4).failed())
      throw avn::BadRegionFile_t(GLO_HERE);
    Expected_t database;
    database.card = avn::CardPath(root, record.kind);
    database.length = record.length;
    database.trailer = static_cast<std::uint32_t>(trailer[0]) | static_cast<std::uint32_t>(trailer[1]) << 8 |
                       static_cast<std::uint32_t>(trailer[2]) << 16 | static_cast<std::uint32_t>(trailer[3]) << 24;
    files.push_back(database);
    const auto written =
        avn::AVN_MakeUpdateDb(record.kind, record.start, record.length, folder, update.CycleText());
    // In the order of their names, whatever order the folder lists them in.
    auto copied = written->CopiedFiles(root);
    std::sort(copied.begin(), copied.end(), [](const auto& a, const auto& b) { return a.card < b.card; });
    for (auto& file : copied) {
      Expected_t copy;
      copy.card = std::move(file.card);
      copy.source = std::move(file.source);
      files.push_back(std::move(copy));
    }
  }
  return files;
}

// The size of what the card's file must hold, as far as it can be told.
std::uint64_t ExpectedSize(const Expected_t& expected)
{
  if (expected.source.empty()) return expected.length;
  win::File_t source;
  source.Open(expected.source, win::FileAccess_t::Read, win::FileCreation_t::OpenExisting);
  return source.Size();
}

// Refuses, as the transfer does, a configuration file that is a link,
// folder, pipe or device.
void ConfigurationSource(const std::u16string& path)
{
  try {
    win::File_t file;
    file.Open(path, win::FileAccess_t::Read, win::FileCreation_t::OpenExisting);
  } catch (const win::FileError_t& error) {
    const auto code = static_cast<int>(error.Code());
    if (code == ELOOP || code == EISDIR || code == EINVAL)
      throw glo::InvalidInput_t(win::ResourceString_t(NotACopyableFile, GLO_HERE).Format({path}, GLO_HERE), GLO_HERE);
    throw;
  }
}

}  // namespace

int Check(const Arguments& arguments)
{
  const CommandLine_t line("check", arguments, {"--card"}, {"--json"}, "one file only");
  const bool json = line.Has("--json");
  const auto& cards = line.Values("--card");
  if (cards.size() > 1) throw UsageError("check: one card only");
  const std::string card = cards.empty() ? "" : cards.front();
  const std::string& file = line.File();
  if (card.empty()) throw UsageError("check: needs --card DIR");
  if (file.empty()) throw UsageError("check: needs an update or configuration file");

  const std::u16string root = Path(card);
  const std::u16string path = Path(file);
  // The checks of start-up, with its messages.
  if (path.size() < 5) throw glo::InvalidInput_t(win::ResourceString_t(2015, GLO_HERE).Text(), GLO_HERE);
  const vm::RunMode_t mode = vm::RunModeOf(path);

  ConsoleOptions_t options;
  options.terminal = !json && win::WIN_IsTerminal(win::StandardStream_t::Error);
  options.json = json;
  options.card = root;
  ConsoleProgress_t dialog(options);
  ConsoleMessageBox_t messages(dialog);
  win::Event_t stop(true, false);
  win::StopSignals_t signals([&stop] { stop.Set(); });
  // Told as a transfer tells what the system refused: the card that is no
  // folder, or that vanished.
  const auto tell = [&](const std::u16string& text) {
    messages.Show(text, 0, 0);
    if (json) JsonLine(JsonOutcome("end", root, Failure, text));
    return Failure;
  };

  // Each file that is wrong, with what is wrong with it.
  std::vector<std::pair<std::u16string, std::u16string>> problems;
  try {
    const win::ConfinedFolder_t confined(root);
    std::vector<Expected_t> files;
    if (mode == vm::RunModeUpdateFile) {
      files = UpdateFiles(root, path);
    } else {
      ConfigurationSource(path);
      Expected_t configuration;
      configuration.card = avn::HalcyonDcp_t(root).ConfigurationTarget(mode, path);
      configuration.source = path;
      files.push_back(std::move(configuration));
    }
    std::vector<std::uint64_t> sizes;
    std::uint64_t total = 0;
    for (const auto& expected : files) total += sizes.emplace_back(ExpectedSize(expected));

    vm::ProgressAdapter_t progress(dialog, vm::ProgressAdapter_t::DefaultUpdateInterval);
    Checker_t checker(progress, stop, total);
    for (std::size_t i = 0; i < files.size(); ++i) {
      dialog.SetItemText(vm::ProgressAdapter_t::TitleLine, u"Checking file " + glo::GLO_Decimal(i + 1) + u" of " +
                                                               glo::GLO_Decimal(files.size()));
      if (const auto problem = checker.Check(files[i], sizes[i])) problems.emplace_back(files[i].card, *problem);
    }
    dialog.BreakLine();
  } catch (const glo::Terminate_t&) {
    dialog.BreakLine();
    if (json) JsonLine(JsonOutcome("end", root, Stopped, std::nullopt));
    return Stopped;
  } catch (const win::Error_t& error) {
    dialog.BreakLine();
    return tell(error.Message());
  }

  std::u16string message = problems.empty() ? u"The card holds the update." : u"";
  std::string listed;
  for (const auto& [card, problem] : problems) {
    message += (message.empty() ? u"" : u"\n") + card + u": " + problem;
    if (!listed.empty()) listed += ',';
    listed += "{\"path\":" + Json(card) + ",\"problem\":" + Json(problem) + "}";
  }
  const int exit = problems.empty() ? Success : Failure;
  if (json)
    JsonLine(JsonOutcome("end", root, exit, message, ",\"files\":[" + listed + "]"));
  else
    std::cout << Utf8(message) << '\n';
  return exit;
}

}  // namespace cli
