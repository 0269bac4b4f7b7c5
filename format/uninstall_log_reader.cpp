// Reading the uninstall log with every check: the uninstaller removes what the log names,
// so a log that is not exactly what a setup wrote is refused whole.
#include "format/uninstall_log.h"

#include "format/package_checksums.h"
#include "format/package_exception.h"
#include "format/package_records.h"
#include "format/uninstall_log_layout.h"

#include <zlib.h>

#include <cstring>
#include <new>

namespace {

// deflate cannot pack more than 1032 bytes into one, so a body declared larger than that
// is a lie told before a single byte is inflated.
constexpr std::uint64_t kMaxInflateRatio = 1032;

std::string Num(std::uint64_t n)
{
    return std::to_string(n);
}

[[noreturn]] void Damaged(const std::string& strProblem, std::uint64_t nOffset, unsigned nCause = CAUSE_DAMAGED)
{
    ThrowPackageException(PHASE_FINISHING, nCause, "uninstall log: " + strProblem, nOffset);
}

void CheckHeader(const UninstallLogHeader& header, std::size_t nSize)
{
    using namespace uninstall_log_offsets;
    if (header.magic != kUninstallLogMagic)
        Damaged("not an uninstall log (magic " + ChecksumText(header.magic) + ")", 0);
    if (header.formatVersion != kUninstallLogVersion)
        Damaged("format version " + Num(header.formatVersion) + ", not " + Num(kUninstallLogVersion), kVersionField);
    if (header.packedSize != nSize)
        Damaged("packedSize " + Num(header.packedSize) + " but the file holds " + Num(nSize) + " bytes", kPackedSize);
    if (header.grossSize < 2 * kUninstallLogHeaderSize)
        Damaged("grossSize " + Num(header.grossSize) + " is below " + Num(2 * kUninstallLogHeaderSize), kGrossSize);
    if (header.fileOffset != kUninstallLogHeaderSize)
        Damaged("fileOffset " + Num(header.fileOffset) + ", not " + Num(kUninstallLogHeaderSize), kFileOffset);
    if (header.fileBytes % kLogFileRecordSize != 0)
        Damaged("fileBytes " + Num(header.fileBytes) + " is no multiple of " + Num(kLogFileRecordSize), kFileBytes);
    if (header.folderBytes % kLogFolderRecordSize != 0)
        Damaged("folderBytes " + Num(header.folderBytes) + " is no multiple of " + Num(kLogFolderRecordSize),
                kFolderBytes);
    if (header.registryBytes % kRegistryEntrySize != 0)
        Damaged("registryBytes " + Num(header.registryBytes) + " is no multiple of " + Num(kRegistryEntrySize),
                kRegistryBytes);
    // 64-bit sums: no 32-bit field can wrap another into agreement.
    const std::uint64_t nFolderStart = static_cast<std::uint64_t>(header.fileOffset) + header.fileBytes;
    if (header.folderOffset != nFolderStart)
        Damaged("folderOffset " + Num(header.folderOffset) + ", but the file records end at " + Num(nFolderStart),
                kFolderOffset);
    const std::uint64_t nRegistryStart = nFolderStart + header.folderBytes;
    if (header.registryOffset != nRegistryStart)
        Damaged("registryOffset " + Num(header.registryOffset) + ", but the folder records end at " +
                    Num(nRegistryStart),
                kRegistryOffset);
    const std::uint64_t nImage = static_cast<std::uint64_t>(header.grossSize) - kUninstallLogHeaderSize;
    if (nRegistryStart + header.registryBytes != nImage)
        Damaged("the records end at " + Num(nRegistryStart + header.registryBytes) +
                    ", but grossSize gives an image of " + Num(nImage) + " bytes",
                kGrossSize);
    const std::uint64_t nBody = nImage - kUninstallLogHeaderSize;
    const std::uint64_t nPacked = nSize - kUninstallLogHeaderSize;
    if (nBody > nPacked * kMaxInflateRatio)
        Damaged("a body of " + Num(nBody) + " bytes cannot come from " + Num(nPacked) + " compressed bytes",
                kGrossSize);
}

std::vector<unsigned char> InflateBody(const unsigned char* pPacked, std::size_t nPacked, std::size_t nBody)
{
    std::vector<unsigned char> body;
    try {
        // One byte more than declared, so that a stream that inflates further says so.
        body.resize(nBody + 1);
    } catch (const std::bad_alloc&) {
        Damaged("no memory for a body of " + Num(nBody) + " bytes", uninstall_log_offsets::kGrossSize, CAUSE_NO_MEMORY);
    }
    uLongf nOut = static_cast<uLongf>(body.size());
    uLong nIn = static_cast<uLong>(nPacked);
    const int nResult = uncompress2(body.data(), &nOut, pPacked, &nIn);
    const std::uint64_t nStart = kUninstallLogHeaderSize;
    if (nResult == Z_MEM_ERROR)
        Damaged("no memory to inflate the body", nStart, CAUSE_NO_MEMORY);
    // uncompress2 reports a full output buffer as Z_BUF_ERROR, and a stream that is
    // damaged or ends early as Z_DATA_ERROR.
    if (nResult == Z_BUF_ERROR)
        Damaged("the body inflates to more than the " + Num(nBody) + " bytes declared", nStart, CAUSE_DECOMPRESSION);
    if (nResult != Z_OK)
        Damaged("the body's zlib stream is damaged or cut short (zlib error " + std::to_string(nResult) + ")", nStart,
                CAUSE_DECOMPRESSION);
    if (nOut != nBody)
        Damaged("the body inflates to " + Num(nOut) + " bytes, not the " + Num(nBody) + " declared", nStart,
                CAUSE_DECOMPRESSION);
    if (nIn != nPacked)
        Damaged(Num(nPacked - nIn) + " bytes follow the body's zlib stream", nStart + nIn);
    body.resize(nBody);
    return body;
}

// The text of a path field, refused when empty or without its terminating zero: either
// would make the uninstaller act on something the setup never wrote.
std::string PathText(const unsigned char* p, std::size_t nFieldSize, const std::string& strWhat,
                     std::uint64_t nOffset)
{
    const void* pZero = std::memchr(p, 0, nFieldSize);
    if (pZero == nullptr)
        Damaged(strWhat + " has no terminating zero", nOffset);
    const std::size_t nLength = static_cast<std::size_t>(static_cast<const unsigned char*>(pZero) - p);
    if (nLength == 0)
        Damaged(strWhat + " is empty", nOffset);
    return std::string(reinterpret_cast<const char*>(p), nLength);
}

// A path record's text, refused also when it is not a full path on a drive: a relative
// one would name whatever lies below the folder the uninstaller happens to run in.
std::string FullPathText(const unsigned char* p, std::size_t nFieldSize, const std::string& strWhat,
                         std::uint64_t nOffset)
{
    std::string strPath = PathText(p, nFieldSize, strWhat, nOffset);
    if (!IsFullDrivePath(strPath))
        Damaged(strWhat + " is not a full path on a drive: '" + strPath + "'", nOffset);
    return strPath;
}

void ReadFileRecords(const unsigned char* p, std::uint64_t nOffset, std::size_t nCount, UninstallLogContent& content)
{
    for (std::size_t i = 0; i < nCount; ++i, p += kLogFileRecordSize, nOffset += kLogFileRecordSize) {
        const std::string strWhat = "file record " + Num(i);
        std::string strPath = FullPathText(p, kLogFilePathSize, strWhat, nOffset);
        const unsigned nKept = p[kLogFilePathSize];
        if (nKept > 1)
            Damaged(strWhat + " has kept byte " + Num(nKept), nOffset + kLogFilePathSize);
        if (nKept == 0 && !content.keptSharedFiles.empty())
            Damaged(strWhat + " (kept 0) follows a kept file", nOffset + kLogFilePathSize);
        (nKept == 0 ? content.placedFiles : content.keptSharedFiles).push_back(std::move(strPath));
    }
}

void ReadFolderRecords(const unsigned char* p, std::uint64_t nOffset, std::size_t nCount, UninstallLogContent& content)
{
    for (std::size_t i = 0; i < nCount; ++i, p += kLogFolderRecordSize, nOffset += kLogFolderRecordSize)
        content.createdFolders.push_back(FullPathText(p, kLogFolderRecordSize, "folder record " + Num(i), nOffset));
}

void ReadRegistryRecords(const unsigned char* p, std::uint64_t nOffset, std::size_t nCount,
                         UninstallLogContent& content)
{
    for (std::size_t i = 0; i < nCount; ++i, p += kRegistryEntrySize, nOffset += kRegistryEntrySize) {
        const std::string strWhat = "registry record " + Num(i);
        const RegistryEntry entry = DecodeRegistryEntry(p);
        // A setup only ever writes below HKEY_LOCAL_MACHINE; any other root is damage.
        if (entry.rootKey != kRootLocalMachine)
            Damaged(strWhat + " has root key " + ChecksumText(entry.rootKey), nOffset);
        PathText(reinterpret_cast<const unsigned char*>(entry.subKey), kRegistryTextFieldSize,
                 strWhat + "'s sub-key", nOffset);
        if (std::memchr(entry.valueName, 0, kRegistryTextFieldSize) == nullptr)
            Damaged(strWhat + "'s value name has no terminating zero", nOffset);
        content.registryEntries.push_back(entry);
    }
}

} // namespace

