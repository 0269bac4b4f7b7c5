// Running one disabled test of this test program in a copy of it, so that the copy can be
// shown another Windows (Wine reads the version per program file name, at start).
#pragma once

#include "tests/win/temp_folder.h"

#include <windows.h>

#include <string>

// Wine's per-program setting that makes the program file strName see Windows 98; removed
// again at the end so the prefix stays as it was.
class CWin98Program {
public:
    explicit CWin98Program(const std::string& strName) : m_strKey("Software\\Wine\\AppDefaults\\" + strName)
    {
        HKEY hKey = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, m_strKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr) !=
            ERROR_SUCCESS)
            return;
        m_bSet = RegSetValueExA(hKey, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6) == ERROR_SUCCESS;
        RegCloseKey(hKey);
    }
    CWin98Program(const CWin98Program&) = delete;
    CWin98Program& operator=(const CWin98Program&) = delete;
    ~CWin98Program() { RegDeleteKeyA(HKEY_CURRENT_USER, m_strKey.c_str()); }

    bool IsSet() const { return m_bSet; }

private:
    std::string m_strKey;
    bool m_bSet = false;
};

// Copies this program into folder as strName and runs its disabled tests matching
// pszFilter there, with environment variable pszReportVariable naming a report file the
// test writes. Returns the report, or a text that says what went wrong before it.
inline std::string RunInCopy(const CTempFolder& folder, const std::string& strName, const char* pszFilter,
                             const char* pszReportVariable)
{
    char szSelf[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, szSelf, sizeof szSelf);
    const std::string strCopy = folder.File(strName);
    const std::string strReport = folder.File(strName + ".txt");
    if (!CopyFileA(szSelf, strCopy.c_str(), TRUE))
        return "(no copy)";
    SetEnvironmentVariableA(pszReportVariable, strReport.c_str());
    std::string strCommand = "\"" + strCopy + "\" --gtest_also_run_disabled_tests --gtest_filter=" + pszFilter;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const BOOL bStarted = CreateProcessA(strCopy.c_str(), &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                         &startup, &process);
    SetEnvironmentVariableA(pszReportVariable, nullptr);
    if (!bStarted)
        return "(not started)";
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    char szReport[2 * MAX_PATH] = "";
    HANDLE hReport = CreateFileA(strReport.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (hReport == INVALID_HANDLE_VALUE)
        return "(no report)";
    DWORD nRead = 0;
    ReadFile(hReport, szReport, sizeof szReport - 1, &nRead, nullptr);
    CloseHandle(hReport);
    return std::string(szReport, nRead);
}
