// Owns one open registry key and closes it on destruction.
//
// Each call is one registry function of the system and hands back its error code
// (ERROR_SUCCESS on success), so that every caller decides for itself what a failure
// means: the shared-file count takes a failed read as 0, the roll-back ignores failures.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CRegKey {
public:
    CRegKey() = default;
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;
    ~CRegKey() { Close(); }

    // Opens pszSubKey below hRoot with the rights asked for; never creates it.
    LONG Open(HKEY hRoot, const char* pszSubKey, REGSAM samDesired);
    // Opens pszSubKey below hRoot, creating it (and missing keys above it) when absent:
    // no class, non-volatile, no security attributes. pnDisposition, when given, receives
    // REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY.
    LONG Create(HKEY hRoot, const char* pszSubKey, REGSAM samDesired = KEY_ALL_ACCESS,
                DWORD* pnDisposition = nullptr);
    void Close();

    // Reads value pszName as text of at most nMaxBytes bytes (terminating zero included).
    // False when the value is missing or longer; the text ends at its first zero byte.
    bool QueryString(const char* pszName, std::string& strValue, DWORD nMaxBytes) const;

    // Reads value pszName as stored, whatever its type: nSize gives the buffer's size and
    // receives the value's size (also when the buffer is too small: ERROR_MORE_DATA).
    // pnType may be null.
    LONG QueryValue(const char* pszName, DWORD* pnType, void* pData, DWORD& nSize) const;
    // Reads value pszName whole, whatever its type and size, into data (resized to fit).
    LONG QueryData(const char* pszName, DWORD* pnType, std::vector<unsigned char>& data) const;
    // The type a value is stored with (REG_SZ, REG_DWORD, ...), without reading it.
    LONG QueryType(const char* pszName, DWORD& nType) const;
    // Reads a REG_DWORD value; ERROR_UNSUPPORTED_TYPE when the value is stored otherwise
    // (another type, or not 4 bytes long), and nValue is then left as it was.
    LONG QueryDword(const char* pszName, DWORD& nValue) const;
    // Reads the key's default (unnamed) value as text of at most nMaxBytes bytes,
    // terminating zero included, through the system's old default-value call.
    LONG QueryDefault(std::string& strValue, LONG nMaxBytes) const;

    // Writes nSize bytes of pData as value pszName of type nType.
    LONG SetValue(const char* pszName, DWORD nType, const void* pData, DWORD nSize) const;
    LONG SetDword(const char* pszName, DWORD nValue) const;
    // Writes strValue as REG_SZ; the data length counts the terminating zero.
    LONG SetString(const char* pszName, const std::string& strValue) const;
    LONG DeleteValue(const char* pszName) const;

    // Deletes key pszSubKey below hRoot; it must have no sub-keys of its own.
    static LONG DeleteKey(HKEY hRoot, const char* pszSubKey);

    HKEY Get() const { return m_hKey; }

private:
    HKEY m_hKey = nullptr;
};
