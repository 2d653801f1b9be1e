#pragma once
// The velmora program: start-up, the run mode and the wizard's modal run.
//
// Start-up selects the language module, parses the command line, starts
// the error reporter (mode 1) when one is installed, refuses what cannot be
// worked on in a message box (messages 2000, 2015, 2016, 11800, 11801),
// loads the update file in run mode 0 and runs the wizard.
// Every failure ends there: an input error as an error box, anything else in
// the fatal-error dialog; the wizard is not shown after one. The exit code
// is 0 after at least one successful transfer, 1 otherwise.
//
// An interrupt, terminate or hang-up signal is taken as the user closing the
// program's windows: an open box is closed, then the wizard, which stops a
// running transfer so that nothing half-written stays on the card.

#include <QApplication>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "AFX_MessagePump.h"
#include "WIN_StopSignals.h"
#include "WIN_Window.h"
#include "AFX_ResourceTranslator.h"
#include "AVN_AviationDatabase.h"
#include "CommandLineInfo.h"
#include "GLO_NonCopyable.h"
#include "RunMode.h"
#include "WizardContext.h"

namespace vm {

class WizardFrame_t;

class Application_t : public glo::NonCopyable_t {
 public:
  // Takes over the stop signals (before Qt starts threads of its own, which
  // leave the signals to it), then makes the QApplication unless the process
  // has one already, with the
  // product name, the application icon, and a handler that ends the wizard
  // on a failure that reaches Qt's event loop. The arguments Qt takes (such
  // as -platform) are removed; the rest, after the program name, are the
  // program's (UTF-8 or the bytes of file names).
  Application_t(int& argc, char** argv);
  ~Application_t();

  // Start-up and the wizard's modal run, as above.
  void InitInstance();
  // The exit code.
  int ExitInstance() const noexcept { return exitCode_; }

  // From the file's extension; an unknown one raises glo::InvalidInput_t
  // (message 2016).
  RunMode_t RunMode() const;
  std::u16string FilePath() const { return commandLine_.FilePath(); }
  glo::Optional_t<std::u16string> BatchScriptPath() const { return commandLine_.BatchScriptPath(); }
  // The loaded update file; null in run modes 1 and 2 and before start-up
  // loaded it.
  const avn::VlmsDatabase_t* UpdateFile() const noexcept { return updateFile_.get(); }
  bool CheckCommandLineSyntax() const noexcept { return !commandLine_.SyntaxError(); }
  // The wizard while it runs; null otherwise.
  WizardFrame_t* MainWindow() const noexcept { return mainWindow_; }

  // Shows a failure as start-up does, and ends the wizard when it runs.
  void ReportFailure(std::exception_ptr failure);

 private:
  void StartUp();
  // One step of closing the windows for a stop signal: the innermost box,
  // then, once its loop has ended, the next one, and the wizard last.
  void OnStopSignal();

  win::Window_t stopWindow_;
  std::unique_ptr<win::StopSignals_t> stopSignals_;
  bool stopRequested_ = false;
  int boxesClosed_ = 0;
  std::unique_ptr<QApplication> ownApplication_;
  std::unique_ptr<afx::MessagePump_t> pump_;
  // The templates' texts and Qt's buttons in the language of the module.
  afx::ResourceTranslator_t translator_;
  std::vector<std::string> arguments_;
  CommandLineInfo_t commandLine_;
  int exitCode_ = 1;
  std::unique_ptr<avn::VlmsDatabase_t> updateFile_;
  WizardContext_t context_;
  WizardFrame_t* mainWindow_ = nullptr;
};

}  // namespace vm
