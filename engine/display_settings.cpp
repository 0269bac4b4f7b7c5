#include "engine/display_settings.h"

#include <algorithm>
#include <vector>

namespace {
// The run-from-shell signature of the control panel's exports.
using InstallScreenSaverProc = void(CALLBACK*)(HWND, HINSTANCE, LPSTR, int);

// Owns one loaded library and frees it on destruction.
class CLoadedLibrary {
public:
    explicit CLoadedLibrary(const std::string& strPath) : m_hModule(LoadLibraryA(strPath.c_str())) {}
    CLoadedLibrary(const CLoadedLibrary&) = delete;
    CLoadedLibrary& operator=(const CLoadedLibrary&) = delete;
    ~CLoadedLibrary()
    {
        if (m_hModule != nullptr)
            FreeLibrary(m_hModule);
    }

    HMODULE Get() const { return m_hModule; }

private:
    HMODULE m_hModule;
};
} // namespace

std::string DisplaySettingsLibraryPath()
{
    char szSystem[MAX_PATH] = "";
    const UINT nLength = GetSystemDirectoryA(szSystem, sizeof szSystem);
    if (nLength == 0 || nLength >= sizeof szSystem)
        return std::string();
    return std::string(szSystem, nLength) + "\\desk.cpl";
}

void HandToDisplaySettings(HINSTANCE hInstance, const std::string& strModulePath)
{
    const std::string strLibrary = DisplaySettingsLibraryPath();
    if (strLibrary.empty())
        return;
    const CLoadedLibrary library(strLibrary);
    if (library.Get() == nullptr)
        return;
    const auto pInstall =
        reinterpret_cast<InstallScreenSaverProc>(reinterpret_cast<void*>(GetProcAddress(library.Get(), "InstallScreenSaver")));
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
