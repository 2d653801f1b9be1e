#pragma once
// XML made to hurt its reader.

#include <string>

namespace vtest {

// A document whose entities, if expanded, would make 10^9 copies of "lol".
inline std::string BillionLaughs()
{
  std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY l0 \"lol\">";
  for (int i = 1; i < 10; ++i) {
    laughs += "<!ENTITY l" + std::to_string(i) + " \"";
    for (int j = 0; j < 10; ++j) laughs += "&l" + std::to_string(i - 1) + ";";
    laughs += "\">";
  }
  return laughs + "]><r>&l9;</r>";
}

}  // namespace vtest
