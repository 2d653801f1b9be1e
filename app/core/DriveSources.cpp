#include "DriveSources.h"

#include <cstdlib>

#include "GLO_Text.h"

namespace vm {
namespace {

void Override(std::u16string& source, const char* variable)
{
  if (const char* value = std::getenv(variable); value != nullptr && value[0] != '\0')
    source = glo::GLO_FileNameToWide(value);
}

}  // namespace

win::DriveSources_t DriveSourcesFromEnvironment()
{
  win::DriveSources_t sources;
  Override(sources.mountTable, "VELMORA_MOUNTINFO");
  Override(sources.sysfs, "VELMORA_SYSFS");
  Override(sources.byLabel, "VELMORA_BY_LABEL");
  return sources;
}

win::DismountSources_t DismountSourcesFromEnvironment()
{
  win::DismountSources_t sources;
  sources.drives = DriveSourcesFromEnvironment();
  return sources;
}

}  // namespace vm
