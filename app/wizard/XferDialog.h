#pragma once
// The transfer page's progress dialog (template 5886, percentage bar): it
// runs one transfer worker at a time, for an update file in run mode 0 or
// a configuration card in run modes 1 and 2, and owns the fatal-error
// dialog that the worker's failures reach.

#include <QEventLoop>
#include <chrono>
#include <memory>
#include <string>

#include "AVN_AviationDatabase.h"
#include "GLO_Optional.h"
#include "RunMode.h"
#include "THR_UIThread.h"
#include "TUI_EmbeddedProgressDlg.h"
#include "WIN_DismountVolume.h"
#include "WIN_Window.h"

namespace vm {

class XferDialog_t : public tui::EmbeddedProgressDlg_t {
  Q_OBJECT

 public:
  static constexpr int TemplateId = 5886;
  // How long a stopped worker is waited for before it is abandoned.
  static constexpr std::chrono::milliseconds StopWait{3000};

  XferDialog_t();
  // Stops a worker still there, waiting StopWait at most.
  ~XferDialog_t() override;

  // What the next transfer works with: the card's root, the update file
  // (run mode 0; it must outlive the dialog), the script and the
  // configuration file (run modes 1 and 2), and how the card is unmounted.
  void SetParameters(RunMode_t runMode, std::u16string root, const avn::VlmsDatabase_t* updateFile,
                     glo::Optional_t<std::u16string> batchScript, std::u16string configurationFile,
                     win::DismountSources_t dismount);

  // Starts a new worker after stopping the one before, and shows the dialog
  // with "Transferring Data" (message 2002) and its bar. Without parameters
  // a program fault (glo::Assert_t).
  void Start();

  // Whether a worker is there, running or ended but not yet stopped.
  bool HasWorker() const noexcept { return worker_ != nullptr; }

 protected:
  // Asks the worker to stop and waits for it, StopWait at most, while Qt's
  // loop goes on: the window repaints, and the calls the worker makes
  // meanwhile fail at once (the dialog serves no more), so that it winds
  // down and removes what it left unfinished. A worker still running then is
  // abandoned and ends on its own.
  void StopWorker() override;
  void StartWorker() override;

 private:
  std::intptr_t OnWorkerMessage(const win::Message_t& message);

  std::unique_ptr<thr::UIThread_t> worker_;
  bool parametersSet_ = false;
  RunMode_t runMode_ = RunModeUpdateFile;
  std::u16string root_;
  const avn::VlmsDatabase_t* updateFile_ = nullptr;
  glo::Optional_t<std::u16string> batchScript_;
  std::u16string configurationFile_;
  win::DismountSources_t dismount_;
  // Each worker tells this window when its thread is done; the number of
  // its run tells an abandoned worker's late word from the current one's.
  win::Window_t workerWindow_;
  std::uintptr_t run_ = 0;
  std::uintptr_t endedRun_ = 0;
  QEventLoop* waiting_ = nullptr;
  bool stopping_ = false;
};

}  // namespace vm
