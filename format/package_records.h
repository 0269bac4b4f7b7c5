// The records of the setup files, and the one place that knows their byte layout.
//
//   user.spd      SetupHeader (192) | first part of the package stream
//   user.NNN      VolumeHeader (88) | next part of the package stream
//   _setup.spd    UninstallerHeader (12) | zlib stream of the uninstaller program
//
// Package stream (user.spd followed by every volume without its VolumeHeader):
//   0                    SetupHeader
//   192                  BlockHeader + zlib(directoryCount x [BlockHeader + DirectoryRecord])
//   fileSectionOffset    BlockHeader (checksum of everything after it; sizes unused)
//   +16                  fileCount x [BlockHeader + zlib(FileRecord), BlockHeader + zlib(data)]
//
// Integers are little-endian; texts are zero-terminated inside fixed fields. Records are
// decoded and encoded field by field, never copied as structs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr std::uint32_t kSetupMagic = 0x55544553; // "SETU"
constexpr std::uint8_t kFormatVersion = 16;
constexpr std::uint32_t kUninstallerMagic = 0x12343210;

constexpr std::size_t kSetupHeaderSize = 192;
constexpr std::size_t kVolumeHeaderSize = 88;
constexpr std::size_t kBlockHeaderSize = 16;
constexpr std::size_t kDirectoryRecordSize = 258;
constexpr std::size_t kDirectoryEntrySize = kBlockHeaderSize + kDirectoryRecordSize; // 274
constexpr std::size_t kFileRecordSize = 520;
constexpr std::size_t kUninstallerHeaderSize = 12;
constexpr std::size_t kNameFieldSize = 64;
constexpr std::size_t kPathFieldSize = 256;
constexpr std::size_t kPackageIdSize = 16;

enum FolderRoot : std::uint8_t {
    Windows = 1,
    System = 2,
    ProgramFiles = 3,
    CommonFiles = 4,
    Destination = 5,
};

enum FileRecordFlags : std::uint8_t {
    Shared = 0x01,
    Vital = 0x02,
    Screensaver = 0x04,
    Config = 0x08,
};

struct SetupHeader {
    std::uint32_t magic = kSetupMagic;
    std::uint8_t version = kFormatVersion;
    std::uint16_t volumeCount = 0;
    std::uint32_t dataChecksum = 0;
    std::uint32_t totalSize = 0;
    std::uint32_t directoryOffset = 0;
    std::uint16_t directoryCount = 0;
    std::uint32_t fileSectionOffset = 0;
    std::uint16_t fileCount = 0;
    char packageName[kNameFieldSize] = {};
    std::uint8_t packageId[kPackageIdSize] = {};
    char defaultFolder[kNameFieldSize] = {};
};

struct VolumeHeader {
    std::uint32_t magic = kSetupMagic;
    std::uint8_t version = kFormatVersion;
    std::uint16_t volumeIndex = 0;
    char packageName[kNameFieldSize] = {};
    std::uint8_t packageId[kPackageIdSize] = {};
};

struct BlockHeader {
    std::uint8_t tag = 'B';
    std::uint32_t checksum = 0;
    std::uint32_t storedSize = 0;
    std::uint32_t unpackedSize = 0;
};

struct DirectoryRecord {
    std::uint8_t type = 'D';
    std::uint8_t root = 0;
    char path[kPathFieldSize] = {};
};

struct FileRecord {
    std::uint8_t type = 'F';
    std::uint8_t flags = 0;
    std::uint8_t root = 0;
    char folder[kPathFieldSize] = {};
    char fileName[kPathFieldSize] = {};
};

struct UninstallerHeader {
    std::uint32_t magic = kUninstallerMagic;
    std::uint32_t checksum = 0;
    std::uint32_t unpackedSize = 0;
};

// Decoders read exactly the record's size in bytes; encoders write it, reserved bytes zero.
SetupHeader DecodeSetupHeader(const unsigned char* pBytes);
void EncodeSetupHeader(const SetupHeader& header, unsigned char* pBytes);
VolumeHeader DecodeVolumeHeader(const unsigned char* pBytes);
void EncodeVolumeHeader(const VolumeHeader& header, unsigned char* pBytes);
BlockHeader DecodeBlockHeader(const unsigned char* pBytes);
void EncodeBlockHeader(const BlockHeader& header, unsigned char* pBytes);
DirectoryRecord DecodeDirectoryRecord(const unsigned char* pBytes);
void EncodeDirectoryRecord(const DirectoryRecord& record, unsigned char* pBytes);
FileRecord DecodeFileRecord(const unsigned char* pBytes);
void EncodeFileRecord(const FileRecord& record, unsigned char* pBytes);
UninstallerHeader DecodeUninstallerHeader(const unsigned char* pBytes);
void EncodeUninstallerHeader(const UninstallerHeader& header, unsigned char* pBytes);

// The text of a fixed field: up to its first zero byte, or the whole field when it has none.
template <std::size_t N>
std::string FieldText(const char (&field)[N])
{
    std::size_t n = 0;
    while (n < N && field[n] != '\0')
        ++n;
    return std::string(field, n);
}

// Stores text in a fixed field, zero-padded; false (field untouched) when it does not fit
// with its terminating zero.
template <std::size_t N>
bool SetFieldText(char (&field)[N], const std::string& strText)
{
    if (strText.size() >= N)
        return false;
    for (std::size_t i = 0; i < N; ++i)
        field[i] = i < strText.size() ? strText[i] : '\0';
    return true;
}

// "user.%0.3u": user.001 ... user.999, then user.1000.
std::string VolumeFileName(unsigned nVolume);

// "Windows", "System", "ProgramFiles", "CommonFiles", "Destination"; null for any other code.
const char* FolderRootName(unsigned nRoot);
bool IsFolderRoot(unsigned nRoot);

// Work buffers: joining and checksumming read 524288 bytes at a time; decompression uses
// one input and one output buffer of 262144 bytes.
constexpr std::size_t kChecksumChunkSize = 0x80000;
constexpr std::size_t kInflateChunkSize = 0x40000;
