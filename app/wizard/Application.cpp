#include "Application.h"

#include "AFX_MessageBox.h"
#include "AFX_Text.h"
#include "DriveSources.h"
#include "ERR_FatalReport.h"
#include "FatalErrorBox.h"
#include "GDI_Icon.h"
#include "GLO_Exception.h"
#include "GLO_Text.h"
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

}  // namespace

Application_t::Application_t(int& argc, char** argv)
{
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
  if (commandLine_.FilePath().size() < 5)
    throw glo::InvalidInput_t(win::ResourceString_t(2015, GLO_HERE).Text(), GLO_HERE);
  const RunMode_t runMode = RunMode();
  if (runMode == RunModeUpdateFile) {
    updateFile_ = std::make_unique<avn::VlmsDatabase_t>();
    updateFile_->Load(commandLine_.FilePath());
  }

  context_ = WizardContext_t{runMode, updateFile_.get(), commandLine_.BatchScriptPath(), DriveSourcesFromEnvironment()};
  // Window messages of the UI thread come through Qt's loop from here on.
  afx::MessagePump_t pump;
  WizardFrame_t frame(context_);
  mainWindow_ = &frame;
  const int result = frame.exec();
  mainWindow_ = nullptr;
  if (result == QDialog::Accepted) exitCode_ = 0;
}

void Application_t::ReportFailure(std::exception_ptr failure)
{
  FatalErrorBox_t dialog;
  try {
    std::rethrow_exception(failure);
  } catch (const glo::InvalidInput_t& error) {
    afx::AFX_MessageBox(nullptr, error.UserText(), afx::MbIconError);
  } catch (const win::StructuredException_t& error) {
    dialog.Show(__FILE__, __LINE__, error.Message(), error.SubId(), error.ProgramAddress(), error.StackTrace());
  } catch (const glo::Exception_t& error) {
    err::ERR_ReportFatal(dialog, error);
  } catch (const std::exception& error) {
    err::ERR_ReportFatal(dialog, GLO_HERE, error);
  } catch (...) {
    err::ERR_ReportFatal(dialog, glo::Exception_t(GLO_HERE, {}, {}));
  }
  if (mainWindow_ != nullptr) mainWindow_->reject();
}

}  // namespace vm
