// Usage counts of shared files in the system's shared-file registry, raised once per
// installation of each file marked Shared.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct CRegistryBefore;

constexpr const char* kSharedDllsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
// KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY.
constexpr REGSAM kSharedDllsAccess = 0x2001F;

// Raises the count of every path under HKEY_LOCAL_MACHINE\SharedDLLs by one: a value that
// cannot be read (none yet, or not four bytes) counts as 0, and the new count is written as
// REG_DWORD. The key is opened, never created. Each count is noted in vecBefore as it was
// before it is raised, so that a roll-back lowers it again (and deletes a count the run
// made). Raises CMyException when the key cannot be opened or a count cannot be written.
void CountSharedFiles(const std::vector<std::string>& sharedFiles, std::vector<CRegistryBefore>& vecBefore);

// The same under another key.
void CountSharedFilesIn(HKEY hRoot, const char* pszKey, const std::vector<std::string>& sharedFiles,
                        std::vector<CRegistryBefore>& vecBefore);
