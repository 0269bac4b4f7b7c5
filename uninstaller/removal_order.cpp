#include "uninstaller/removal_order.h"

#include <algorithm>

namespace {
bool IsSeparator(char ch)
{
    return ch == '\\' || ch == '/';
}

std::size_t Depth(const std::string& strPath)
{
    std::size_t nEnd = strPath.size();
    while (nEnd > 0 && IsSeparator(strPath[nEnd - 1]))
        --nEnd;
    return static_cast<std::size_t>(std::count_if(strPath.begin(), strPath.begin() + static_cast<std::ptrdiff_t>(nEnd),
                                                  IsSeparator));
}

char Folded(char ch)
{
    if (ch == '/')
        return '\\';
    return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
}
} // namespace

std::vector<std::string> DeepestFirst(const std::vector<std::string>& vecFolders)
{
    std::vector<std::string> vecOrdered(vecFolders.rbegin(), vecFolders.rend());
    std::stable_sort(vecOrdered.begin(), vecOrdered.end(),
                     [](const std::string& a, const std::string& b) { return Depth(a) > Depth(b); });
    return vecOrdered;
}

bool SamePath(const std::string& strFirst, const std::string& strSecond)
{
    return strFirst.size() == strSecond.size() &&
           std::equal(strFirst.begin(), strFirst.end(), strSecond.begin(),
                      [](char a, char b) { return Folded(a) == Folded(b); });
}

bool IsInsideFolder(const std::string& strPath, const std::string& strFolder)
{
    std::size_t nFolder = strFolder.size();
    while (nFolder > 0 && IsSeparator(strFolder[nFolder - 1]))
        --nFolder;
    return nFolder > 0 && strPath.size() > nFolder + 1 && IsSeparator(strPath[nFolder]) &&
           SamePath(strPath.substr(0, nFolder), strFolder.substr(0, nFolder));
}
