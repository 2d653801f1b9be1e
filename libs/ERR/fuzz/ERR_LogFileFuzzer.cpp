// Feeds arbitrary bytes to the reading of typed documents and to the error
// log as the fatal-error dialog opens it. A document may be refused with
// the system's own exceptions; the log must always load (a damaged one is
// replaced by an empty log) and take a new error: anything else (a crash, a
// hang, a read past a buffer, another exception from the log) is a fault.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "AE1_ErrorReport.h"
#include "ERR_LogFile.h"
#include "GLO_Exception.h"
#include "GLO_Text.h"
#include "WIN_ResourceString.h"
#include "XML_IStream.h"

namespace {

const std::string& LogPath()
{
  static const std::string path = [] {
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/velmora-fuzz-" +
           std::to_string(static_cast<long>(std::rand())) + "-ErrorReport.xml";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  static const bool ready = win::WIN_SetResourceModule(nullptr);
  (void)ready;
  static const err::ClientError_t error("fuzz.cpp", 1, u"fuzz", "", {}, {});
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  try {
    xml::IStringStream_t stream(bytes, ae1::AE1_DocumentTypes());
    glo::Optional_t<glo::CodePage_t> codePage;
    stream.Read(codePage);
  } catch (const glo::Exception_t&) {
  }

  std::FILE* file = std::fopen(LogPath().c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size != 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  if (std::fclose(file) != 0) std::abort();
  err::LogFile_t log(glo::GLO_ToWide(LogPath(), glo::CodePageUtf8));
  log.AddError(error);
  if (log.ReportText().empty()) std::abort();
  return 0;
}
