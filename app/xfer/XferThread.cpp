#include "XferThread.h"

#include <ios>
#include <new>
#include <stdexcept>
#include <typeinfo>

#include "AVN_Exceptions.h"
#include "DIO_Exceptions.h"
#include "DIO_Reference.h"
#include "ERR_FatalReport.h"
#include "ERR_ProxyFatalDialog.h"
#include "ProgressAdapter.h"
#include "TUI_ProxyMessageBox.h"
#include "TUI_ProxyProgressDlg.h"
#include "WIN_ByteSize.h"
#include "WIN_Error.h"
#include "WIN_ResourceString.h"

namespace vm {
namespace {

std::u16string Shortage(std::uint32_t message, const avn::InsufficientFreeSpace_t& shortage)
{
  return win::ResourceString_t(message, GLO_HERE)
      .Format({win::WIN_FormatByteSize(shortage.Needed()), win::WIN_FormatByteSize(shortage.Available())}, GLO_HERE);
}

}  // namespace

XferThread_t::XferThread_t(dio::AccessPointIntf_t& accessPoint, const XferParameter_t& parameter,
                           tui::ProgressDlgIntf_t& progressDialog, tui::MessageBoxIntf_t& messageBox)
    : accessPoint_(&accessPoint),
      root_(parameter.root),
      dismount_(parameter.dismount),
      workerFatalDialog_(parameter.workerFatalDialog),
      progressDialog_(&progressDialog),
      messageBox_(&messageBox)
{
}

void XferThread_t::Execute(win::Event_t& stop)
{
  try {
    ProgressAdapter_t progress(*progressDialog_, ProgressAdapter_t::DefaultUpdateInterval);
    avn::HalcyonDcp_t programmer(root_);
    Run(stop, programmer, progress, *progressDialog_);
    Finalize(stop, progress, programmer);
    return;
  } catch (const avn::InsufficientCardFreeSpace_t& shortage) {
    Tell(Shortage(CardTooSmall, shortage));
  } catch (const avn::InsufficientDriveFreeSpace_t& shortage) {
    Tell(Shortage(DriveTooSmall, shortage));
  } catch (const avn::BadRegionFile_t&) {
    Tell(win::ResourceString_t(DamagedUpdate, GLO_HERE).Text());
  } catch (const avn::BadPartialTpcUpdateFile_t& refused) {
    Tell(refused.Message());
  } catch (const avn::CardRefused_t& refused) {
    Tell(refused.Message());
  } catch (const avn::BatchFileFailure_t&) {
    Tell(win::ResourceString_t(ScriptFailed, GLO_HERE).Text());
  } catch (const glo::Terminate_t&) {
    return;
  } catch (const dio::Exception_t& error) {
    // The cross-thread calls are what failed: the worker reports on its own,
    // and nothing more reaches the dialog.
    if (workerFatalDialog_ != nullptr) err::ERR_ReportFatal(*workerFatalDialog_, error);
    return;
  } catch (const win::Error_t& error) {
    Tell(error.Message());
  } catch (const win::StructuredException_t& fault) {
    ReportFatal([&fault](err::FatalDialogIntf_t& dialog) { err::ERR_ReportFatal(dialog, GLO_HERE, fault); });
  } catch (const glo::Exception_t& error) {
    ReportFatal([&error](err::FatalDialogIntf_t& dialog) { err::ERR_ReportFatal(dialog, error); });
  } catch (const std::length_error& error) {
    ReportFatal([&error](err::FatalDialogIntf_t& dialog) { err::ERR_ReportFatal(dialog, GLO_HERE, error); });
  } catch (const std::domain_error& error) {
    ReportFatal([&error](err::FatalDialogIntf_t& dialog) { err::ERR_ReportFatal(dialog, GLO_HERE, error); });
  } catch (const std::out_of_range& error) {
    ReportFatal([&error](err::FatalDialogIntf_t& dialog) { err::ERR_ReportFatal(dialog, GLO_HERE, error); });
  } catch (const std::invalid_argument& error) {
    ReportFatal([&error](err::FatalDialogIntf_t& dialog) { err::ERR_ReportFatal(dialog, GLO_HERE, error); });
  } catch (const std::ios_base::failure& error) {
    ReportFatal([&error](err::FatalDialogIntf_t& dialog) { err::ERR_ReportFatal(dialog, GLO_HERE, error); });
  } catch (const std::range_error& error) {
    ReportFatal([&error](err::FatalDialogIntf_t& dialog) { err::ERR_ReportFatal(dialog, GLO_HERE, error); });
  } catch (const std::overflow_error& error) {
    ReportFatal([&error](err::FatalDialogIntf_t& dialog) { err::ERR_ReportFatal(dialog, GLO_HERE, error); });
  } catch (const std::underflow_error& error) {
    ReportFatal([&error](err::FatalDialogIntf_t& dialog) { err::ERR_ReportFatal(dialog, GLO_HERE, error); });
  } catch (const std::bad_alloc& error) {
    ReportFatal([&error](err::FatalDialogIntf_t& dialog) { err::ERR_ReportFatal(dialog, GLO_HERE, error); });
  } catch (const std::bad_cast& error) {
    ReportFatal([&error](err::FatalDialogIntf_t& dialog) { err::ERR_ReportFatal(dialog, GLO_HERE, error); });
  } catch (const std::bad_exception& error) {
    ReportFatal([&error](err::FatalDialogIntf_t& dialog) { err::ERR_ReportFatal(dialog, GLO_HERE, error); });
  } catch (const std::bad_typeid& error) {
    ReportFatal([&error](err::FatalDialogIntf_t& dialog) { err::ERR_ReportFatal(dialog, GLO_HERE, error); });
  } catch (const std::logic_error& error) {
    ReportFatal([&error](err::FatalDialogIntf_t& dialog) { err::ERR_ReportFatal(dialog, GLO_HERE, error); });
  } catch (const std::runtime_error& error) {
    ReportFatal([&error](err::FatalDialogIntf_t& dialog) { err::ERR_ReportFatal(dialog, GLO_HERE, error); });
  } catch (const std::exception& error) {
    ReportFatal([&error](err::FatalDialogIntf_t& dialog) { err::ERR_ReportFatal(dialog, GLO_HERE, error); });
  } catch (...) {
    ReportFatal([](err::FatalDialogIntf_t& dialog) { err::ERR_ReportFatal(dialog, GLO_HERE, u"Unknown error."); });
  }
}

void XferThread_t::Finalize(win::Event_t& stop, avn::TransferProgress_t& progress, avn::HalcyonDcp_t& programmer)
{
  // The user-interface side stopped the work itself and wants nothing more.
  if (stop.Wait(std::chrono::milliseconds::zero())) return;
  progress.SetPhase(ioa::PhaseFinalizing, 0);
  // Nothing is complete before the card holds it, removable or not; a card
  // that vanished under the transfer fails here at the latest.
  programmer.Finish();
  try {
    win::WIN_DismountVolume(root_, dismount_);
  } catch (const win::Error_t&) {
    // A card that cannot be dismounted is left to settle; a stop request
    // ends the pause, and the work, early.
    if (stop.Wait(DismountPause)) return;
  }
  progress.SetPhase(ioa::PhaseComplete, 0);
}

void XferThread_t::Tell(const std::u16string& text)
{
  // What goes wrong while telling ends the worker's say: the dialog side
  // is gone or failing, and the worker has no one left to tell.
  try {
    messageBox_->Show(text, MessageType, 0);
    progressDialog_->End();
  } catch (const dio::Exception_t& error) {
    if (workerFatalDialog_ != nullptr) err::ERR_ReportFatal(*workerFatalDialog_, error);
  }
}

void XferThread_t::ReportFatal(const std::function<void(err::FatalDialogIntf_t&)>& report)
{
  try {
    err::ProxyFatalDialog_t dialog(dio::RemoteReference_t({err::FatalDialogClass, 1}, *accessPoint_));
    report(dialog);
    progressDialog_->End();
  } catch (const dio::Exception_t& error) {
    if (workerFatalDialog_ != nullptr) err::ERR_ReportFatal(*workerFatalDialog_, error);
  }
}

void XferRun(thr::UIThread_t::Context_t& context,
             const std::function<std::unique_ptr<XferThread_t>(dio::AccessPointIntf_t&, tui::ProgressDlgIntf_t&,
                                                               tui::MessageBoxIntf_t&)>& make)
{
  dio::AccessPointIntf_t& accessPoint = context.AccessPoint();
  tui::ProxyProgressDlg_t progressDialog(dio::RemoteReference_t({tui::ProgressDlgClass, 1}, accessPoint));
  tui::ProxyMessageBox_t messageBox(dio::RemoteReference_t({tui::MessageBoxClass, 1}, accessPoint));
  const auto transfer = make(accessPoint, progressDialog, messageBox);
  win::Event_t stop = context.DuplicateStopEvent();
  transfer->Execute(stop);
}

}  // namespace vm
