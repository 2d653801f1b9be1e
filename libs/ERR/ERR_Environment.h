#pragma once
// What an error report says of the computer: the operating system, the
// processor and the memory. The texts keep the shape the reports have
// always had, filled with what this system reports.

#include <cstdint>
#include <string>

#include "GLO_Optional.h"

namespace err {

// The kernel (uname) and the distribution (os-release).
struct OperatingSystemFacts_t {
  std::u16string kernelName;     // "Linux"; empty when unknown
  std::u16string kernelRelease;  // "6.1.0-18-amd64"
  // PRETTY_NAME of /etc/os-release (else /usr/lib/os-release).
  glo::Optional_t<std::u16string> distribution;
};

// The distribution's name stands where a Windows version name stood, the
// kernel's name and release where its service pack stood:
// "Debian GNU/Linux 12 (bookworm) Linux 6.1.0-18-amd64". Without a
// distribution name the generic form reads "<kernel> Platform, Major
// Version: 6, Minor Version: 1" (the release's first two numbers) before
// the kernel text; with neither known it is "Unknown Platform, Major
// Version: 0, Minor Version: 0".
std::u16string ERR_OperatingSystemText(const OperatingSystemFacts_t& facts);

// The processor, as cpuid tells it on x86-64: the architecture ("x64" for a
// 64-bit x86 processor), the level (the display family), the revision (the
// display model in the high byte, the stepping in the low byte), and the
// number of processors online.
struct ProcessorFacts_t {
  std::u16string architecture;  // "x64", "x86"; empty when unknown
  std::uint32_t level = 0;
  std::uint32_t count = 0;
  std::uint16_t revision = 0;
};

// "x64, Processor Level: 6, Processors:4, Model: 58 Stepping: 9"; an
// unknown architecture reads "Unknown Processor type, Processors:4, Model: 0
// Stepping: 0".
std::u16string ERR_ProcessorText(const ProcessorFacts_t& facts);

// This machine's, asked once per run.
const OperatingSystemFacts_t& ERR_OperatingSystem();
ProcessorFacts_t ERR_Processor();
// Total physical memory in kilobytes, at most 32 bits.
std::uint32_t ERR_MemoryKiloBytes();

}  // namespace err
