#include "ERR_Environment.h"

#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#if defined(__x86_64__)
#include <cpuid.h>
#endif

#include <algorithm>
#include <fstream>
#include <string>

#include "GLO_Text.h"

namespace err {
namespace {

std::u16string Utf8(const std::string& text)
{
  return glo::GLO_ToWide(text, glo::CodePageUtf8);
}

// PRETTY_NAME of an os-release file, unquoted.
glo::Optional_t<std::u16string> PrettyName()
{
  for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
      if (!line.starts_with("PRETTY_NAME=")) continue;
      std::string value = line.substr(12);
      if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
      if (!value.empty()) return Utf8(value);
    }
  }
  return {};
}

OperatingSystemFacts_t AskOperatingSystem()
{
  OperatingSystemFacts_t facts;
  struct utsname names;
  if (::uname(&names) == 0) {
    facts.kernelName = Utf8(names.sysname);
    facts.kernelRelease = Utf8(names.release);
  }
  facts.distribution = PrettyName();
  return facts;
}

}  // namespace

const OperatingSystemFacts_t& ERR_OperatingSystem()
{
  static const OperatingSystemFacts_t facts = AskOperatingSystem();
  return facts;
}

ProcessorFacts_t ERR_Processor()
{
  ProcessorFacts_t facts;
  facts.count = static_cast<std::uint32_t>(std::max(1L, ::sysconf(_SC_NPROCESSORS_ONLN)));
#if defined(__x86_64__)
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0) {
    const unsigned stepping = eax & 0xF;
    unsigned model = (eax >> 4) & 0xF;
    unsigned family = (eax >> 8) & 0xF;
    // The display family and model, as the vendors define them.
    if (family == 0xF) family += (eax >> 20) & 0xFF;
    if (family == 0x6 || family >= 0xF) model += ((eax >> 16) & 0xF) << 4;
    facts.architecture = u"x64";
    facts.level = family;
    facts.revision = static_cast<std::uint16_t>(((model & 0xFF) << 8) | stepping);
  }
#endif
  return facts;
}

std::uint32_t ERR_MemoryKiloBytes()
{
  struct sysinfo memory;
  if (::sysinfo(&memory) != 0) return 0;
  const unsigned long long kiloBytes = (static_cast<unsigned long long>(memory.totalram) * memory.mem_unit) >> 10;
  return static_cast<std::uint32_t>(std::min<unsigned long long>(kiloBytes, 0xFFFFFFFFu));
}

}  // namespace err
