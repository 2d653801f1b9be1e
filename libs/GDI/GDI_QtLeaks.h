#pragma once
// Included by every program that runs Qt. In builds with AddressSanitizer,
// what Qt and the desktop libraries beneath it keep until the process ends
// (font caches, the accessibility bridge, the D-Bus connection) is left out
// of the leak report, which still names every leak of the program's own
// code. LeakSanitizer asks for this list itself.

#if defined(__SANITIZE_ADDRESS__)
extern "C" __attribute__((used)) inline const char* __lsan_default_suppressions()
{
  return "leak:libQt6Core.so\n"
         "leak:libQt6Gui.so\n"
         "leak:libQt6Widgets.so\n"
         "leak:libQt6DBus.so\n"
         "leak:libQt6XcbQpa.so\n"
         "leak:libqxcb.so\n"
         "leak:libqoffscreen.so\n"
         "leak:libfontconfig.so\n"
         "leak:libfreetype.so\n"
         "leak:libdbus-1.so\n"
         "leak:libxcb\n"
         "leak:libX11.so\n"
         "leak:libglib-2.0.so\n"
         "leak:libgobject-2.0.so\n";
}
#endif
