// Field-by-field encoding of RegistryEntry.
#include "format/registry_entry.h"

#include "format/little_endian.h"
#include "format/package_records.h"

#include <cstring>

namespace {
constexpr std::size_t kRootKey = 0, kSubKey = 4, kValueName = 264;
static_assert(kSubKey == kRootKey + 4 && kValueName == kSubKey + kRegistryTextFieldSize, "texts follow the root");
static_assert(kValueName + kRegistryTextFieldSize == kRegistryEntrySize, "RegistryEntry is 524 bytes");

// The text up to its zero, then zeros: whatever a field held after its text, the record
// goes out zero-filled.
void PutText(unsigned char* p, const char (&field)[kRegistryTextFieldSize])
{
    const std::string strText = FieldText(field);
    std::memset(p, 0, kRegistryTextFieldSize);
    std::memcpy(p, strText.data(), strText.size());
}
} // namespace

bool MakeRegistryEntry(const std::string& strSubKey, const std::string& strValueName, RegistryEntry& entry)
{
    RegistryEntry made;
    if (strSubKey.empty() || !SetFieldText(made.subKey, strSubKey) || !SetFieldText(made.valueName, strValueName))
        return false;
    entry = made;
    return true;
}

RegistryEntry DecodeRegistryEntry(const unsigned char* pBytes)
{
    RegistryEntry entry;
    entry.rootKey = GetLe32(pBytes + kRootKey);
    std::memcpy(entry.subKey, pBytes + kSubKey, kRegistryTextFieldSize);
    std::memcpy(entry.valueName, pBytes + kValueName, kRegistryTextFieldSize);
    return entry;
}

void EncodeRegistryEntry(const RegistryEntry& entry, unsigned char* pBytes)
{
    PutLe32(pBytes + kRootKey, entry.rootKey);
    PutText(pBytes + kSubKey, entry.subKey);
    PutText(pBytes + kValueName, entry.valueName);
}
