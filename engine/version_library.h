// The version functions (GetFileVersionInfoSizeA, GetFileVersionInfoA, VerQueryValueA),
// reached through the library loaded from the system, never through a static import that
// Windows would resolve in the program's own folder first.
#pragma once

#include <windows.h>

// The library, loaded on first use and kept for the life of the process.
HMODULE VersionModule();

// The size of PSZ_PATH's version block; 0 when it has none or the library is missing.
DWORD VersionBlockSize(const char* pszPath);
bool ReadVersionBlock(const char* pszPath, DWORD nSize, void* pBlock);
bool QueryVersionBlock(const void* pBlock, const char* pszSubBlock, void** ppValue, UINT* pnLength);
