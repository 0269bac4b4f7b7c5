#include "engine/version_facts_win32.h"

#include "engine/version_library.h"
#include "sys/my_exception.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

namespace {
// Room for the longest language name a system gives (they run to some forty characters).
constexpr DWORD kLanguageNameRoom = 128;

// Memory for a version block of the size the file announces; a size no buffer can hold is
// the same lack of memory as a refused allocation.
std::vector<BYTE> VersionBuffer(std::uint32_t nSize)
{
    try {
        return std::vector<BYTE>(nSize, 0);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    ThrowSetupException(PHASE_FILES, CAUSE_NO_MEMORY);
}
} // namespace

std::uint32_t CSystemVersionFacts::VersionSize(const std::string& strPath)
{
    return VersionBlockSize(strPath.c_str());
}

bool CSystemVersionFacts::ReadVersion(const std::string& strPath, std::uint32_t nSize, CVersionFacts& facts)
{
    std::vector<BYTE> buffer = VersionBuffer(nSize);
    if (!ReadVersionBlock(strPath.c_str(), nSize, buffer.data()))
        return false;

    facts = CVersionFacts();
    void* pFixed = nullptr;
    UINT nFixedLength = 0;
    if (QueryVersionBlock(buffer.data(), "\\", &pFixed, &nFixedLength) && pFixed != nullptr &&
        nFixedLength >= sizeof(VS_FIXEDFILEINFO)) {
        VS_FIXEDFILEINFO fixed;
        std::memcpy(&fixed, pFixed, sizeof fixed);
        facts.nFileVersionMS = fixed.dwFileVersionMS;
        facts.nFileVersionLS = fixed.dwFileVersionLS;
    }
    void* pTable = nullptr;
    UINT nTableLength = 0;
    if (QueryVersionBlock(buffer.data(), "\\VarFileInfo\\Translation", &pTable, &nTableLength) && pTable != nullptr) {
        // Each entry is a language id and a code page, 16 bits each; only the language counts.
        const BYTE* pEntry = static_cast<const BYTE*>(pTable);
        for (UINT i = 0; i < nTableLength / 4; ++i, pEntry += 4)
            facts.vecLanguages.push_back(static_cast<std::uint16_t>(pEntry[0] | pEntry[1] << 8));
    }
    return true;
}

bool CSystemVersionFacts::FileSize(const std::string& strPath, std::uint32_t& nSize)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(strPath.c_str(), GetFileExInfoStandard, &data))
        return false;
    nSize = data.nFileSizeLow;
    return true;
}

std::string CSystemVersionFacts::LanguageName(std::uint16_t nLanguage)
{
    // The length first, then the name. Wine answers the one-character probe with what it
    // copied rather than with the length needed, and leaves a cut name unterminated; so the
    // buffer is never smaller than any language name, and always ends in a zero.
    char szProbe[1] = "";
    const DWORD nLength = VerLanguageNameA(nLanguage, szProbe, 1);
    std::vector<char> name(std::max<DWORD>(nLength, kLanguageNameRoom) + 1, '\0');
    VerLanguageNameA(nLanguage, name.data(), static_cast<DWORD>(name.size()));
    name.back() = '\0';
    return name.data();
}
