#include "DOC_AppHeader.h"

#include <cstdio>

#include "BIN_StringStream.h"
#include "GLO_Locale.h"
#include "GLO_Text.h"

namespace doc {
namespace {

std::u16string Shown(char type)
{
  if (glo::GLO_IsPrintable(type, glo::UserDefaultLocale))
    return glo::GLO_ToWide(std::string(1, type), glo::CodePageWestern);
  char hex[8];
  std::snprintf(hex, sizeof hex, "%x", static_cast<unsigned char>(type));
  return u"Control Character hex value = " + glo::GLO_ToWide(hex, glo::CodePageAscii);
}

}  // namespace

InvalidRecordTypeException_t::InvalidRecordTypeException_t(const char* file, unsigned line, char found, char expected,
                                                           const std::u16string& text)
    : glo::Exception_t(file, line,
                       u"Encountered an invalid record type. \nEncountered Type: " + Shown(found) +
                           u"\nExpected Type: " + glo::GLO_ToWide(std::string(1, expected), glo::CodePageWestern) +
                           u"\n" + text,
                       {})
{
}

bin::istream& operator>>(bin::istream& stream, AppHeader_t& header)
{
  if ((stream >> header.magic >> header.headerVersion).failed()) return stream;

  bin::record_t dataVersion('D');
  if ((stream >> dataVersion).failed()) return stream;
  if (dataVersion.type != 'D')
    throw InvalidRecordTypeException_t(GLO_HERE, dataVersion.type, 'D',
                                       u"Did not read an Application Data Version Record from the Binary Stream.");
  dataVersion >> header.dataVersion;

  bin::record_t build('A');
  if ((stream >> build).failed()) return stream;
  if (build.type != 'A')
    throw InvalidRecordTypeException_t(GLO_HERE, build.type, 'A',
                                       u"Did not read an Application Version Record from the Binary Stream.");
  build >> header.buildNumber;
  for (auto& text : header.buildTexts) build.readWideText(text);

  if (header.headerVersion > 100) {
    std::u16string name;
    if (!stream.readWideText(name).failed()) header.appName.Set(name);
  }
  return stream;
}

}  // namespace doc
