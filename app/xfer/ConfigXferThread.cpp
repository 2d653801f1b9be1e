#include "ConfigXferThread.h"

#include <cerrno>

#include "AVN_Exceptions.h"
#include "GLO_Text.h"
#include "WIN_DebugServer.h"
#include "WIN_Error.h"
#include "WIN_Locale.h"
#include "WIN_ResourceModule.h"
#include "WIN_ScriptProcess.h"

namespace vm {
namespace {

std::string Decimal(std::uint32_t number)
{
  return std::to_string(number);
}

std::string SystemText(int code)
{
  return glo::GLO_ToNarrow(win::WIN_GetSystemMessage(static_cast<std::uint32_t>(code), 0), win::WIN_GetAsciiCodePage());
}

std::u16string ProgramFolder()
{
  const std::u16string& program = win::WIN_GetModulePath(win::WIN_GetMainModule());
  return program.substr(0, program.find_last_of(u'/') + 1);
}

}  // namespace

ConfigXferThread_t::ConfigXferThread_t(dio::AccessPointIntf_t& accessPoint, const ConfigXferParameter_t& parameter,
                                       tui::ProgressDlgIntf_t& progressDialog, tui::MessageBoxIntf_t& messageBox)
    : XferThread_t(accessPoint, parameter, progressDialog, messageBox),
      runMode_(parameter.runMode),
      batchScript_(parameter.batchScript),
      configurationFile_(parameter.configurationFile)
{
}

void ConfigXferThread_t::Run(win::Event_t& stop, avn::HalcyonDcp_t& programmer, avn::TransferProgress_t& progress,
                             tui::ProgressDlgIntf_t&)
{
  // The card is held, and what can be refused is, before the script changes it.
  programmer.CheckConfiguration(runMode_, configurationFile_);
  if (!RunBatchScript(stop, progress)) throw avn::BatchFileFailure_t(GLO_HERE);
  programmer.ProgramConfiguration(stop, progress, runMode_, configurationFile_);
}

std::u16string ConfigXferThread_t::ResolveScriptPath(const std::u16string& path, const std::u16string& programFolder)
{
  if (!path.empty() && path.front() == u'/') return path;
  return programFolder + path;
}

bool ConfigXferThread_t::RunBatchScript(win::Event_t& stop, avn::TransferProgress_t& progress)
{
  progress.SetPhase(ioa::PhaseInitial, 0);
  if (!batchScript_) return false;
  std::unique_ptr<win::ScriptProcess_t> script;
  try {
    script = std::make_unique<win::ScriptProcess_t>(ResolveScriptPath(batchScript_.Get(), ProgramFolder()), Root());
  } catch (const win::Error_t&) {
    return false;
  }
  // No time limit: the script takes as long as it takes, and a stop request
  // is noticed at once. A wait that fails ends the script as a stop does.
  bool ended = false;
  try {
    std::optional<std::size_t> first;
    while (!(first = win::WIN_WaitForAny({&stop.Handle(), &script->Handle()}, std::chrono::hours(1)))) {
    }
    ended = *first == 1;
  } catch (const win::Error_t&) {
  }
  if (ended) {
    // What the script left running would go on changing the card after it
    // was reported complete.
    script->EndGroup();
    const auto exitCode = script->ExitCode();
    return exitCode && exitCode.Get() == 0;
  }
  const std::uint32_t id = script->Id();
  TerminateProcessTree(id);
  auto& trace = win::WIN_GetDebugServer();
  const bool terminated = script->Terminate();
  const int error = errno;
  if (terminated)
    trace.Write("\n").Write("Terminated main \"CreateProcess\" process: ").Write(Decimal(id)).Write("\n");
  else
    trace.Write("\n")
        .Write("Failed to terminate main \"CreateProcess\" process: ")
        .Write(Decimal(id))
        .Write("\tError Msg: ")
        .Write(SystemText(error))
        .Write("\n");
  throw glo::Terminate_t(GLO_HERE);
}

void TerminateProcessTree(std::uint32_t processId)
{
  auto& trace = win::WIN_GetDebugServer();
  trace.Write("Terminate Process Tree: Search Process Id: ").Write(Decimal(processId)).Write("\n");
  std::vector<win::ProcessEntry_t> snapshot;
  try {
    snapshot = win::WIN_ProcessSnapshot();
  } catch (const win::Error_t&) {
    return;
  }
  for (const auto& process : snapshot) {
    trace.Write(" Found Process Id: ")
        .Write(Decimal(process.id))
        .Write("\t Name: ")
        .Write(glo::GLO_ToNarrow(process.name, win::WIN_GetAsciiCodePage()))
        .Write("\t Parent Process Id: ")
        .Write(Decimal(process.parentId))
        .Write("\n");
    if (process.parentId != processId) continue;
    TerminateProcessTree(process.id);
    const bool terminated = win::WIN_TerminateProcess(process.id);
    const int error = errno;
    if (terminated) {
      trace.Write("\n").Write(" Terminated Process: ").Write(Decimal(process.id)).Write("\n\n");
    } else if (error != ESRCH) {
      // A process that is gone already cannot be reached: it is skipped.
      trace.Write("\n")
          .Write("Failed to terminate process: ")
          .Write(Decimal(process.id))
          .Write("\tError Msg: ")
          .Write(SystemText(error))
          .Write("\n");
    }
  }
}

}  // namespace vm
