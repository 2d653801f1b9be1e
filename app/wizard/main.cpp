// velmora: the desktop wizard that prepares storage cards for avionics.

#include "Application.h"
#include "GDI_QtLeaks.h"
#include "WIN_DebugServer.h"

int main(int argc, char** argv)
{
  win::WIN_InstallDebugTrace();
  vm::Application_t application(argc, argv);
  application.InitInstance();
  return application.ExitInstance();
}
