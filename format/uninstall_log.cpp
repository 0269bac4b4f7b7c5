// Writing the uninstall log: the header's fields, the image in the order the uninstaller
// undoes things, and the compressed file.
#include "format/uninstall_log.h"

#include "format/little_endian.h"
#include "format/package_checksums.h"
#include "format/package_exception.h"
#include "format/package_records.h"
#include "format/uninstall_log_layout.h"

#include <zlib.h>

#include <cstring>
#include <limits>
#include <new>

namespace {

[[noreturn]] void Refuse(const std::string& strProblem)
{
    ThrowPackageException(PHASE_FILES, CAUSE_UNEXPECTED, "uninstall log: " + strProblem);
}

// A path record: the text, then zeros to the field's end.
void PutPath(unsigned char* p, const std::string& strPath, std::size_t nFieldSize)
{
    std::memset(p, 0, nFieldSize);
    std::memcpy(p, strPath.data(), strPath.size());
}

void CheckPaths(const std::vector<std::string>& vecPaths, bool (*fits)(const std::string&), const char* pszKind)
{
    for (const std::string& strPath : vecPaths) {
        if (strPath.empty())
            Refuse(std::string("an empty ") + pszKind + " path");
        if (!fits(strPath))
            Refuse(std::string(pszKind) + " path of " + std::to_string(strPath.size()) +
                   " bytes does not fit its record: '" + strPath + "'");
        if (!IsFullDrivePath(strPath))
            Refuse(std::string(pszKind) + " path is not a full path on a drive: '" + strPath + "'");
    }
}

} // namespace

UninstallLogHeader DecodeUninstallLogHeader(const unsigned char* pBytes)
{
    using namespace uninstall_log_offsets;
    UninstallLogHeader header;
    header.magic = GetLe32(pBytes + kMagic);
    std::memcpy(header.logName, pBytes + kLogName, kLogNameFieldSize);
    header.packedSize = GetLe32(pBytes + kPackedSize);
    header.grossSize = GetLe32(pBytes + kGrossSize);
    header.bodyChecksum = GetLe32(pBytes + kBodyChecksum);
    header.formatVersion = GetLe16(pBytes + kVersionField);
    header.fileBytes = GetLe32(pBytes + kFileBytes);
    header.fileOffset = GetLe32(pBytes + kFileOffset);
    header.folderBytes = GetLe32(pBytes + kFolderBytes);
    header.folderOffset = GetLe32(pBytes + kFolderOffset);
    header.registryBytes = GetLe32(pBytes + kRegistryBytes);
    header.registryOffset = GetLe32(pBytes + kRegistryOffset);
    return header;
}

void EncodeUninstallLogHeader(const UninstallLogHeader& header, unsigned char* pBytes)
{
    using namespace uninstall_log_offsets;
    std::memset(pBytes, 0, kUninstallLogHeaderSize);
    PutLe32(pBytes + kMagic, header.magic);
    std::memcpy(pBytes + kLogName, header.logName, kLogNameFieldSize);
    PutLe32(pBytes + kPackedSize, header.packedSize);
    PutLe32(pBytes + kGrossSize, header.grossSize);
    PutLe32(pBytes + kBodyChecksum, header.bodyChecksum);
    PutLe16(pBytes + kVersionField, header.formatVersion);
    PutLe32(pBytes + kFileBytes, header.fileBytes);
    PutLe32(pBytes + kFileOffset, header.fileOffset);
    PutLe32(pBytes + kFolderBytes, header.folderBytes);
    PutLe32(pBytes + kFolderOffset, header.folderOffset);
    PutLe32(pBytes + kRegistryBytes, header.registryBytes);
    PutLe32(pBytes + kRegistryOffset, header.registryOffset);
}

bool IsFullDrivePath(const std::string& strPath)
{
    if (strPath.size() < 3 || strPath[1] != ':' || strPath[2] != '\\')
        return false;
    const char chDrive = strPath[0];
    return (chDrive >= 'A' && chDrive <= 'Z') || (chDrive >= 'a' && chDrive <= 'z');
}

bool FileFitsInLog(const std::string& strPath)
{
    return strPath.size() < kLogFilePathSize;
}

bool FolderFitsInLog(const std::string& strPath)
{
    return strPath.size() < kLogFolderRecordSize;
}

