// Usage counts of shared files under HKEY_LOCAL_MACHINE\...\SharedDLLs, taken back one
// use at a time as installations go.
#pragma once

#include <windows.h>

#include <string>

enum class SharedCount {
    None,       // the path has no count (or there is no shared-file key at all)
    StillUsed,  // other installations still use it: the count is one lower now
    Released,   // this was the last use: the count is gone
    Unreadable, // the key or the count could not be read: nothing was changed
};

// Takes one use off strPath's count. A count that cannot be written back or deleted is
// taken as still used, so that the file stays. A key that is there but cannot be opened,
// and a count that is not four readable bytes (the type is not examined, as the setup
// does not examine it either), are Unreadable: nobody can say who still needs the file.
SharedCount ReleaseSharedCount(const std::string& strPath);

// The same under another key.
SharedCount ReleaseSharedCountIn(HKEY hRoot, const char* pszKey, const std::string& strPath);
