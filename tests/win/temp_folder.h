// A fresh folder under the system's temporary folder for one test, removed with
// everything in it when the test ends.
#pragma once

#include <windows.h>

#include <string>

class CTempFolder {
public:
    CTempFolder()
    {
        char szTemp[MAX_PATH] = "";
        GetTempPathA(sizeof szTemp, szTemp);
        // The process id and a counter keep parallel test programs apart.
        static unsigned s_nCounter = 0;
        m_strPath = std::string(szTemp) + "lumidrop-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                    std::to_string(++s_nCounter);
        CreateDirectoryA(m_strPath.c_str(), nullptr);
    }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;
    ~CTempFolder() { RemoveTree(m_strPath); }

    const std::string& Path() const { return m_strPath; }
    std::string File(const std::string& strName) const { return m_strPath + "\\" + strName; }

    // Deletes strFolder with everything in it, as far as it can.
    static void RemoveTree(const std::string& strFolder)
    {
        WIN32_FIND_DATAA data;
        HANDLE hFind = FindFirstFileA((strFolder + "\\*").c_str(), &data);
        if (hFind != INVALID_HANDLE_VALUE) {
            do {
                const std::string strName = data.cFileName;
                if (strName == "." || strName == "..")
                    continue;
                const std::string strPath = strFolder + "\\" + strName;
                if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
                    RemoveTree(strPath);
                else
                    DeleteFileA(strPath.c_str());
            } while (FindNextFileA(hFind, &data));
            FindClose(hFind);
        }
        RemoveDirectoryA(strFolder.c_str());
    }

private:
    std::string m_strPath;
};

// Writes nSize bytes of pBytes to strPath, replacing the file.
inline bool WriteWholeFile(const std::string& strPath, const void* pBytes, DWORD nSize)
{
    HANDLE hFile = CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    DWORD nWritten = 0;
    const BOOL bOk = WriteFile(hFile, pBytes, nSize, &nWritten, nullptr);
    CloseHandle(hFile);
    return bOk && nWritten == nSize;
}
