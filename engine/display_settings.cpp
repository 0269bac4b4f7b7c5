#include "engine/display_settings.h"

#include "framework/system_library.h"

#include <algorithm>
#include <vector>

namespace {
// The run-from-shell signature of the control panel's exports.
using InstallScreenSaverProc = void(CALLBACK*)(HWND, HINSTANCE, LPSTR, int);
} // namespace

std::string DisplaySettingsLibraryPath()
{
    return SystemLibraryPath("desk.cpl");
}

void HandToDisplaySettings(HINSTANCE hInstance, const std::string& strModulePath)
{
    const std::string strLibrary = DisplaySettingsLibraryPath();
    if (strLibrary.empty())
        return;
    const CLibrary library(LoadLibraryA(strLibrary.c_str()));
    const auto pInstall = library.Find<InstallScreenSaverProc>("InstallScreenSaver");
    if (pInstall == nullptr)
        return;
    // The entry may write into its command line, as rundll32 allows.
    std::vector<char> commandLine(strModulePath.begin(), strModulePath.end());
    commandLine.resize(std::max<std::size_t>(commandLine.size() + 1, MAX_PATH), '\0');
    // Whatever the panel throws, the screensaver is installed; only its becoming the
    // current one is lost. (A structured exception, such as an access violation, is no
    // C++ exception and is not caught here.)
    try {
        pInstall(nullptr, hInstance, commandLine.data(), SW_SHOW);
    } catch (...) {
    }
}
