// The package manifest: a small line-based text file that says what spdtool packs.
#pragma once

#include "format/package_writer.h"

#include <stdexcept>
#include <string>

struct PackageManifest {
    PackageContents contents;
    bool bHasId = false;          // false: pack generates one
    std::string strUninstaller;   // program to pack into _setup.spd; empty: none
};

// A manifest that cannot be used; what() names the file and line.
class CManifestError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Parses manifest text; relative source paths are taken from strBaseFolder, and
// strName (the manifest's path) prefixes every error.
PackageManifest ParseManifest(const std::string& strText, const std::string& strBaseFolder, const std::string& strName);

// Reads and parses the manifest file at strPath.
PackageManifest LoadManifest(const std::string& strPath);

// Root codes and flag bits by their names (case does not matter); false when unknown.
bool ParseRootName(const std::string& strName, std::uint8_t& root);
bool ParseFlagNames(const std::string& strText, std::uint8_t& flags, std::string& strBad);
// "Shared,Vital" for the bits set; unknown bits as hex.
std::string FlagNames(std::uint8_t flags);
