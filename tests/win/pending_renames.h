// The system's list of renames and deletions waiting for the next start, read as pairs,
// and a guard that takes a test's own entries out of it again. Deletions are pairs with
// an empty target, so the list cannot be read as texts up to the first empty one.
#pragma once

#include "framework/reg_key.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

using PendingRename = std::pair<std::string, std::string>; // source ("\??\" + path), target or ""

inline std::vector<PendingRename> PendingRenames()
{
    std::vector<PendingRename> vecPairs;
    CRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", KEY_QUERY_VALUE) !=
        ERROR_SUCCESS)
        return vecPairs;
    DWORD nSize = 0;
    if (key.QueryValue("PendingFileRenameOperations", nullptr, nullptr, nSize) != ERROR_SUCCESS)
        return vecPairs;
    std::vector<char> data(nSize + 2, '\0');
    if (key.QueryValue("PendingFileRenameOperations", nullptr, data.data(), nSize) != ERROR_SUCCESS)
        return vecPairs;
    // Each text ends in a zero; the list ends where a source would be empty.
    for (std::size_t i = 0; i < nSize && data[i] != '\0';) {
        const std::string strSource = data.data() + i;
        i += strSource.size() + 1;
        const std::string strTarget = i < nSize ? data.data() + i : "";
        i += strTarget.size() + 1;
        vecPairs.emplace_back(strSource, strTarget);
    }
    return vecPairs;
}

// Takes the entries that isOurs picks out of the list again, leaving the others as they were.
template <class F>
void ForgetPendingRenames(F isOurs)
{
    std::string strKept;
    bool bOurs = false;
    for (const PendingRename& entry : PendingRenames()) {
        if (isOurs(entry)) {
            bOurs = true;
            continue;
        }
        strKept += entry.first + '\0' + entry.second + '\0';
    }
    CRegKey key;
    if (!bOurs ||
        key.Open(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", KEY_SET_VALUE) !=
            ERROR_SUCCESS)
        return;
    if (strKept.empty())
        key.DeleteValue("PendingFileRenameOperations");
    else
        key.SetValue("PendingFileRenameOperations", REG_MULTI_SZ, strKept.data(),
                     static_cast<DWORD>(strKept.size() + 1));
}

// Takes the entries whose source lies in the test's folder out of the list when it ends.
// Other test programs may add entries meanwhile, so only ours are taken out.
class CPendingRenamesGuard {
public:
    explicit CPendingRenamesGuard(std::string strFolder) : m_strFolder(std::move(strFolder)) {}
    CPendingRenamesGuard(const CPendingRenamesGuard&) = delete;
    CPendingRenamesGuard& operator=(const CPendingRenamesGuard&) = delete;
    ~CPendingRenamesGuard()
    {
        ForgetPendingRenames([this](const PendingRename& entry) { return Names(entry.first, m_strFolder, false); });
    }

    // True when the list deletes strPath at the next start.
    static bool DeletesAtRestart(const std::string& strPath)
    {
        for (const PendingRename& entry : PendingRenames())
            if (entry.second.empty() && Names(entry.first, strPath, true))
                return true;
        return false;
    }

private:
    // Whether an entry's source ("\??\C:\...") is strPath itself (bWhole) or lies below it.
    static bool Names(const std::string& strSource, const std::string& strPath, bool bWhole)
    {
        const std::size_t nAt = strSource.size() >= 4 && strSource.compare(0, 4, "\\??\\") == 0 ? 4 : 0;
        const std::string strName = strSource.substr(nAt);
        if (bWhole)
            return lstrcmpiA(strName.c_str(), strPath.c_str()) == 0;
        return strName.size() > strPath.size() && strName[strPath.size()] == '\\' &&
               lstrcmpiA(strName.substr(0, strPath.size()).c_str(), strPath.c_str()) == 0;
    }

    std::string m_strFolder;
};
