#include "framework/message_box.h"

#include "framework/modal_owner.h"

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

// Boxes belong where a dialog without a parent would: to the modal dialog they are
// asked from, or to the main window, even when a worker thread asks.
HWND BoxOwner()
{
    HWND hOwner = GetModalOwner();
    return hOwner != nullptr ? hOwner : GetActiveWindow();
}
} // namespace

int ShowSystemMessageBox(const std::string& strText, unsigned nStyle)
{
    return MessageBoxA(BoxOwner(), strText.c_str(), ProgramName().c_str(), nStyle);
}
