// Undoing registry entries: the roll-back of a failed setup, and the uninstaller.
#pragma once

#include "format/registry_entry.h"

#include <windows.h>

#include <vector>

// The predefined root key a record's 32-bit rootKey stands for. 64-bit Windows defines the
// roots as those numbers sign-extended to a pointer.
HKEY RegistryRootKey(std::uint32_t nRoot);

// Deletes what one entry stands for: the whole key for an empty value name (a key that
// still has sub-keys of its own stays), else the value alone, its key staying. True when
// it is gone afterwards, also when it was never there.
bool RemoveRegistryEntry(const RegistryEntry& entry);

// Deletes the key when it holds neither sub-keys nor values: a parent key that a run
// created on the way to its own keys. True when it was deleted.
bool RemoveKeyIfEmpty(HKEY hRoot, const char* pszSubKey);

// RemoveRegistryEntry for every entry, in list order; failures are ignored.
void RollBackRegistryEntries(const std::vector<RegistryEntry>& vecEntries);
