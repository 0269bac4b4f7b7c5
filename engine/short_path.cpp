#include "engine/short_path.h"

#include <windows.h>

#include <vector>

std::string ShortPathOf(const std::string& strPath)
{
    char szProbe[1] = "";
    const DWORD nLength = GetShortPathNameA(strPath.c_str(), szProbe, 1);
    if (nLength == 0)
        return strPath;
    std::vector<char> shortPath(nLength + 1, '\0');
    if (GetShortPathNameA(strPath.c_str(), shortPath.data(), nLength + 1) == 0)
        return strPath;
    return shortPath.data();
}
