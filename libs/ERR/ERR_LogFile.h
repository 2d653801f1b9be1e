#pragma once
// The error log, "ErrorReport.xml" in the private folder "Telvan Error
// Reporting-<uid>" of the user's temporary folder: one error report
// document that every fatal error is appended to, oldest first, until the
// error reporter (or the user) takes it away.

#include <cstdint>
#include <memory>
#include <string>

#include "AE1_ErrorReport.h"
#include "ERR_ClientError.h"
#include "GLO_SmartPtr.h"
#include "WIN_File.h"

namespace err {

// The log's path, worked out once per run; the folder is made on the way
// (FileError_t when it cannot be, or is a link or not ours).
const std::u16string& ERR_LogFilePath();

class LogFile_t {
 public:
  // A log larger than this is no report of ours: it is replaced unread.
  static constexpr std::uint64_t MaxSize = 16 * 1024 * 1024;

  // Opens the log, with no sharing (a second opener fails with a file
  // error), creating it when missing, and loads the report in it. A log
  // that is not a report of ours (not well formed, not valid, another root,
  // too large, not a plain file) is replaced by an empty one. Failures to
  // open raise win::FileError_t, to map the file win::MappedFileError_t.
  LogFile_t();
  explicit LogFile_t(const std::u16string& path);
  // Writes what is pending; a log left empty is deleted. Never raises.
  virtual ~LogFile_t();

  LogFile_t(const LogFile_t&) = delete;
  LogFile_t& operator=(const LogFile_t&) = delete;

  // Appends the error and rewrites the log: the new report goes to a file
  // beside the log, which then replaces it, so that the log always holds a
  // whole report, the old one or the new.
  void AddError(const ClientError_t& error);
  // The report exactly as the log holds it; empty when there is none.
  std::string ReportText() const;

 private:
  void Load();
  void Reset();
  void Write();

  std::u16string path_;
  std::unique_ptr<win::File_t> file_;
  glo::SmartPtr_t<ae1::ErrorReport_t> report_;
  bool dirty_ = false;
};

}  // namespace err
