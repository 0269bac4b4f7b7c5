// Folder texts are kept without their trailing backslash: "C:\Disk 2\" becomes "C:\Disk 2"
// and a drive root "X:\" becomes "X:".
#pragma once

#include <string>

// Removes one trailing backslash, if there is one; never more.
inline void TrimTrailingBackslash(std::string& strPath)
{
    if (!strPath.empty() && strPath.back() == '\\')
        strPath.pop_back();
}
