#include "engine/registry_before_image.h"

#include "engine/registry_rollback.h"
#include "framework/reg_key.h"

#include <algorithm>

namespace {
bool SameValue(const CRegistryBefore& before, HKEY hRoot, const std::string& strSubKey,
               const std::string& strValueName)
{
    return !before.bKey && before.hRoot == hRoot && lstrcmpiA(before.strSubKey.c_str(), strSubKey.c_str()) == 0 &&
           lstrcmpiA(before.strValueName.c_str(), strValueName.c_str()) == 0;
}

void GiveBackValue(const CRegistryBefore& before)
{
    CRegKey key;
    if (before.bExisted) {
        if (key.Create(before.hRoot, before.strSubKey.c_str(), KEY_SET_VALUE) == ERROR_SUCCESS)
            key.SetValue(before.strValueName.c_str(), before.nType, before.data.data(),
                         static_cast<DWORD>(before.data.size()));
    } else if (key.Open(before.hRoot, before.strSubKey.c_str(), KEY_SET_VALUE) == ERROR_SUCCESS) {
        key.DeleteValue(before.strValueName.c_str());
    }
}
} // namespace

void NoteValueBefore(std::vector<CRegistryBefore>& vecBefore, HKEY hRoot, const std::string& strSubKey,
                     const std::string& strValueName)
{
    // The first image is what the run found; a later one would only give back the run's own.
    if (std::any_of(vecBefore.begin(), vecBefore.end(), [&](const CRegistryBefore& before) {
            return SameValue(before, hRoot, strSubKey, strValueName);
        }))
        return;
    CRegistryBefore before;
    before.hRoot = hRoot;
    before.strSubKey = strSubKey;
    before.strValueName = strValueName;
    CRegKey key;
    before.bExisted = key.Open(hRoot, strSubKey.c_str(), KEY_QUERY_VALUE) == ERROR_SUCCESS &&
                      key.QueryData(strValueName.c_str(), &before.nType, before.data) == ERROR_SUCCESS;
    vecBefore.push_back(before);
}

LONG CreateNotedKey(std::vector<CRegistryBefore>& vecBefore, CRegKey& key, HKEY hRoot, const std::string& strSubKey,
                    REGSAM samDesired)
{
    DWORD nDisposition = 0;
    const LONG nResult = key.Create(hRoot, strSubKey.c_str(), samDesired, &nDisposition);
    if (nResult == ERROR_SUCCESS && nDisposition == REG_CREATED_NEW_KEY) {
        CRegistryBefore before;
        before.hRoot = hRoot;
        before.strSubKey = strSubKey;
        before.bKey = true;
        vecBefore.push_back(before);
    }
    return nResult;
}

void GiveBackRegistry(const std::vector<CRegistryBefore>& vecBefore) noexcept
{
    for (auto it = vecBefore.rbegin(); it != vecBefore.rend(); ++it) {
        if (it->bKey)
            RemoveKeyIfEmpty(it->hRoot, it->strSubKey.c_str());
        else
            GiveBackValue(*it);
    }
}
