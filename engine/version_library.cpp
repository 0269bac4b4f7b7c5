#include "engine/version_library.h"

#include "framework/system_library.h"

namespace {
const CLibrary& Library()
{
    static const CLibrary s_library = LoadSystemLibrary("version.dll");
    return s_library;
}
} // namespace

HMODULE VersionModule()
{
    return Library().Get();
}

DWORD VersionBlockSize(const char* pszPath)
{
    static const auto s_pSize = Library().Find<decltype(&GetFileVersionInfoSizeA)>("GetFileVersionInfoSizeA");
    DWORD nHandle = 0;
    return s_pSize != nullptr ? s_pSize(pszPath, &nHandle) : 0;
}

bool ReadVersionBlock(const char* pszPath, DWORD nSize, void* pBlock)
{
    static const auto s_pRead = Library().Find<decltype(&GetFileVersionInfoA)>("GetFileVersionInfoA");
    return s_pRead != nullptr && s_pRead(pszPath, 0, nSize, pBlock) != FALSE;
}

bool QueryVersionBlock(const void* pBlock, const char* pszSubBlock, void** ppValue, UINT* pnLength)
{
    static const auto s_pQuery = Library().Find<decltype(&VerQueryValueA)>("VerQueryValueA");
    return s_pQuery != nullptr && s_pQuery(pBlock, pszSubBlock, ppValue, pnLength) != FALSE;
}