UninstallLogContent ReadUninstallLog(const unsigned char* pData, std::size_t nSize, UninstallLogHeader* pHeader)
{
    if (nSize < kUninstallLogHeaderSize)
        Damaged("the file holds " + Num(nSize) + " bytes, less than its " + Num(kUninstallLogHeaderSize) +
                    "-byte header",
                0);
    const UninstallLogHeader header = DecodeUninstallLogHeader(pData);
    CheckHeader(header, nSize);

    const std::size_t nBody = header.grossSize - 2 * kUninstallLogHeaderSize;
    const std::vector<unsigned char> body =
        InflateBody(pData + kUninstallLogHeaderSize, nSize - kUninstallLogHeaderSize, nBody);
    const std::uint32_t nChecksum = FoldAdler32(1, body.data(), body.size());
    if (nChecksum != header.bodyChecksum)
        Damaged("the body's Adler-32 is " + ChecksumText(nChecksum) + ", not bodyChecksum " +
                    ChecksumText(header.bodyChecksum),
                uninstall_log_offsets::kBodyChecksum);

    UninstallLogContent content;
    content.strName = FieldText(header.logName);
    // The header's offsets count in the image, whose body starts after the header.
    const auto inBody = [&body](std::uint32_t nOffset) { return body.data() + (nOffset - kUninstallLogHeaderSize); };
    ReadFileRecords(inBody(header.fileOffset), header.fileOffset, header.fileBytes / kLogFileRecordSize, content);
    ReadFolderRecords(inBody(header.folderOffset), header.folderOffset, header.folderBytes / kLogFolderRecordSize,
                      content);
    ReadRegistryRecords(inBody(header.registryOffset), header.registryOffset,
                        header.registryBytes / kRegistryEntrySize, content);
    if (pHeader != nullptr)
        *pHeader = header;
    return content;
}
