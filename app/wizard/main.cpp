// velmora: the desktop wizard that prepares storage cards for avionics.

#include <chrono>

#include "Application.h"
#include "GDI_QtLeaks.h"
#include "THR_UIThread.h"
#include "WIN_DebugServer.h"

int main(int argc, char** argv)
{
  win::WIN_InstallDebugTrace();
  int exitCode = 1;
  {
    vm::Application_t application(argc, argv);
    application.InitInstance();
    exitCode = application.ExitInstance();
  }
  // A transfer stopped on a card that answers slowly may still be removing
  // what it left unfinished.
  thr::UIThread_t::WaitForAll(std::chrono::seconds(30));
  return exitCode;
}
