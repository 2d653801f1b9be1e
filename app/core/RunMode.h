#pragma once
// What the program does, decided by the extension of its file.

#include <cstdint>
#include <string>

namespace vm {

using RunMode_t = std::int32_t;

inline constexpr RunMode_t RunModeUpdateFile = 0;        // ".vlm": databases onto a card
inline constexpr RunMode_t RunModeConfiguration = 1;     // ".ini": an aviation configuration card
inline constexpr RunMode_t RunModeConfigurationQza = 2;  // ".qza": the same, second kind

// From the last four characters of the path, without regard to case; any
// other extension raises glo::InvalidInput_t with message 2016.
RunMode_t RunModeOf(const std::u16string& filePath);

}  // namespace vm
