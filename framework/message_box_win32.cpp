#include "framework/message_box.h"

#include "framework/app.h"

#include <windows.h>

namespace {
// The program file's name without folder and extension: "setup" for C:\x\setup.exe.
std::string ProgramName()
{
    char szPath[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, szPath, sizeof szPath);
    std::string strName = szPath;
    const std::size_t nSlash = strName.find_last_of("\\/");
    if (nSlash != std::string::npos)
        strName.erase(0, nSlash + 1);
    const std::size_t nDot = strName.rfind('.');
    if (nDot != std::string::npos)
        strName.erase(nDot);
    return strName;
}

// Boxes belong to the program's main window while it exists, even when a worker
// thread asks: the thread has no window of its own to be modal to.
HWND BoxOwner()
{
    HWND hMain = GetMainWindowHandle();
    if (hMain != nullptr && IsWindow(hMain))
        return hMain;
    return GetActiveWindow();
}
} // namespace

int ShowSystemMessageBox(const std::string& strText, unsigned nStyle)
{
    return MessageBoxA(BoxOwner(), strText.c_str(), ProgramName().c_str(), nStyle);
}
