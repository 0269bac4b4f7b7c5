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

void RollBackRegistryEntries(const std::vector<RegistryEntry>& vecEntries)
{
    for (const RegistryEntry& entry : vecEntries)
        RemoveRegistryEntry(entry);
}
