// A stand-in for the display control panel library, which a Wine prefix lacks: its
// InstallScreenSaver writes what it received, and which file it was loaded from, into the
// file that the variable LUMIDROP_DESK_CPL_RECORD names; its one applet, once the control
// panel starts it (the screensaver properties), writes its start argument into the file
// that LUMIDROP_DESK_CPL_APPLET_RECORD names.
#include <windows.h>

#include <cpl.h>

#include <cstdio>

extern "C" __declspec(dllexport) LONG CALLBACK CPlApplet(HWND hWnd, UINT nMessage, LPARAM lParam1, LPARAM lParam2);
extern "C" __declspec(dllexport) void CALLBACK InstallScreenSaver(HWND hWnd, HINSTANCE hInstance, LPSTR pszCmdLine,
                                                                  int nCmdShow);

void CALLBACK InstallScreenSaver(HWND hWnd, HINSTANCE hInstance, LPSTR pszCmdLine, int nCmdShow)
{
    char szRecord[MAX_PATH] = "";
    const DWORD nLength = GetEnvironmentVariableA("LUMIDROP_DESK_CPL_RECORD", szRecord, sizeof szRecord);
    if (nLength == 0 || nLength >= sizeof szRecord)
        return;
    HMODULE hSelf = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&InstallScreenSaver), &hSelf);
    char szSelf[MAX_PATH] = "";
    GetModuleFileNameA(hSelf, szSelf, sizeof szSelf);
    // The caller promises a writable copy: a text in read-only memory fails right here.
    volatile char* pWritable = pszCmdLine;
    pWritable[0] = pWritable[0];

    FILE* pFile = std::fopen(szRecord, "wb");
    if (pFile == nullptr)
        return;
    // One item a line: the command line, the show command, whether the window is null and
    // the instance the calling program's, and the library's own file.
    std::fprintf(pFile, "%s\n%d\n%d\n%d\n%s\n", pszCmdLine, nCmdShow, hWnd == nullptr ? 1 : 0,
                 hInstance == GetModuleHandleA(nullptr) ? 1 : 0, szSelf);
    std::fclose(pFile);
}

namespace {
void RecordAppletStart(const char* pszArgument)
{
    char szRecord[MAX_PATH] = "";
    const DWORD nLength = GetEnvironmentVariableA("LUMIDROP_DESK_CPL_APPLET_RECORD", szRecord, sizeof szRecord);
    if (nLength == 0 || nLength >= sizeof szRecord)
        return;
    FILE* pFile = std::fopen(szRecord, "wb");
    if (pFile == nullptr)
        return;
    std::fprintf(pFile, "%s\n", pszArgument);
    std::fclose(pFile);
}
} // namespace

LONG CALLBACK CPlApplet(HWND, UINT nMessage, LPARAM, LPARAM lParam2)
{
    switch (nMessage) {
    case CPL_INIT:
    case CPL_GETCOUNT:
        return 1;
    case CPL_INQUIRE: {
        auto* pInfo = reinterpret_cast<CPLINFO*>(lParam2);
        pInfo->idIcon = 0;
        pInfo->idName = 0;
        pInfo->idInfo = 0;
        pInfo->lData = 0;
        return 0;
    }
    case CPL_STARTWPARMSW: {
        char szArgument[MAX_PATH] = "";
        WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<LPCWSTR>(lParam2), -1, szArgument, sizeof szArgument, nullptr, nullptr);
        RecordAppletStart(szArgument);
        return TRUE;
    }
    case CPL_DBLCLK:
        RecordAppletStart("");
        return 0;
    default:
        return 0;
    }
}
