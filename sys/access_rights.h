// The rights the current user holds on a folder or a registry key, as the system's own
// access check computes them from the object's security descriptor.
#pragma once

#include <windows.h>

class CAccessRights {
public:
    // Generic rights of registry keys and of files, as the access check maps them.
    static const GENERIC_MAPPING s_keyMapping;
    static const GENERIC_MAPPING s_fileMapping;

    CAccessRights() = default;
    CAccessRights(const CAccessRights&) = delete;
    CAccessRights& operator=(const CAccessRights&) = delete;
    virtual ~CAccessRights() = default;

    // The rights granted on file or folder pszPath into *pnGranted; false when the path,
    // its descriptor or the access check fails.
    BOOL GetFileRights(const char* pszPath, DWORD* pnGranted) const;

    // The rights granted on key pszSubKey below hRoot (opened with KEY_READ) into
    // *pnGranted; false when the key cannot be opened, its descriptor cannot be read or
    // the access check fails.
    BOOL GetKeyRights(HKEY hRoot, const char* pszSubKey, DWORD* pnGranted) const;

    // The rights the current user's token is granted by pDescriptor when the most it may
    // have is asked for (MAXIMUM_ALLOWED), through pMapping.
    static BOOL GetGrantedRights(PSECURITY_DESCRIPTOR pDescriptor, const GENERIC_MAPPING* pMapping, DWORD* pnGranted);
};
