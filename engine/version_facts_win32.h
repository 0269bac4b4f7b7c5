// What the replacement decision learns of files from the system: version resources
// through the version functions, sizes through the file system, language names through
// VerLanguageNameA.
#pragma once

#include "engine/replacement_policy.h"

class CSystemVersionFacts final : public IReplacementFacts {
public:
    std::uint32_t VersionSize(const std::string& strPath) override;
    // A resource without the fixed block gives file version 0.0.0.0, one without a
    // translation table no languages; either still counts as version information.
    bool ReadVersion(const std::string& strPath, std::uint32_t nSize, CVersionFacts& facts) override;
    bool FileSize(const std::string& strPath, std::uint32_t& nSize) override;
    std::string LanguageName(std::uint16_t nLanguage) override;
};
