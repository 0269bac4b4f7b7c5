// Writing setup packages: user.spd with its continuation volumes, and _setup.spd.
//
// What the writer chooses where the reader does not care: every reserved and padding byte
// is zero, directoryOffset is 192, block tags are 'B', record types 'D' and 'F', the file
// section header's storedSize and unpackedSize both hold the number of bytes its checksum
// covers (from the end of that header to the end of the stream), volumeCount is the real
// number of volumes (1 for a single one), and each directory-table entry's two sizes are
// 258 (the record it checks). File data is deflated at zlib's default level.
#pragma once

#include "format/package_records.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

struct PackageDirectoryEntry {
    std::uint8_t root = Destination; // written as given, so that tests can write bad ones
    std::string strPath;
};

struct PackageFileEntry {
    std::uint8_t root = Destination; // written as given
    std::uint8_t flags = 0;
    std::string strFolder;
    std::string strFileName;
    std::string strSourcePath;                            // read in fixed chunks...
    std::optional<std::vector<unsigned char>> content;    // ...unless the bytes are given here
};

struct PackageContents {
    std::string strName;
    std::uint8_t packageId[kPackageIdSize] = {};
    std::string strDefaultFolder;
    std::vector<PackageDirectoryEntry> vecDirectories;
    std::vector<PackageFileEntry> vecFiles;
};

// A package that cannot be written as asked (a text too long for its field, too many
// files, no files, a package beyond 4 GiB, a volume size too small).
class CPackageWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct PackageWriteResult {
    SetupHeader header;
    std::vector<std::string> vecVolumePaths; // user.spd first, then user.001, ...
};

// The smallest volume size accepted: user.spd must hold the setup header and more.
constexpr std::uint64_t kMinVolumeSize = 256;

// Writes user.spd into strFolder, split into continuation volumes user.NNN of at most
// nVolumeSize bytes each (0: one volume, whatever the size). Source files are streamed in
// fixed chunks. Raises CPackageWriteError, or CFileException* when a file fails.
PackageWriteResult WritePackage(const PackageContents& contents, const std::string& strFolder, std::uint64_t nVolumeSize = 0);

// Writes _setup.spd at strOutputPath holding the program at strProgramPath (not empty).
UninstallerHeader WriteUninstallerFile(const std::string& strProgramPath, const std::string& strOutputPath);

// Parses "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (braces optional) into the 16 bytes of a
// GUID as Windows stores it (first three groups little-endian); false when malformed.
bool ParsePackageId(const std::string& strText, std::uint8_t (&id)[kPackageIdSize]);
std::string FormatPackageId(const std::uint8_t (&id)[kPackageIdSize]);
// A new random (version 4) identifier.
void GeneratePackageId(std::uint8_t (&id)[kPackageIdSize]);
