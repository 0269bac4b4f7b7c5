// The registry as the run found it: each value the run writes or deletes, and each key it
// creates, is noted before the change, so that a roll-back gives back exactly what was
// there, including an older installation's keys and values that the run overwrote.
#pragma once

#include "engine/installation_lists.h"

#include <windows.h>

#include <string>
#include <vector>

class CRegKey;

// Notes value pszName of pszSubKey below hRoot as it stands now (its type and bytes, or
// that it is missing), unless the list already holds an earlier image of it.
void NoteValueBefore(std::vector<CRegistryBefore>& vecBefore, HKEY hRoot, const std::string& strSubKey,
                     const std::string& strValueName);

// Creates (or opens) the key as CRegKey::Create does, and notes it when this call created
// it; the roll-back removes such a key once it is empty.
LONG CreateNotedKey(std::vector<CRegistryBefore>& vecBefore, CRegKey& key, HKEY hRoot, const std::string& strSubKey,
                    REGSAM samDesired);

// The roll-back's part: latest first, every noted value gets its type and bytes back or is
// deleted when it was missing, and every noted key is deleted when it is empty. Errors are
// ignored.
void GiveBackRegistry(const std::vector<CRegistryBefore>& vecBefore) noexcept;
