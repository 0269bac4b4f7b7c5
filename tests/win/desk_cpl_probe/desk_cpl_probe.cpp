// A stand-in for the display control panel library, which a Wine prefix lacks: its
// InstallScreenSaver writes what it received, and which file it was loaded from, into the
// file that the variable LUMIDROP_DESK_CPL_RECORD names.
#include <windows.h>

#include <cstdio>

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
