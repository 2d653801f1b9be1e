#include "ERR_ClientError.h"

#include "ERR_Environment.h"
#include "GLO_Exception.h"
#include "GLO_Locale.h"
#include "GLO_Text.h"
#include "WIN_Locale.h"
#include "WIN_VersionInfo.h"

namespace err {
namespace {

std::u16string Decimal(long long value)
{
  return glo::GLO_Decimal(value);
}

std::u16string Environment(std::uint32_t ramSize)
{
  return u"\nOS: " + ERR_OperatingSystemText(ERR_OperatingSystem()) + u"\nProcessor: " +
         ERR_ProcessorText(ERR_Processor()) + u", RAM: " + Decimal(ramSize);
}

bool ShowsBuildTime(const std::u16string& buildType)
{
  return buildType == u"Internal" || buildType == u"Alpha";
}

}  // namespace

std::u16string ERR_SourceFileName(const std::string& sourcePath)
{
  const auto slash = sourcePath.find_last_of("/\\");
  const std::string name = slash == std::string::npos ? sourcePath : sourcePath.substr(slash + 1);
  return glo::GLO_ToUpper(glo::GLO_ToWide(name, glo::CodePageWestern), glo::UserDefaultLocale);
}

std::u16string ERR_TimeText(glo::Time_t time)
{
  const std::tm fields = time.UtcFields();
  return win::WIN_GetFormattedDate(glo::UserDefaultLocale, fields) + u" " +
         win::WIN_GetFormattedTime(glo::UserDefaultLocale, fields, win::TimeFull) + u" (UTC)";
}

ClientError_t::ClientError_t(const std::string& sourcePath, std::uint16_t sourceLine, const std::u16string& extra,
                             const std::string& subId, const glo::Optional_t<std::uint32_t>& programAddress,
                             const std::vector<std::uint32_t>& stackTrace)
{
  const auto& info = win::VersionInfo_t::Get();
  const auto& version = info.FileVersion();
  xml::Optional_t<ae1::Token_t> sub;
  if (!subId.empty()) sub.Set(ae1::Token_t(glo::GLO_ToWide(subId, glo::CodePageWestern)));
  xml::Optional_t<ae1::ProgramAddress_t> address;
  if (programAddress) address.Set(ae1::ProgramAddress_t(programAddress.Get()));
  xml::Optional_t<ae1::StackTrace_t> trace;
  if (!stackTrace.empty())
    trace.Set(ae1::StackTrace_t(xml::Vector_t<ae1::ProgramAddress_t>(stackTrace.begin(), stackTrace.end())));
  xml::Optional_t<ae1::Extra_t> extraText;
  if (!extra.empty()) extraText.Set(ae1::Extra_t({extra}));
  ae1::Exception_t exception(sub, ae1::SourceCodeLocation_t(ERR_SourceFileName(sourcePath), sourceLine), address,
                             trace, extraText);
  ae1::Application_t application(
      info.ProductName(),
      ae1::Build_t(ae1::Version_t(version.major, version.minor, version.build, version.revision),
                   ae1::BuildType_t(info.BuildType()), info.BuildDate() + u", " + info.BuildTime(), info.Builder()),
      win::WIN_GetAppLanguageId(), ae1::PartNumber_t(info.PartNumber()));
  ae1::Computer_t computer(ERR_OperatingSystemText(ERR_OperatingSystem()), ERR_ProcessorText(ERR_Processor()),
                           ERR_MemoryKiloBytes());
  error_ = std::make_unique<ae1::Error_t>(exception, application, computer, ae1::DateTime_t(glo::Time_t::Now()));
}

ClientError_t::ClientError_t(const ae1::Error_t& error) : error_(std::make_unique<ae1::Error_t>(error)) {}

const ae1::Error_t& ClientError_t::Error() const
{
  glo::GLO_Assert(error_ != nullptr, GLO_HERE);
  return *error_;
}

std::u16string ClientError_t::ErrorText() const
{
  const ae1::Error_t& error = Error();
  const ae1::Application_t& application = error.Application();
  const ae1::Build_t& build = application.Build();
  const ae1::Version_t& version = build.Version();
  const ae1::Computer_t& computer = error.Computer();
  const std::u16string& type = build.Type().Value();
  std::u16string text = u"\nApp: " + application.Name().Value() + u"\nAt: " + ERR_TimeText(error.Time().Value()) +
                        u"\nOS: " + computer.OperatingSystem().Value() + u"\nProcessor: " +
                        computer.Processor().Value() + u", RAM: " + Decimal(computer.RamSize().Value());
  const ae1::SourceCodeLocation_t& location = error.Exception().Location();
  text += u"\n" + location.FileName().Value() + u"-" + Decimal(location.Line().Value()) + u"-" +
          Decimal(version.VersionMajor().Value()) + u"." + Decimal(version.VersionMinor().Value()) + u"." +
          Decimal(version.BuildMajor().Value());
  if (type == u"Release") text += u"." + Decimal(version.BuildMinor().Value());
  if (ShowsBuildTime(type)) text += u"\n" + build.Time().Value();
  if (type == u"Internal") text += u"(" + build.Builder().Value() + u")";
  if (error.Exception().Extra()) text += u"\n" + error.Exception().Extra().Get().Text();
  return text;
}

std::u16string ERR_FallbackText(const std::string& sourcePath, std::uint16_t sourceLine, const std::u16string& extra,
                                const std::string& subId, const glo::Optional_t<std::uint32_t>& programAddress,
                                const std::vector<std::uint32_t>& stackTrace)
{
  const auto& info = win::VersionInfo_t::Get();
  const auto& version = info.FileVersion();
  std::u16string text = u"\nApp: " + info.ProductName() + u"\nAt: " + ERR_TimeText(glo::Time_t::Now()) +
                        Environment(ERR_MemoryKiloBytes());
  text += u"\n" + ERR_SourceFileName(sourcePath) + u"-" + Decimal(sourceLine) + u"-" + Decimal(version.major) + u"." +
          Decimal(version.minor) + u"." + Decimal(version.build) + u"." + Decimal(version.revision);
  text += u"\nLanguage ID: " + Decimal(win::WIN_GetAppLanguageId()) + u"\nPart Number: " + info.PartNumber() +
          u"\nBuild Type: " + info.BuildType();
  if (ShowsBuildTime(info.BuildType())) text += u"\n" + info.BuildDate() + u" " + info.BuildTime();
  if (info.BuildType() == u"Internal") text += u"(" + info.Builder() + u")";
  if (!extra.empty()) text += u"\nExtra: " + extra;
  if (!subId.empty()) text += u"\nSub ID: " + glo::GLO_ToWide(subId, glo::CodePageWestern);
  if (programAddress) text += u"\nProgram Address: " + Decimal(programAddress.Get());
  if (!stackTrace.empty()) {
    text += u"\nStack Trace: ";
    for (std::uint32_t address : stackTrace) text += u"\n" + Decimal(address);
  }
  return text;
}

}  // namespace err
