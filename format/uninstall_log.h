// The uninstall log "Unscr.log": everything an installation created, for its uninstaller,
// and the one place that knows the log's byte layout.
//
//   file    UninstallLogHeader (108) | zlib stream (compress format) of the body
//   image   UninstallLogHeader (108) | body          (every offset below is an image offset)
//
//   UninstallLogHeader
//     0    4   magic           "trne" (0x656E7274)
//     4    64  logName         the screensaver's name, zero-terminated, zero-padded
//     68   4   packedSize      length of the whole file: 108 + the compressed body
//     72   4   grossSize       image length + 108, that is body length + 216
//     76   4   bodyChecksum    Adler-32 of the body
//     80   2   formatVersion   16
//     82   2   -               zero
//     84   4   fileBytes       file records x 261          88   4  fileOffset       108
//     92   4   folderBytes     folder records x 256        96   4  folderOffset
//     100  4   registryBytes   registry records x 524      104  4  registryOffset
//
//   body, in this order and without gaps
//     file records (261)      path (260, zero-terminated), kept (1): first every file the
//                             installation wrote (kept 0), the log itself last of them; then
//                             the shared files that existed and were kept (kept 1)
//     folder records (256)    path, zero-terminated, in creation order
//     RegistryEntry (524)     format/registry_entry.h, in creation order
//
// Integers are little-endian. Records are encoded and decoded field by field.
#pragma once

#include "format/registry_entry.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr const char* kUninstallLogName = "Unscr.log";
constexpr std::uint32_t kUninstallLogMagic = 0x656E7274; // "trne"
constexpr std::uint16_t kUninstallLogVersion = 16;
constexpr std::size_t kUninstallLogHeaderSize = 108;
constexpr std::size_t kLogNameFieldSize = 64;
constexpr std::size_t kLogFileRecordSize = 261;
constexpr std::size_t kLogFilePathSize = 260;
constexpr std::size_t kLogFolderRecordSize = 256;

struct UninstallLogHeader {
    std::uint32_t magic = kUninstallLogMagic;
    char logName[kLogNameFieldSize] = {};
    std::uint32_t packedSize = 0;
    std::uint32_t grossSize = 0;
    std::uint32_t bodyChecksum = 0;
    std::uint16_t formatVersion = kUninstallLogVersion;
    std::uint32_t fileBytes = 0;
    std::uint32_t fileOffset = 0;
    std::uint32_t folderBytes = 0;
    std::uint32_t folderOffset = 0;
    std::uint32_t registryBytes = 0;
    std::uint32_t registryOffset = 0;
};

// The decoder reads exactly kUninstallLogHeaderSize bytes; the encoder writes them, the
// reserved bytes zero.
UninstallLogHeader DecodeUninstallLogHeader(const unsigned char* pBytes);
void EncodeUninstallLogHeader(const UninstallLogHeader& header, unsigned char* pBytes);

// What a log lists, in its order.
struct UninstallLogContent {
    std::string strName;                        // logName
    std::vector<std::string> placedFiles;       // kept 0; the setup appends the log itself last
    std::vector<std::string> keptSharedFiles;   // kept 1
    std::vector<std::string> createdFolders;
    std::vector<RegistryEntry> registryEntries;
};

// Whether a path goes into a file or folder record whole. The log never holds a cut path,
// since the uninstaller would remove whatever the cut path names; so the engine asks
// before it creates the file or folder, and refuses what does not fit.
bool FileFitsInLog(const std::string& strPath);   // at most 259 bytes
bool FolderFitsInLog(const std::string& strPath); // at most 255 bytes

// Whether a path is a full path on a drive, "X:\...". Any other path in a log would be
// resolved against whatever folder the uninstaller runs in, so neither the writer nor the
// reader lets one through.
bool IsFullDrivePath(const std::string& strPath);

// The uncompressed image: the header (every field but packedSize) and the body. A name
// longer than logName is cut to 63 bytes. An empty path, a path that does not fit or is not
// a full path on a drive, or a registry entry without a sub-key raises CPackageException
// (phase 3, cause 7) naming it.
std::vector<unsigned char> BuildUninstallLogImage(const UninstallLogContent& content);

// zlib's compress, or a stand-in with its signature and results.
using LogCompressor = int (*)(unsigned char* pDest, unsigned long* pnDestLength, const unsigned char* pSource,
                              unsigned long nSourceLength);

// The log file from an image: the body compressed into a buffer of 108 + image length x
// 1.012 + 8 bytes, behind the finished header. CSetupException phase 3: cause 4 when that
// buffer cannot be had, cause 10 when compression fails. Null compressor: zlib's compress.
std::vector<unsigned char> PackUninstallLog(const std::vector<unsigned char>& image,
                                            LogCompressor compressor = nullptr);

// Decodes a whole log file, trusting nothing: sizes, counts and offsets against each
// other and against the bytes there are, the body's zlib stream and checksum, each
// record, every path a full path on a drive. A fault raises CPackageException (phase 4)
// with what is wrong and where (a file offset in the header, an image offset in the
// body): cause 3 when damaged, cause 5 when the body does not inflate as declared, cause
// 4 without memory. pHeader, when given,
// receives the header once it has passed its checks.
UninstallLogContent ReadUninstallLog(const unsigned char* pData, std::size_t nSize,
                                     UninstallLogHeader* pHeader = nullptr);
