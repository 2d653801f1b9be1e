#include "ERR_LogFile.h"

#include <cerrno>

#include "ERR_LogEntry.h"
#include "GLO_Exception.h"
#include "WIN_Error.h"
#include "WIN_Utilities.h"
#include "XML_Exceptions.h"
#include "XML_OStream.h"

namespace err {
namespace {

constexpr char16_t LogFileName[] = u"ErrorReport.xml";
// Where the next report is written before it replaces the log.
constexpr char16_t NextSuffix[] = u".new";

std::unique_ptr<win::File_t> Open(const std::u16string& path, win::FileCreation_t creation)
{
  auto file = std::make_unique<win::File_t>();
  file->Open(path, win::FileAccess_t::ReadWrite, creation, win::FileFlags_t::None, win::FileShare_t::None);
  return file;
}

// Clears a read-only attribute; a missing file has none.
void MakeWritable(const std::u16string& path)
{
  try {
    win::WIN_ClearFileAttributes(path, win::FileAttributeReadOnly);
  } catch (const win::FileError_t& error) {
    if (error.Code() != ENOENT) throw;
  }
}

std::string Serialized(const ae1::ErrorReport_t& report)
{
  xml::OStringStream_t stream;
  report.WriteDocument(stream);
  return stream.Bytes();
}

}  // namespace

const std::u16string& ERR_LogFilePath()
{
  static const std::u16string path = ERR_LogFolder() + LogFileName;
  return path;
}

LogFile_t::LogFile_t() : LogFile_t(ERR_LogFilePath()) {}

LogFile_t::LogFile_t(const std::u16string& path) : path_(path)
{
  ERR_RemoveUnlessPlainFile(path_);
  MakeWritable(path_);
  try {
    file_ = Open(path_, win::FileCreation_t::OpenExisting);
  } catch (const win::FileError_t& error) {
    if (error.Code() != ENOENT) throw;
    file_ = Open(path_, win::FileCreation_t::CreateAlways);
  }
  Load();
}

LogFile_t::~LogFile_t()
{
  try {
    if (dirty_) Write();
  } catch (...) {
  }
  report_ = {};
  try {
    if (file_->Size() == 0) {
      file_->Close();
      MakeWritable(path_);
      win::WIN_DeleteFile(path_);
    } else {
      file_->Close();
    }
  } catch (...) {
  }
}

void LogFile_t::Load()
{
  const std::uint64_t size = file_->Size();
  if (size == 0) return;
  if (size > MaxSize) {
    Reset();
    return;
  }
  // Read, not mapped: a log that another program cuts short meanwhile then
  // reads short and is replaced, where a mapping would end the process with
  // a bus error.
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (file_->Read(bytes.data(), bytes.size()) != bytes.size()) {
    Reset();
    return;
  }
  // Whatever is wrong with the log's content (and a validated document can
  // still hold what a typed report cannot, such as a year before 1970) ends
  // in a report of the new error alone, never in a log that fails every
  // report after it.
  try {
    xml::IStringStream_t stream(std::move(bytes), ae1::AE1_DocumentTypes());
    glo::Optional_t<glo::CodePage_t> codePage;
    xml::WildcardPtr_t root = stream.Read(codePage);
    if (auto* report = dynamic_cast<ae1::ErrorReport_t*>(root.Get())) {
      report_ = glo::SmartPtr_t<ae1::ErrorReport_t>(report);
      return;
    }
  } catch (const xml::Exception_t&) {
  } catch (const glo::Assert_t&) {
  } catch (const glo::OutOfRange_t&) {
  }
  Reset();
}

void LogFile_t::Reset()
{
  report_ = {};
  file_->Close();
  MakeWritable(path_);
  win::WIN_DeleteFile(path_);
  file_ = Open(path_, win::FileCreation_t::CreateAlways);
}

void LogFile_t::AddError(const ClientError_t& error)
{
  xml::Vector_t<ae1::Error_t> errors;
  if (report_) errors = report_->Errors();
  errors.push_back(error.Error());
  glo::GLO_Assert(!errors.empty(), GLO_HERE);
  report_ = glo::SmartPtr_t<ae1::ErrorReport_t>(new ae1::ErrorReport_t(std::move(errors)));
  dirty_ = true;
  Write();
}

std::string LogFile_t::ReportText() const
{
  return report_ ? Serialized(*report_) : std::string();
}

void LogFile_t::Write()
{
  const std::string text = Serialized(*report_);
  const std::u16string next = path_ + NextSuffix;
  ERR_RemoveUnlessPlainFile(next);
  auto file = Open(next, win::FileCreation_t::CreateAlways);
  try {
    file->Write(text.data(), text.size());
    file->Flush();
    ERR_ReplaceFile(next, path_);
  } catch (...) {
    file->Close();
    win::WIN_DeleteFile(next);
    throw;
  }
  file_ = std::move(file);
  dirty_ = false;
}

}  // namespace err
