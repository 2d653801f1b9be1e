// velmora-cli program --card DIR [--card DIR...] FILE [--batch SCRIPT]
// [--json]: the very transfer the wizard runs, on a worker thread whose
// calls are served with console dialogs. The run mode comes from the file's
// extension, as at start-up.
//
// Several cards are written at once, each by a transfer of its own: its own
// worker, served by its own host on a thread of its own, with its own
// outcome. The update file is loaded and checked once; the loaded update
// is only read while the transfers run (each opens the file for itself), so
// they share it.

#include <iostream>
#include <mutex>
#include <thread>
#include <vector>

#include "AVN_AviationDatabase.h"
#include "Cli.h"
#include "CommandLine.h"
#include "ConfigXferThread.h"
#include "Console.h"
#include "DriveSources.h"
#include "Fatal.h"
#include "GLO_Exception.h"
#include "JsonLines.h"
#include "RunMode.h"
#include "VlmsXferThread.h"
#include "WIN_ResourceString.h"
#include "WIN_StopSignals.h"
#include "WIN_Terminal.h"
#include "XferHost.h"

namespace cli {
namespace {

// What every card's transfer is made from.
struct Job_t {
  vm::RunMode_t mode;
  std::u16string path;
  glo::Optional_t<std::u16string> batch;
  const avn::VlmsDatabase_t* update = nullptr;
  bool json = false;
  // More than one card: the cards run at once and every line names its own.
  bool several = false;
};

// How one card's transfer ended.
struct Outcome_t {
  int exit = Failure;
  std::optional<std::u16string> message;
};

// The hosts of the running transfers, which a stop request reaches from the
// signals' thread.
class Hosts_t {
 public:
  void Add(vm::XferHost_t& host)
  {
    std::lock_guard guard(lock_);
    hosts_.push_back(&host);
  }
  void Remove(vm::XferHost_t& host)
  {
    std::lock_guard guard(lock_);
    std::erase(hosts_, &host);
  }
  void StopAll()
  {
    std::lock_guard guard(lock_);
    for (auto* host : hosts_) host->RequestStop();
  }

 private:
  std::mutex lock_;
  std::vector<vm::XferHost_t*> hosts_;
};

std::unique_ptr<vm::XferParameter_t> MakeParameter(const Job_t& job, thr::UIThread_t::Entry_t& entry)
{
  if (job.mode == vm::RunModeUpdateFile) {
    auto vlms = std::make_unique<vm::VlmsXferParameter_t>();
    vlms->update = job.update;
    entry = vm::XferWorkerEntry<vm::VlmsXferThread_t, vm::VlmsXferParameter_t>;
    return vlms;
  }
  auto config = std::make_unique<vm::ConfigXferParameter_t>();
  config->runMode = job.mode;
  config->batchScript = job.batch;
  config->configurationFile = job.path;
  entry = vm::XferWorkerEntry<vm::ConfigXferThread_t, vm::ConfigXferParameter_t>;
  return config;
}

// Runs the transfer onto one card on this thread, serving its worker's
// calls until it has ended.
Outcome_t ProgramCard(const Job_t& job, const std::u16string& card, Hosts_t& hosts, ConsoleFatalReport_t& fatal)
{
  ConsoleOptions_t options;
  options.terminal = !job.json && !job.several && win::WIN_IsTerminal(win::StandardStream_t::Error);
  options.json = job.json;
  options.card = card;
  options.named = job.several;
  ConsoleProgress_t progress(options);
  ConsoleMessageBox_t messages(progress);
  thr::UIThread_t::Entry_t entry;
  auto parameter = MakeParameter(job, entry);
  parameter->root = card;
  parameter->dismount = vm::DismountSourcesFromEnvironment();
  parameter->workerFatalDialog = &fatal;

  vm::XferHost_t host(progress, messages, fatal);
  hosts.Add(host);
  const bool unstopped = host.Run(entry, std::move(parameter));
  hosts.Remove(host);
  progress.BreakLine();
  Outcome_t outcome;
  if (progress.Finished()) {
    outcome.exit = Success;
    outcome.message = progress.CompletionText();
  } else {
    outcome.exit = unstopped ? Failure : Stopped;
    if (!messages.Shown().empty()) outcome.message = messages.Shown();
  }
  return outcome;
}

}  // namespace

int Program(const Arguments& arguments)
{
  const CommandLine_t line("program", arguments, {"--card", "--batch"}, {"--json"}, "one file only");
  Job_t job;
  job.json = line.Has("--json");
  std::vector<std::u16string> cards;
  for (const auto& card : line.Values("--card")) cards.push_back(Path(card));
  if (!line.Values("--batch").empty()) job.batch.Set(Path(line.Values("--batch").back()));
  const std::string& file = line.File();
  if (cards.empty()) throw UsageError("program: needs --card DIR");
  if (file.empty()) throw UsageError("program: needs an update or configuration file");

  job.path = Path(file);
  // The checks of start-up, with its messages.
  if (job.path.size() < 5) throw glo::InvalidInput_t(win::ResourceString_t(2015, GLO_HERE).Text(), GLO_HERE);
  job.mode = vm::RunModeOf(job.path);
  avn::VlmsDatabase_t update;
  if (job.mode == vm::RunModeUpdateFile) {
    update.Load(job.path);
    job.update = &update;
  }
  job.several = cards.size() > 1;

  ConsoleFatalReport_t fatal;
  Hosts_t hosts;
  // Before the workers start, so that they leave the signals to us.
  win::StopSignals_t signals([&hosts] { hosts.StopAll(); });
  std::vector<Outcome_t> outcomes(cards.size());
  if (!job.several) {
    outcomes[0] = ProgramCard(job, cards[0], hosts, fatal);
  } else {
    std::vector<std::jthread> threads;
    for (std::size_t i = 0; i < cards.size(); ++i)
      threads.emplace_back([&, i] {
        try {
          outcomes[i] = ProgramCard(job, cards[i], hosts, fatal);
        } catch (...) {
          // This card only: the others go on.
          outcomes[i].message = FailureMessage();
          if (!job.json && outcomes[i].message) {
            std::lock_guard guard(ConsoleLock());
            std::cerr << Utf8(cards[i] + u": " + *outcomes[i].message) << '\n';
          }
        }
        if (job.json) JsonLine(JsonOutcome("result", cards[i], outcomes[i].exit, outcomes[i].message));
      });
  }
  int exit = Success;
  for (const auto& outcome : outcomes)
    if (outcome.exit != Success) exit = Failure;
  if (signals.Received()) exit = Stopped;
  if (job.json) {
    if (job.several)
      JsonLine(JsonOutcome("end", {}, exit, std::nullopt));
    else
      JsonLine(JsonOutcome("end", cards[0], exit, outcomes[0].message));
  }
  return exit;
}

}  // namespace cli
