// Where the Windows, system, program-files and common-files folders are, each in one
// canonical form: absolute, without a trailing backslash, every component spelt in its
// long form as the file system stores it.
#pragma once

#include <windows.h>

#include <string>

class CSpecialFolders {
public:
    CSpecialFolders() = default;
    CSpecialFolders(const CSpecialFolders&) = delete;
    CSpecialFolders& operator=(const CSpecialFolders&) = delete;
    virtual ~CSpecialFolders() = default;

    // Each query is true when the raw path was obtained. The path is then normalised
    // into strOut; a path that does not exist stays absolute but unexpanded, since only
    // the raw query decides success.
    BOOL GetWindowsFolder(std::string& strOut) const;
    BOOL GetSystemFolder(std::string& strOut) const;
    // "ProgramFilesDir" and "CommonFilesDir" of HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion.
    BOOL GetProgramFilesFolder(std::string& strOut) const;
    BOOL GetCommonFilesFolder(std::string& strOut) const;

    // The folder value pszValueName of key pszSubKey below hRoot names, read with
    // KEY_QUERY_VALUE: false when the name is null, the key cannot be opened or the value
    // cannot be read.
    BOOL GetRegistryFolder(HKEY hRoot, const char* pszSubKey, const char* pszValueName, std::string& strOut) const;

    // Removes one trailing backslash, if there is one.
    static void TrimTrailingBackslash(std::string& strPath);

    // strText without a trailing backslash, made absolute (GetFullPathNameA) and
    // expanded to long names, into strOut, which receives the result in any case. True
    // when both steps succeeded.
    static BOOL Normalize(const std::string& strText, std::string& strOut);

    // Expands the zero-terminated path in pszPath (nCapacity bytes) to long names in
    // place, from the last component towards the root; paths of 2 bytes or fewer (a
    // drive) end the recursion unchanged. Returns the new length, or -1 when a component
    // cannot be found.
    static int ExpandLongNames(char* pszPath, int nCapacity);
};
