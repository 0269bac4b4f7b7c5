// Handing the installed screensaver to the system's display control panel, which makes it
// the current screensaver.
#pragma once

#include <windows.h>

#include <string>

// The display control panel library by its full path in the system folder: a bare
// "desk.cpl" would be looked for beside setup.exe first, and a file planted there (in a
// downloads folder) would run inside the installer.
std::string DisplaySettingsLibraryPath();

// Calls InstallScreenSaver of that library as a run-from-shell entry: no window, hInstance,
// a writable copy of strModulePath, SW_SHOW. A missing library or export is skipped, and a
// C++ exception raised inside is swallowed: the installation is complete without it.
void HandToDisplaySettings(HINSTANCE hInstance, const std::string& strModulePath);
