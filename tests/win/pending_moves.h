// The system's list of moves at the next start (PendingFileRenameOperations), as tests
// read it and take their own moves out of it again.
#pragma once

#include "framework/reg_key.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

inline const char* const kSessionManager = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
inline const char* const kPendingMoves = "PendingFileRenameOperations";

// The list in order: source, then target ("!" before it when the move replaces), for each move.
inline std::vector<std::string> PendingMoves()
{
    CRegKey key;
    std::vector<std::string> vecTexts;
    if (key.Open(HKEY_LOCAL_MACHINE, kSessionManager, KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return vecTexts;
    std::vector<char> data(64 * 1024, '\0');
    DWORD nSize = static_cast<DWORD>(data.size() - 2);
    if (key.QueryValue(kPendingMoves, nullptr, data.data(), nSize) != ERROR_SUCCESS)
        return vecTexts;
    // The list ends at its first empty text.
    for (const char* p = data.data(); p < data.data() + nSize && *p != '\0'; p += std::strlen(p) + 1)
        vecTexts.push_back(p);
    return vecTexts;
}

// Takes the moves whose source contains strFolder out of the system's list again. Other
// test programs may schedule moves at the same time, so the list is only rewritten when
// one of ours is in it, and then without them alone.
inline void ForgetMovesFrom(const std::string& strFolder)
{
    std::vector<std::string> vecTexts = PendingMoves();
    std::string strKept;
    bool bRemoved = false;
    for (std::size_t i = 0; i + 1 < vecTexts.size(); i += 2) {
        if (vecTexts[i].find(strFolder) != std::string::npos) {
            bRemoved = true;
            continue;
        }
        strKept += vecTexts[i] + '\0' + vecTexts[i + 1] + '\0';
    }
    if (!bRemoved)
        return;
    CRegKey key;
    ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, kSessionManager, KEY_SET_VALUE), ERROR_SUCCESS);
    if (strKept.empty())
        key.DeleteValue(kPendingMoves);
    else
        key.SetValue(kPendingMoves, REG_MULTI_SZ, strKept.data(), static_cast<DWORD>(strKept.size() + 1));
}
