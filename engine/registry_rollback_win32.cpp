#include "engine/registry_rollback.h"

#include "format/package_records.h"
#include "framework/reg_key.h"

#include <windows.h>

HKEY RegistryRootKey(std::uint32_t nRoot)
{
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<std::int32_t>(nRoot)));
}

namespace {
bool Gone(LONG nResult)
{
    return nResult == ERROR_SUCCESS || nResult == ERROR_FILE_NOT_FOUND;
}
} // namespace

bool RemoveRegistryEntry(const RegistryEntry& entry)
{
    const HKEY hRoot = RegistryRootKey(entry.rootKey);
    if (entry.IsWholeKey())
        return Gone(CRegKey::DeleteKey(hRoot, FieldText(entry.subKey).c_str()));
    CRegKey key;
    const LONG nOpened = key.Open(hRoot, FieldText(entry.subKey).c_str(), KEY_WRITE);
    if (nOpened != ERROR_SUCCESS)
        return nOpened == ERROR_FILE_NOT_FOUND;
    return Gone(key.DeleteValue(FieldText(entry.valueName).c_str()));
}

bool RemoveKeyIfEmpty(HKEY hRoot, const char* pszSubKey)
{
    CRegKey key;
    DWORD nSubKeys = 0;
    DWORD nValues = 0;
    if (key.Open(hRoot, pszSubKey, KEY_READ) != ERROR_SUCCESS ||
        RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &nSubKeys, nullptr, nullptr, &nValues, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS ||
        nSubKeys != 0 || nValues != 0)
        return false;
    key.Close();
    return CRegKey::DeleteKey(hRoot, pszSubKey) == ERROR_SUCCESS;
}

void RollBackRegistryEntries(const std::vector<RegistryEntry>& vecEntries)
{
    for (const RegistryEntry& entry : vecEntries)
        RemoveRegistryEntry(entry);
}