std::vector<unsigned char> BuildUninstallLogImage(const UninstallLogContent& content)
{
    CheckPaths(content.placedFiles, FileFitsInLog, "file");
    CheckPaths(content.keptSharedFiles, FileFitsInLog, "kept file");
    CheckPaths(content.createdFolders, FolderFitsInLog, "folder");
    for (const RegistryEntry& entry : content.registryEntries)
        if (entry.subKey[0] == '\0')
            Refuse("registry entry without a sub-key");

    const std::uint64_t nFileBytes =
        static_cast<std::uint64_t>(content.placedFiles.size() + content.keptSharedFiles.size()) * kLogFileRecordSize;
    const std::uint64_t nFolderBytes = static_cast<std::uint64_t>(content.createdFolders.size()) * kLogFolderRecordSize;
    const std::uint64_t nRegistryBytes =
        static_cast<std::uint64_t>(content.registryEntries.size()) * kRegistryEntrySize;
    const std::uint64_t nImage = kUninstallLogHeaderSize + nFileBytes + nFolderBytes + nRegistryBytes;
    // grossSize counts the header twice and must still be a 32-bit number.
    if (nImage + kUninstallLogHeaderSize > std::numeric_limits<std::uint32_t>::max())
        Refuse("too many records for one log");

    std::vector<unsigned char> image(static_cast<std::size_t>(nImage), 0);
    unsigned char* p = image.data() + kUninstallLogHeaderSize;
    for (const std::string& strPath : content.placedFiles) {
        PutPath(p, strPath, kLogFilePathSize);
        p[kLogFilePathSize] = 0;
        p += kLogFileRecordSize;
    }
    for (const std::string& strPath : content.keptSharedFiles) {
        PutPath(p, strPath, kLogFilePathSize);
        p[kLogFilePathSize] = 1;
        p += kLogFileRecordSize;
    }
    for (const std::string& strPath : content.createdFolders) {
        PutPath(p, strPath, kLogFolderRecordSize);
        p += kLogFolderRecordSize;
    }
    for (const RegistryEntry& entry : content.registryEntries) {
        EncodeRegistryEntry(entry, p);
        p += kRegistryEntrySize;
    }

    UninstallLogHeader header;
    // The name only labels the log, so a long one may lose its end.
    SetFieldText(header.logName, content.strName.substr(0, kLogNameFieldSize - 1));
    header.grossSize = static_cast<std::uint32_t>(nImage + kUninstallLogHeaderSize);
    header.bodyChecksum =
        FoldAdler32(1, image.data() + kUninstallLogHeaderSize, image.size() - kUninstallLogHeaderSize);
    header.fileBytes = static_cast<std::uint32_t>(nFileBytes);
    header.fileOffset = kUninstallLogHeaderSize;
    header.folderBytes = static_cast<std::uint32_t>(nFolderBytes);
    header.folderOffset = static_cast<std::uint32_t>(kUninstallLogHeaderSize + nFileBytes);
    header.registryBytes = static_cast<std::uint32_t>(nRegistryBytes);
    header.registryOffset = static_cast<std::uint32_t>(kUninstallLogHeaderSize + nFileBytes + nFolderBytes);
    EncodeUninstallLogHeader(header, image.data());
    return image;
}

std::vector<unsigned char> PackUninstallLog(const std::vector<unsigned char>& image, LogCompressor compressor)
{
    if (image.size() < kUninstallLogHeaderSize)
        Refuse("an image shorter than its header");
    // The capacity counts the whole image, header included, though only the body is
    // compressed: the margin is generous, so compress never runs out of room.
    const std::size_t nCapacity = static_cast<std::size_t>(static_cast<double>(image.size()) * 1.012 + 8);
    std::vector<unsigned char> file;
    try {
        file.resize(kUninstallLogHeaderSize + nCapacity);
    } catch (const std::bad_alloc&) {
        ThrowSetupException(PHASE_FILES, CAUSE_NO_MEMORY);
    }
    unsigned long nPacked = static_cast<unsigned long>(nCapacity);
    const LogCompressor compressBody = compressor != nullptr ? compressor : &compress;
    if (compressBody(file.data() + kUninstallLogHeaderSize, &nPacked, image.data() + kUninstallLogHeaderSize,
                     static_cast<unsigned long>(image.size() - kUninstallLogHeaderSize)) != Z_OK)
        ThrowSetupException(PHASE_FILES, CAUSE_COMPRESSION);

    UninstallLogHeader header = DecodeUninstallLogHeader(image.data());
    header.packedSize = static_cast<std::uint32_t>(kUninstallLogHeaderSize + nPacked);
    EncodeUninstallLogHeader(header, file.data());
    file.resize(header.packedSize);
    return file;
}
