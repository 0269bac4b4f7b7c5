// One registry key or value that an installation created: kept in creation order, written
// as is into the uninstall log, undone by the roll-back and by the uninstaller.
//
//   RegistryEntry (524 bytes, zero-filled before the texts go in)
//     0    4    rootKey     predefined root key as its 32-bit handle value: 0x80000002 (HKLM)
//     4    260  subKey      sub-key path, zero-terminated
//     264  260  valueName   value name, zero-terminated; empty: the entry stands for the
//                           whole key, else for that one value, whose key stays
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr std::size_t kRegistryEntrySize = 524;
constexpr std::size_t kRegistryTextFieldSize = 260;
// HKEY_LOCAL_MACHINE as the 32-bit value the record stores; 64-bit Windows sign-extends it.
constexpr std::uint32_t kRootLocalMachine = 0x80000002;

struct RegistryEntry {
    std::uint32_t rootKey = kRootLocalMachine;
    char subKey[kRegistryTextFieldSize] = {};
    char valueName[kRegistryTextFieldSize] = {};

    bool IsWholeKey() const { return valueName[0] == '\0'; }
};

// An entry under HKEY_LOCAL_MACHINE. False (entry untouched) when the sub-key is empty or
// either text does not fit its field with its terminating zero: a cut name would make the
// roll-back or the uninstaller delete some other key.
bool MakeRegistryEntry(const std::string& strSubKey, const std::string& strValueName, RegistryEntry& entry);

// Decoders read exactly kRegistryEntrySize bytes; the encoder writes them, zero-filled.
RegistryEntry DecodeRegistryEntry(const unsigned char* pBytes);
void EncodeRegistryEntry(const RegistryEntry& entry, unsigned char* pBytes);
