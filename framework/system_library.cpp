#include "framework/system_library.h"

namespace {
// LOAD_LIBRARY_SEARCH_SYSTEM32, known to systems with SetDefaultDllDirectories (Windows 8,
// and Windows 7 and Vista with update KB2533623). Older headers lack the names.
constexpr DWORD kSearchSystem32 = 0x00000800;

using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);

// The kernel's SetDefaultDllDirectories, looked up: systems without it must still start.
SetDefaultDllDirectoriesProc FindSetDefaultDllDirectories()
{
    const HMODULE hKernel = GetModuleHandleA("kernel32.dll");
    if (hKernel == nullptr)
        return nullptr;
    return reinterpret_cast<SetDefaultDllDirectoriesProc>(
        reinterpret_cast<void*>(GetProcAddress(hKernel, "SetDefaultDllDirectories")));
}
} // namespace

std::string SystemLibraryPath(const char* pszFileName)
{
    char szSystem[MAX_PATH] = "";
    const UINT nLength = GetSystemDirectoryA(szSystem, sizeof szSystem);
    if (nLength == 0 || nLength >= sizeof szSystem)
        return std::string();
    return std::string(szSystem, nLength) + "\\" + pszFileName;
}

CLibrary LoadSystemLibrary(const char* pszFileName)
{
    if (FindSetDefaultDllDirectories() != nullptr)
        return CLibrary(LoadLibraryExA(pszFileName, nullptr, kSearchSystem32));
    const std::string strPath = SystemLibraryPath(pszFileName);
    if (strPath.empty())
        return CLibrary();
    return CLibrary(LoadLibraryA(strPath.c_str()));
}

void RestrictLibrarySearch()
{
    if (const SetDefaultDllDirectoriesProc pSetDefault = FindSetDefaultDllDirectories())
        pSetDefault(kSearchSystem32);
    // Also on systems without the restriction above: the current folder leaves the search.
    SetDllDirectoryA("");
}
