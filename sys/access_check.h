// The check, before anything is installed, that the user may write where the
// installation writes: three registry keys under HKEY_LOCAL_MACHINE and the Windows,
// program-files, common-files and system folders. NT family only; Windows 9x has no
// rights to test.
#pragma once

#include <string>
#include <vector>

// The main dialog's check: 1 when the user may install, 0 when not, after message 228
// has been shown (once, whatever failed).
int CheckAccessRights();

// The keys tested, in order, as a root abbreviation ("HKCR", "HKCU", "HKLM") at the very
// start, a backslash and the subkey.
const std::vector<std::string>& AccessCheckKeys();

// Appends the Windows, program-files, common-files and system folders, in that order;
// false as soon as one of them cannot be found.
bool GatherSpecialFolders(std::vector<std::string>& vecFolders);

using FolderGatherer = bool (*)(std::vector<std::string>& vecFolders);

// The check proper, whatever the platform: each of vecKeys needs KEY_READ and KEY_WRITE,
// each folder pfnGatherFolders gives needs read, write and execute. 1 or 0 as above.
int CheckAccessRightsOf(const std::vector<std::string>& vecKeys, FolderGatherer pfnGatherFolders);
