#include "Application.h"

#include "AFX_MessageBox.h"
#include "AFX_Text.h"
#include "DriveSources.h"
#include "ERR_ErrorDialog.h"
#include "ERR_ErrorReporter.h"
#include "ERR_FatalDialog.h"
#include "GDI_Icon.h"
#include "GLO_Exception.h"
#include "GLO_Text.h"
#include "WIN_Error.h"
#include "WIN_LanguageModule.h"
#include "WIN_ResourceString.h"
#include "WIN_StructuredException.h"
#include "WIN_VersionInfo.h"
#include "WizardFrame.h"

namespace vm {
namespace {

// Qt's event handlers must not let an exception through; this one hands it
// to the application, which shows it and ends the wizard.
class GuiApplication_t : public QApplication {
 public:
  GuiApplication_t(int& argc, char** argv, Application_t& owner) : QApplication(argc, argv), owner_(owner) {}

  bool notify(QObject* receiver, QEvent* event) override
  {
    try {
      return QApplication::notify(receiver, event);
    } catch (...) {
      owner_.ReportFailure(std::current_exception());
      return false;
    }
  }

 private:
  Application_t& owner_;
};

// The icon of every window of the program, icon 100.
inline constexpr std::uint32_t ApplicationIconId = 100;

// A stop signal arrived; posted by the signals' own thread.
constexpr std::uint32_t StopSignalMessage = 0x8103;
// Boxes that do not close are not asked for ever.
constexpr int MostBoxesClosed = 16;

}  // namespace

Application_t::Application_t(int& argc, char** argv)
    : stopWindow_([this](const win::Message_t&) {
        OnStopSignal();
        return std::intptr_t{0};
      })
{
  try {
    stopSignals_ = std::make_unique<win::StopSignals_t>([window = stopWindow_.Handle()] {
      win::WIN_PostMessage(window, win::Message_t{StopSignalMessage, 0, 0, nullptr});
    });
  } catch (const win::Error_t&) {
    // The signals keep their default: they end the program at once.
  }
  if (QApplication::instance() == nullptr) ownApplication_ = std::make_unique<GuiApplication_t>(argc, argv, *this);
  arguments_.assign(argv + (argc > 0 ? 1 : 0), argv + argc);
}

Application_t::~Application_t() = default;

RunMode_t Application_t::RunMode() const
{
  return RunModeOf(commandLine_.FilePath());
}

void Application_t::InitInstance()
{
  const bool languageReady = win::WIN_LoadLanguageModule(
      [](const std::u16string& text) { afx::AFX_MessageBox(nullptr, text, afx::MbIconError); });
  if (!languageReady) return;
  // Window messages of the UI thread come through Qt's loop from here on.
  pump_ = std::make_unique<afx::MessagePump_t>();
  try {
    StartUp();
  } catch (...) {
    ReportFailure(std::current_exception());
  }
}

void Application_t::StartUp()
{
  win::WIN_InstallStructuredExceptionTranslator();
  QCoreApplication::installTranslator(&translator_);
  const std::u16string& product = win::VersionInfo_t::Get().ProductName();
  QApplication::setApplicationDisplayName(afx::AFX_ToQString(product));
  QApplication::setWindowIcon(gdi::GDI_LoadIcon(ApplicationIconId));
  QGuiApplication::setDesktopFileName(QStringLiteral("velmora"));

  ParseCommandLine(commandLine_, arguments_);
  if (!CheckCommandLineSyntax()) {
    afx::AFX_MessageBox(nullptr, win::ResourceString_t(2000, GLO_HERE).Text(), afx::MbOk);
    return;
  }
  // The settings need no key of their own set here: every program of the
  // maker keeps them below Software\Telvan (WIN_SettingsKey).
  if (err::ERR_ErrorReporterSupported()) {
    try {
      err::ERR_LaunchErrorReporter(err::ApplicationStarted, product);
    } catch (const err::ErrorReporterLaunchFailureException_t&) {
      afx::AFX_MessageBox(nullptr,
                          win::ResourceString_t(err::ReporterLaunchFailedMessage, GLO_HERE).Format(product, GLO_HERE),
                          afx::MbOk);
    }
  }
  if (commandLine_.FilePath().size() < 5)
    throw glo::InvalidInput_t(win::ResourceString_t(2015, GLO_HERE).Text(), GLO_HERE);
  const RunMode_t runMode = RunMode();
  if (runMode == RunModeUpdateFile) {
    updateFile_ = std::make_unique<avn::VlmsDatabase_t>();
    updateFile_->Load(commandLine_.FilePath());
  }

  if (stopRequested_) return;
  context_ = WizardContext_t{runMode,
                             updateFile_.get(),
                             commandLine_.BatchScriptPath(),
                             DriveSourcesFromEnvironment(),
                             commandLine_.FilePath(),
                             DismountSourcesFromEnvironment()};
  WizardFrame_t frame(context_);
  mainWindow_ = &frame;
  const int result = frame.exec();
  mainWindow_ = nullptr;
  if (result == QDialog::Accepted) exitCode_ = 0;
}

void Application_t::OnStopSignal()
{
  stopRequested_ = true;
  QWidget* box = QApplication::activeModalWidget();
  if (box != nullptr && box != mainWindow_ && boxesClosed_ < MostBoxesClosed) {
    ++boxesClosed_;
    box->close();
    // Again once the box's own loop has ended.
    win::WIN_PostMessage(stopWindow_.Handle(), win::Message_t{StopSignalMessage, 0, 0, nullptr});
    return;
  }
  if (mainWindow_ != nullptr) mainWindow_->reject();
}

void Application_t::ReportFailure(std::exception_ptr failure)
{
  err::ErrorDialog_t windows(mainWindow_);
  try {
    std::rethrow_exception(failure);
  } catch (const glo::InvalidInput_t& error) {
    afx::AFX_MessageBox(nullptr, error.UserText(), afx::MbIconError);
  } catch (const win::StructuredException_t& error) {
    const err::FatalDialog_t reported(windows, GLO_HERE, error);
  } catch (const glo::Exception_t& error) {
    const err::FatalDialog_t reported(windows, error);
  } catch (const std::exception& error) {
    const err::FatalDialog_t reported(windows, GLO_HERE, error);
  } catch (...) {
    const err::FatalDialog_t reported(windows, glo::Exception_t(GLO_HERE, {}, {}));
  }
  if (mainWindow_ != nullptr) mainWindow_->reject();
}

}  // namespace vm
