#include "WIN_VersionInfo.h"

#include <cerrno>

#include "GLO_Locale.h"
#include "GLO_Text.h"
#include "WIN_Error.h"

namespace win {
FileMetaData_t::FileMetaData_t(const std::u16string& path) : module_(WIN_LoadModule(path)) {}

std::u16string FileMetaData_t::GetString(const std::string& name) const
{
  auto value = module_->Value(name);
  if (!value) throw Error_t(GLO_HERE, ENODATA);
  return *value;
}

VersionInfo_t::VersionInfo_t(const FileMetaData_t& metaData)
    : buildDate_(metaData.GetString("BuildDate")),
      buildTime_(metaData.GetString("BuildTime")),
      builder_(metaData.GetString("Builder")),
      fileVersion_(metaData.FixedFileVersion()),
      productName_(metaData.GetString("ProductName")),
      internalName_(metaData.GetString("InternalName")),
      partNumber_(metaData.GetString("PartNumber")),
      betaContact_(metaData.GetString("BetaEmail")),
      className_(metaData.GetString("ClassNameGuid")),
      buildType_(metaData.GetString("BuildType")),
      legalNotice_(metaData.GetString("LegalCopyright"))
{
}

const VersionInfo_t& VersionInfo_t::Get()
{
  static const VersionInfo_t info(FileMetaData_t(WIN_GetModulePath(WIN_GetMainModule())));
  return info;
}

bool VersionInfo_t::IsRelease() const
{
  return buildType_ == u"Release";
}

bool VersionInfo_t::IsOfficialBuild() const
{
  return glo::GLO_NoCase(glo::UserDefaultLocale, builder_, u"SQA");
}

std::u16string VersionInfo_t::VersionText() const
{
  std::u16string text = glo::GLO_Decimal(fileVersion_.major) + u"." + glo::GLO_Decimal(fileVersion_.minor) + u"." +
                        glo::GLO_Decimal(fileVersion_.build);
  if (!IsRelease()) text += u"." + glo::GLO_Decimal(fileVersion_.revision) + u" " + buildType_;
  return text;
}

std::optional<std::u16string> VersionInfo_t::BuildTimeText() const
{
  if (buildType_ == u"Internal" || buildType_ == u"Alpha") return buildDate_ + u" " + buildTime_;
  return std::nullopt;
}

std::optional<std::u16string> VersionInfo_t::BuilderText() const
{
  if (buildType_ == u"Internal") return u"(" + builder_ + u")";
  return std::nullopt;
}

std::uint16_t WIN_GetAppLanguageId()
{
  static const std::uint16_t language = FileMetaData_t(WIN_GetModulePath(WIN_GetMainModule())).LanguageId();
  return language;
}

}  // namespace win
