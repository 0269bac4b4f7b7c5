// Usage counts of shared files under HKEY_LOCAL_MACHINE\...\SharedDLLs, taken back one
// use at a time as installations go.
#pragma once

#include <string>

enum class SharedCount {
    None,      // the path has no count (or there is no shared-file key at all)
    StillUsed, // other installations still use it: the count is one lower now
    Released,  // this was the last use: the count is gone
};

// Takes one use off strPath's count. A count that cannot be written back or deleted is
// taken as still used, so that the file stays; a value that holds no readable 32-bit count
// is taken as a single use.
SharedCount ReleaseSharedCount(const std::string& strPath);
