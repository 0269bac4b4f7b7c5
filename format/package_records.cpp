// Field-by-field little-endian decoding and encoding of the setup file records.
#include "format/package_records.h"

#include <cstdio>

namespace {

// Offsets of every field, checked below against the record sizes so that a slip in one
// table shows up at compile time, not as a misread package.
namespace setup_offsets {
constexpr std::size_t kMagic = 0, kVersion = 4, kVolumeCount = 12, kDataChecksum = 16, kTotalSize = 20,
                      kDirectoryOffset = 32, kDirectoryCount = 36, kFileSectionOffset = 40, kFileCount = 44,
                      kPackageName = 46, kPackageId = 112, kDefaultFolder = 128;
static_assert(kVersion == kMagic + 4 && kVolumeCount == kVersion + 8, "reserved bytes 5..11");
static_assert(kDataChecksum == kVolumeCount + 4 && kTotalSize == kDataChecksum + 4, "checksum and size");
static_assert(kDirectoryOffset == kTotalSize + 12, "reserved bytes 24..31");
static_assert(kDirectoryCount == kDirectoryOffset + 4 && kFileSectionOffset == kDirectoryCount + 4, "directory");
static_assert(kFileCount == kFileSectionOffset + 4 && kPackageName == kFileCount + 2, "file section");
static_assert(kPackageId == kPackageName + kNameFieldSize + 2, "padding after the name");
static_assert(kDefaultFolder == kPackageId + kPackageIdSize, "identifier");
static_assert(kDefaultFolder + kNameFieldSize == kSetupHeaderSize, "SetupHeader is 192 bytes");
} // namespace setup_offsets

namespace volume_offsets {
constexpr std::size_t kMagic = 0, kVersion = 4, kVolumeIndex = 6, kPackageName = 8, kPackageId = 72;
static_assert(kVersion == kMagic + 4 && kVolumeIndex == kVersion + 2, "version and padding");
static_assert(kPackageName == kVolumeIndex + 2 && kPackageId == kPackageName + kNameFieldSize, "name");
static_assert(kPackageId + kPackageIdSize == kVolumeHeaderSize, "VolumeHeader is 88 bytes");
} // namespace volume_offsets

namespace block_offsets {
constexpr std::size_t kTag = 0, kChecksum = 4, kStoredSize = 8, kUnpackedSize = 12;
static_assert(kChecksum == kTag + 4 && kStoredSize == kChecksum + 4, "tag and padding");
static_assert(kUnpackedSize == kStoredSize + 4 && kUnpackedSize + 4 == kBlockHeaderSize, "BlockHeader is 16 bytes");
} // namespace block_offsets

namespace directory_offsets {
constexpr std::size_t kType = 0, kRoot = 1, kPath = 2;
static_assert(kPath + kPathFieldSize == kDirectoryRecordSize, "DirectoryRecord is 258 bytes");
static_assert(kDirectoryEntrySize == 274, "a directory-table entry is 274 bytes");
} // namespace directory_offsets

namespace file_offsets {
constexpr std::size_t kType = 0, kFlags = 1, kRoot = 2, kFolder = 3, kFileName = 259, kReserved = 516;
static_assert(kFileName == kFolder + kPathFieldSize, "folder");
static_assert(kReserved == kFileName + kPathFieldSize + 1, "padding after the file name");
static_assert(kReserved + 4 == kFileRecordSize, "FileRecord is 520 bytes");
} // namespace file_offsets

namespace uninstaller_offsets {
constexpr std::size_t kMagic = 0, kChecksum = 4, kUnpackedSize = 8;
static_assert(kUnpackedSize + 4 == kUninstallerHeaderSize, "UninstallerHeader is 12 bytes");
} // namespace uninstaller_offsets

std::uint16_t Get16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t Get32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void Put16(unsigned char* p, std::uint16_t n)
{
    p[0] = static_cast<unsigned char>(n);
    p[1] = static_cast<unsigned char>(n >> 8);
}

void Put32(unsigned char* p, std::uint32_t n)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(n >> (8 * i));
}

template <std::size_t N>
void GetBytes(const unsigned char* p, char (&field)[N])
{
    for (std::size_t i = 0; i < N; ++i)
        field[i] = static_cast<char>(p[i]);
}

template <std::size_t N>
void GetBytes(const unsigned char* p, std::uint8_t (&field)[N])
{
    for (std::size_t i = 0; i < N; ++i)
        field[i] = p[i];
}

template <std::size_t N>
void PutBytes(unsigned char* p, const char (&field)[N])
{
    for (std::size_t i = 0; i < N; ++i)
        p[i] = static_cast<unsigned char>(field[i]);
}

template <std::size_t N>
void PutBytes(unsigned char* p, const std::uint8_t (&field)[N])
{
    for (std::size_t i = 0; i < N; ++i)
        p[i] = field[i];
}

void Clear(unsigned char* p, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        p[i] = 0;
}

} // namespace

SetupHeader DecodeSetupHeader(const unsigned char* pBytes)
{
    using namespace setup_offsets;
    SetupHeader header;
    header.magic = Get32(pBytes + kMagic);
    header.version = pBytes[kVersion];
    header.volumeCount = Get16(pBytes + kVolumeCount);
    header.dataChecksum = Get32(pBytes + kDataChecksum);
    header.totalSize = Get32(pBytes + kTotalSize);
    header.directoryOffset = Get32(pBytes + kDirectoryOffset);
    header.directoryCount = Get16(pBytes + kDirectoryCount);
    header.fileSectionOffset = Get32(pBytes + kFileSectionOffset);
    header.fileCount = Get16(pBytes + kFileCount);
    GetBytes(pBytes + kPackageName, header.packageName);
    GetBytes(pBytes + kPackageId, header.packageId);
    GetBytes(pBytes + kDefaultFolder, header.defaultFolder);
    return header;
}

