// Feeds arbitrary bytes to the update-file loader. Every input must end in
// a load, in message 11800 or 11801, or in the header's own exception:
// anything else (a crash, a hang, a read past a buffer, another exception)
// is a fault.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "AVN_AviationDatabase.h"
#include "DOC_AppHeader.h"
#include "GLO_Exception.h"
#include "GLO_Text.h"
#include "WIN_ResourceString.h"

namespace {

const std::string& InputPath()
{
  static const std::string path = [] {
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/velmora-fuzz-" +
           std::to_string(static_cast<long>(std::rand())) + ".vlm";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  static const bool ready = win::WIN_SetResourceModule(nullptr);
  (void)ready;
  static const std::u16string unopenable = win::ResourceString_t(11800, GLO_HERE).Text();
  static const std::u16string corrupt = win::ResourceString_t(11801, GLO_HERE).Text();

  std::FILE* file = std::fopen(InputPath().c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size != 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);

  avn::VlmsDatabase_t update;
  try {
    update.Load(glo::GLO_FileNameToWide(InputPath()));
  } catch (const glo::InvalidInput_t& error) {
    if (error.UserText() != corrupt && error.UserText() != unopenable) std::abort();
  } catch (const doc::InvalidRecordTypeException_t&) {
  }
  return 0;
}