void EncodeSetupHeader(const SetupHeader& header, unsigned char* pBytes)
{
    using namespace setup_offsets;
    Clear(pBytes, kSetupHeaderSize);
    Put32(pBytes + kMagic, header.magic);
    pBytes[kVersion] = header.version;
    Put16(pBytes + kVolumeCount, header.volumeCount);
    Put32(pBytes + kDataChecksum, header.dataChecksum);
    Put32(pBytes + kTotalSize, header.totalSize);
    Put32(pBytes + kDirectoryOffset, header.directoryOffset);
    Put16(pBytes + kDirectoryCount, header.directoryCount);
    Put32(pBytes + kFileSectionOffset, header.fileSectionOffset);
    Put16(pBytes + kFileCount, header.fileCount);
    PutBytes(pBytes + kPackageName, header.packageName);
    PutBytes(pBytes + kPackageId, header.packageId);
    PutBytes(pBytes + kDefaultFolder, header.defaultFolder);
}

VolumeHeader DecodeVolumeHeader(const unsigned char* pBytes)
{
    using namespace volume_offsets;
    VolumeHeader header;
    header.magic = Get32(pBytes + kMagic);
    header.version = pBytes[kVersion];
    header.volumeIndex = Get16(pBytes + kVolumeIndex);
    GetBytes(pBytes + kPackageName, header.packageName);
    GetBytes(pBytes + kPackageId, header.packageId);
    return header;
}

void EncodeVolumeHeader(const VolumeHeader& header, unsigned char* pBytes)
{
    using namespace volume_offsets;
    Clear(pBytes, kVolumeHeaderSize);
    Put32(pBytes + kMagic, header.magic);
    pBytes[kVersion] = header.version;
    Put16(pBytes + kVolumeIndex, header.volumeIndex);
    PutBytes(pBytes + kPackageName, header.packageName);
    PutBytes(pBytes + kPackageId, header.packageId);
}

BlockHeader DecodeBlockHeader(const unsigned char* pBytes)
{
    using namespace block_offsets;
    BlockHeader header;
    header.tag = pBytes[kTag];
    header.checksum = Get32(pBytes + kChecksum);
    header.storedSize = Get32(pBytes + kStoredSize);
    header.unpackedSize = Get32(pBytes + kUnpackedSize);
    return header;
}

void EncodeBlockHeader(const BlockHeader& header, unsigned char* pBytes)
{
    using namespace block_offsets;
    Clear(pBytes, kBlockHeaderSize);
    pBytes[kTag] = header.tag;
    Put32(pBytes + kChecksum, header.checksum);
    Put32(pBytes + kStoredSize, header.storedSize);
    Put32(pBytes + kUnpackedSize, header.unpackedSize);
}

DirectoryRecord DecodeDirectoryRecord(const unsigned char* pBytes)
{
    using namespace directory_offsets;
    DirectoryRecord record;
    record.type = pBytes[kType];
    record.root = pBytes[kRoot];
    GetBytes(pBytes + kPath, record.path);
    return record;
}

void EncodeDirectoryRecord(const DirectoryRecord& record, unsigned char* pBytes)
{
    using namespace directory_offsets;
    pBytes[kType] = record.type;
    pBytes[kRoot] = record.root;
    PutBytes(pBytes + kPath, record.path);
}

FileRecord DecodeFileRecord(const unsigned char* pBytes)
{
    using namespace file_offsets;
    FileRecord record;
    record.type = pBytes[kType];
    record.flags = pBytes[kFlags];
    record.root = pBytes[kRoot];
    GetBytes(pBytes + kFolder, record.folder);
    GetBytes(pBytes + kFileName, record.fileName);
    return record;
}

void EncodeFileRecord(const FileRecord& record, unsigned char* pBytes)
{
    using namespace file_offsets;
    Clear(pBytes, kFileRecordSize);
    pBytes[kType] = record.type;
    pBytes[kFlags] = record.flags;
    pBytes[kRoot] = record.root;
    PutBytes(pBytes + kFolder, record.folder);
    PutBytes(pBytes + kFileName, record.fileName);
}

UninstallerHeader DecodeUninstallerHeader(const unsigned char* pBytes)
{
    using namespace uninstaller_offsets;
    UninstallerHeader header;
    header.magic = Get32(pBytes + kMagic);
    header.checksum = Get32(pBytes + kChecksum);
    header.unpackedSize = Get32(pBytes + kUnpackedSize);
    return header;
}

void EncodeUninstallerHeader(const UninstallerHeader& header, unsigned char* pBytes)
{
    using namespace uninstaller_offsets;
    Put32(pBytes + kMagic, header.magic);
    Put32(pBytes + kChecksum, header.checksum);
    Put32(pBytes + kUnpackedSize, header.unpackedSize);
}

std::string VolumeFileName(unsigned nVolume)
{
    char szName[32];
    std::snprintf(szName, sizeof szName, "user.%03u", nVolume);
    return szName;
}

const char* FolderRootName(unsigned nRoot)
{
    switch (nRoot) {
    case Windows: return "Windows";
    case System: return "System";
    case ProgramFiles: return "ProgramFiles";
    case CommonFiles: return "CommonFiles";
    case Destination: return "Destination";
    default: return nullptr;
    }
}

bool IsFolderRoot(unsigned nRoot)
{
    return nRoot >= Windows && nRoot <= Destination;
}
