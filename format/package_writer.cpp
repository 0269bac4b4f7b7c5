// The package writer: one pass that streams every block into the volumes, then a few
// patches for the sizes and checksums only known at the end.
#include "format/package_writer.h"

#include "format/byte_sink.h"
#include "format/package_checksums.h"
#include "format/package_volume_stream.h"
#include "format/plain_file.h"
#include "framework/exception.h"

#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>

namespace {

constexpr std::uint64_t kMaxStreamSize = 0xFFFFFFFFu;

// The file strName in strFolder, with the platform's own separator.
std::string JoinPath(const std::string& strFolder, const std::string& strName)
{
    return (std::filesystem::path(strFolder) / strName).string();
}

// A file of the package that would not open, with the system's reason.
[[noreturn]] void ThrowOpenFailure(const std::string& strPath)
{
    throw new CFileException(CFileException::genericException, CFileException::opOpen, strPath, CSystemFile::LastError());
}

std::uint32_t Adler(const unsigned char* p, std::size_t n)
{
    return static_cast<std::uint32_t>(adler32(1, p, static_cast<uInt>(n)));
}

// Writes the package stream sequentially into user.spd and as many user.NNN as it takes,
// and remembers patches to apply once everything is written.
class CVolumeOutput {
public:
    CVolumeOutput(std::string strFolder, std::uint64_t nVolumeSize, const SetupHeader& header)
        : m_strFolder(std::move(strFolder)), m_nVolumeSize(nVolumeSize), m_header(header)
    {
        OpenVolume();
    }

    void Write(const unsigned char* p, std::size_t n)
    {
        while (n > 0) {
            if (m_nVolumeSize != 0 && m_file.GetPosition() >= m_nVolumeSize) {
                m_file.Close();
                OpenVolume();
            }
            std::size_t nPart = n;
            if (m_nVolumeSize != 0 && m_nVolumeSize - m_file.GetPosition() < nPart)
                nPart = static_cast<std::size_t>(m_nVolumeSize - m_file.GetPosition());
            m_file.Write(p, nPart);
            m_nPosition += nPart;
            if (m_nPosition > kMaxStreamSize)
                throw CPackageWriteError("the package would exceed 4 GiB, which its header cannot describe");
            p += nPart;
            n -= nPart;
        }
    }

    std::uint64_t GetPosition() const { return m_nPosition; }

    // Records bytes to put at a stream offset once the stream is complete.
    void Patch(std::uint64_t nOffset, const unsigned char* p, std::size_t n)
    {
        m_vecPatches.push_back(SPatch{nOffset, std::vector<unsigned char>(p, p + n)});
    }

    // Closes the last volume and applies the patches, opening each volume once.
    void Finish()
    {
        m_file.Close();
        struct SPiece {
            std::size_t m_nVolume;
            std::uint64_t m_nFileOffset;
            const unsigned char* m_pBytes;
            std::size_t m_nCount;
        };
        std::vector<SPiece> vecPieces;
        for (const SPatch& patch : m_vecPatches) {
            std::size_t nDone = 0;
            while (nDone < patch.m_vecBytes.size()) {
                std::uint64_t nOffset = patch.m_nOffset + nDone;
                std::size_t nVolume = 0;
                std::uint64_t nFileOffset = nOffset;
                std::uint64_t nRoom = patch.m_vecBytes.size() - nDone;
                if (m_nVolumeSize != 0) {
                    if (nOffset >= m_nVolumeSize) {
                        std::uint64_t nPart = m_nVolumeSize - kVolumeHeaderSize;
                        nVolume = 1 + static_cast<std::size_t>((nOffset - m_nVolumeSize) / nPart);
                        nFileOffset = kVolumeHeaderSize + (nOffset - m_nVolumeSize) % nPart;
                    }
                    if (m_nVolumeSize - nFileOffset < nRoom)
                        nRoom = m_nVolumeSize - nFileOffset;
                }
                vecPieces.push_back(SPiece{nVolume, nFileOffset, patch.m_vecBytes.data() + nDone, static_cast<std::size_t>(nRoom)});
                nDone += static_cast<std::size_t>(nRoom);
            }
        }
        std::stable_sort(vecPieces.begin(), vecPieces.end(),
                         [](const SPiece& a, const SPiece& b) { return a.m_nVolume < b.m_nVolume; });
        CPlainFile file;
        std::size_t nOpen = m_vecPaths.size();
        for (const SPiece& piece : vecPieces) {
            if (piece.m_nVolume != nOpen) {
                file.Close();
                nOpen = piece.m_nVolume;
                if (!file.OpenForUpdate(m_vecPaths[nOpen]))
                    ThrowOpenFailure(m_vecPaths[nOpen]);
            }
            file.Seek(piece.m_nFileOffset);
            file.Write(piece.m_pBytes, piece.m_nCount);
        }
        file.Close();
        m_vecPatches.clear();
    }

    const std::vector<std::string>& GetPaths() const { return m_vecPaths; }

private:
    void OpenVolume()
    {
        unsigned nVolume = static_cast<unsigned>(m_vecPaths.size());
        // volumeCount counts user.spd too, in 16 bits: index 65535 would make it 0.
        if (nVolume >= 0xFFFF)
            throw CPackageWriteError("the package would need more than 65535 volumes; choose a larger volume size");
        std::string strPath = JoinPath(m_strFolder, nVolume == 0 ? "user.spd" : VolumeFileName(nVolume));
        if (!m_file.Create(strPath))
            ThrowOpenFailure(strPath);
        m_vecPaths.push_back(strPath);
        if (nVolume > 0) {
            VolumeHeader volume;
            volume.volumeIndex = static_cast<std::uint16_t>(nVolume);
            std::memcpy(volume.packageName, m_header.packageName, kNameFieldSize);
            std::memcpy(volume.packageId, m_header.packageId, kPackageIdSize);
            unsigned char bytes[kVolumeHeaderSize];
            EncodeVolumeHeader(volume, bytes);
            m_file.Write(bytes, sizeof bytes);
        }
    }

    struct SPatch {
        std::uint64_t m_nOffset;
        std::vector<unsigned char> m_vecBytes;
    };

    std::string m_strFolder;
    std::uint64_t m_nVolumeSize;
    SetupHeader m_header;
    CPlainFile m_file;
    std::vector<std::string> m_vecPaths;
    std::vector<SPatch> m_vecPatches;
    std::uint64_t m_nPosition = 0;
};

// Deflated bytes for the package stream, split over the volumes.
class CVolumeSink : public IByteSink {
public:
    explicit CVolumeSink(CVolumeOutput& output) : m_output(output) {}
    void Write(const unsigned char* pData, std::size_t nCount) override { m_output.Write(pData, nCount); }

private:
    CVolumeOutput& m_output;
};

// Where the bytes to deflate come from: a file read in chunks, or bytes in memory.
class CSource {
public:
    explicit CSource(const PackageFileEntry& file) : m_pContent(file.content ? &*file.content : nullptr)
    {
        if (m_pContent == nullptr && !m_file.Open(file.strSourcePath))
            throw CPackageWriteError("cannot open source file " + file.strSourcePath);
    }
    explicit CSource(const std::string& strPath)
    {
        if (!m_file.Open(strPath))
            throw CPackageWriteError("cannot open source file " + strPath);
    }

    std::size_t Read(unsigned char* p, std::size_t n)
    {
        if (m_pContent == nullptr)
            return m_file.Read(p, n);
        std::size_t nLeft = m_pContent->size() - m_nOffset;
        if (n > nLeft)
            n = nLeft;
        if (n > 0)
            std::memcpy(p, m_pContent->data() + m_nOffset, n);
        m_nOffset += n;
        return n;
    }

private:
    const std::vector<unsigned char>* m_pContent = nullptr;
    std::size_t m_nOffset = 0;
    CPlainFile m_file;
};

// zlib deflate with two fixed buffers, reused for every file.
class CDeflater {
public:
    CDeflater() : m_vecInput(kInflateChunkSize), m_vecOutput(kInflateChunkSize)
    {
        std::memset(&m_stream, 0, sizeof m_stream);
        if (deflateInit(&m_stream, Z_DEFAULT_COMPRESSION) != Z_OK)
            throw CPackageWriteError("zlib cannot start compressing");
    }
    ~CDeflater() { deflateEnd(&m_stream); }
    CDeflater(const CDeflater&) = delete;
    CDeflater& operator=(const CDeflater&) = delete;

    struct SResult {
        std::uint64_t nInput = 0;
        std::uint64_t nOutput = 0;
        std::uint32_t nAdler = 1;
    };

    // Deflates everything the source holds into the target. An empty source yields no
    // stream at all (nOutput 0), which is how the package stores an empty file.
    SResult Run(CSource& source, IByteSink& target, const std::string& strName)
    {
        SResult result;
        std::size_t nRead = source.Read(m_vecInput.data(), m_vecInput.size());
        if (nRead == 0)
            return result;
        deflateReset(&m_stream);
        for (;;) {
            result.nInput += nRead;
            if (result.nInput > kMaxStreamSize)
                throw CPackageWriteError(strName + " is larger than 4 GiB");
            // A short read is the end of the source; after a full one the next read tells.
            bool bLast = nRead < m_vecInput.size();
            m_stream.next_in = m_vecInput.data();
            m_stream.avail_in = static_cast<uInt>(nRead);
            result.nOutput += Pump(target, bLast ? Z_FINISH : Z_NO_FLUSH, strName);
            if (bLast)
                break;
            nRead = source.Read(m_vecInput.data(), m_vecInput.size());
            if (nRead == 0) {
                m_stream.avail_in = 0;
                result.nOutput += Pump(target, Z_FINISH, strName);
                break;
            }
        }
        result.nAdler = static_cast<std::uint32_t>(m_stream.adler);
        return result;
    }

private:
    std::vector<unsigned char> m_vecInput;
    std::vector<unsigned char> m_vecOutput;
    z_stream m_stream;

    // Deflates the pending input; with Z_FINISH until the stream is complete.
    std::uint64_t Pump(IByteSink& target, int nFlush, const std::string& strName)
    {
        std::uint64_t nOutput = 0;
        int nStatus;
        do {
            m_stream.next_out = m_vecOutput.data();
            m_stream.avail_out = static_cast<uInt>(m_vecOutput.size());
            nStatus = deflate(&m_stream, nFlush);
            if (nStatus == Z_STREAM_ERROR)
                throw CPackageWriteError("zlib failed compressing " + strName);
            std::size_t nProduced = m_vecOutput.size() - m_stream.avail_out;
            target.Write(m_vecOutput.data(), nProduced);
            nOutput += nProduced;
        } while (m_stream.avail_out == 0 || (nFlush == Z_FINISH && nStatus != Z_STREAM_END));
        return nOutput;
    }
};

std::vector<unsigned char> CompressBytes(const std::vector<unsigned char>& vecData)
{
    uLongf nSize = compressBound(static_cast<uLong>(vecData.size()));
    std::vector<unsigned char> vecOut(nSize);
    if (compress(vecOut.data(), &nSize, vecData.data(), static_cast<uLong>(vecData.size())) != Z_OK)
        throw CPackageWriteError("zlib failed compressing a table");
    vecOut.resize(nSize);
    return vecOut;
}

void WriteBlock(CVolumeOutput& output, const BlockHeader& block)
{
    unsigned char bytes[kBlockHeaderSize];
    EncodeBlockHeader(block, bytes);
    output.Write(bytes, sizeof bytes);
}

// A stored block of bytes held in memory (directory table, file records).
void WriteStoredBlock(CVolumeOutput& output, const std::vector<unsigned char>& vecData)
{
    std::vector<unsigned char> vecStored = CompressBytes(vecData);
    BlockHeader block;
    block.checksum = Adler(vecData.data(), vecData.size());
    block.storedSize = static_cast<std::uint32_t>(vecStored.size());
    block.unpackedSize = static_cast<std::uint32_t>(vecData.size());
    WriteBlock(output, block);
    output.Write(vecStored.data(), vecStored.size());
}

template <std::size_t N>
void SetField(char (&field)[N], const std::string& strText, const std::string& strWhat)
{
    if (!SetFieldText(field, strText))
        throw CPackageWriteError(strWhat + " \"" + strText + "\" is longer than " + std::to_string(N - 1) + " bytes");
}

std::vector<unsigned char> DirectoryTable(const PackageContents& contents)
{
    std::vector<unsigned char> vecTable(contents.vecDirectories.size() * kDirectoryEntrySize);
    unsigned char* p = vecTable.data();
    for (const PackageDirectoryEntry& directory : contents.vecDirectories) {
        DirectoryRecord record;
        record.root = directory.root;
        SetField(record.path, directory.strPath, "directory path");
        EncodeDirectoryRecord(record, p + kBlockHeaderSize);
        BlockHeader block;
        block.checksum = Adler(p + kBlockHeaderSize, kDirectoryRecordSize);
        block.storedSize = static_cast<std::uint32_t>(kDirectoryRecordSize);
        block.unpackedSize = static_cast<std::uint32_t>(kDirectoryRecordSize);
        EncodeBlockHeader(block, p);
        p += kDirectoryEntrySize;
    }
    return vecTable;
}

// Reads the written stream back once for the two checksums that cover it.
void ChecksumStream(const std::vector<std::string>& vecPaths, std::uint64_t nSection, std::uint32_t& nBefore,
                    std::uint32_t& nAfter, std::uint64_t& nAfterLength)
{
    CPackageVolumeStream stream;
    for (const std::string& strPath : vecPaths) {
        auto pFile = std::make_unique<CPlainFile>();
        if (!pFile->Open(strPath))
            ThrowOpenFailure(strPath);
        stream.AddVolume(std::move(pFile), strPath);
    }
    std::vector<unsigned char> vecChunk(kChecksumChunkSize);
    nBefore = 1;
    nAfter = 1;
    std::uint64_t nLength = stream.GetLength();
    auto fold = [&](std::uint64_t nFrom, std::uint64_t nTo, std::uint32_t& nAdler) {
        stream.Seek(nFrom);
        for (std::uint64_t nLeft = nTo - nFrom; nLeft > 0;) {
            std::size_t nWant = nLeft < vecChunk.size() ? static_cast<std::size_t>(nLeft) : vecChunk.size();
            std::size_t nRead = stream.Read(vecChunk.data(), nWant);
            if (nRead != nWant)
                throw CPackageWriteError("the package written cannot be read back");
            nAdler = static_cast<std::uint32_t>(adler32(nAdler, vecChunk.data(), static_cast<uInt>(nRead)));
            nLeft -= nRead;
        }
    };
    fold(kSetupHeaderSize, nSection, nBefore);
    fold(nSection + kBlockHeaderSize, nLength, nAfter);
    nAfterLength = nLength - nSection - kBlockHeaderSize;
    stream.Close();
}

} // namespace

PackageWriteResult WritePackage(const PackageContents& contents, const std::string& strFolder, std::uint64_t nVolumeSize)
{
    if (nVolumeSize != 0 && nVolumeSize < kMinVolumeSize)
        throw CPackageWriteError("volume size " + std::to_string(nVolumeSize) + " is below the smallest, " +
                                 std::to_string(kMinVolumeSize));
    if (contents.vecFiles.empty())
        throw CPackageWriteError("a package needs at least one file");
    if (contents.vecFiles.size() > 0xFFFF)
        throw CPackageWriteError("a package holds at most 65535 files");
    if (contents.vecDirectories.size() > 0xFFFF)
        throw CPackageWriteError("a package holds at most 65535 directories");

    SetupHeader header;
    header.directoryOffset = kSetupHeaderSize;
    header.directoryCount = static_cast<std::uint16_t>(contents.vecDirectories.size());
    header.fileCount = static_cast<std::uint16_t>(contents.vecFiles.size());
    SetField(header.packageName, contents.strName, "package name");
    SetField(header.defaultFolder, contents.strDefaultFolder, "default folder");
    std::memcpy(header.packageId, contents.packageId, kPackageIdSize);

    // Check every record before the first byte is written.
    std::vector<FileRecord> vecRecords;
    vecRecords.reserve(contents.vecFiles.size());
    for (const PackageFileEntry& file : contents.vecFiles) {
        FileRecord record;
        record.flags = file.flags;
        record.root = file.root;
        SetField(record.folder, file.strFolder, "folder");
        SetField(record.fileName, file.strFileName, "file name");
        vecRecords.push_back(record);
    }
    std::vector<unsigned char> vecTable = DirectoryTable(contents);

    CVolumeOutput output(strFolder, nVolumeSize, header);
    unsigned char bytes[kSetupHeaderSize] = {};
    output.Write(bytes, kSetupHeaderSize); // the header is written last, once its sums are known

    if (vecTable.empty())
        WriteBlock(output, BlockHeader{}); // no folders of its own: an absent block
    else
        WriteStoredBlock(output, vecTable);

    header.fileSectionOffset = static_cast<std::uint32_t>(output.GetPosition());
    WriteBlock(output, BlockHeader{}); // sizes and checksum patched below

    CDeflater deflater;
    CVolumeSink target(output);
    for (std::size_t i = 0; i < contents.vecFiles.size(); ++i) {
        const PackageFileEntry& file = contents.vecFiles[i];
        std::vector<unsigned char> vecRecord(kFileRecordSize);
        EncodeFileRecord(vecRecords[i], vecRecord.data());
        WriteStoredBlock(output, vecRecord);

        std::uint64_t nBlockAt = output.GetPosition();
        WriteBlock(output, BlockHeader{});
        CSource source(file);
        // Its output cannot pass 4 GiB: the stream around it would have passed first.
        CDeflater::SResult result = deflater.Run(source, target, file.strFileName);
        BlockHeader block;
        block.checksum = result.nAdler;
        block.storedSize = static_cast<std::uint32_t>(result.nOutput);
        block.unpackedSize = static_cast<std::uint32_t>(result.nInput);
        unsigned char blockBytes[kBlockHeaderSize];
        EncodeBlockHeader(block, blockBytes);
        output.Patch(nBlockAt, blockBytes, sizeof blockBytes);
    }
    std::uint64_t nTotal = output.GetPosition();
    header.totalSize = static_cast<std::uint32_t>(nTotal);
    header.volumeCount = static_cast<std::uint16_t>(output.GetPaths().size());
    output.Finish();

    std::uint32_t nBefore = 1;
    std::uint32_t nAfter = 1;
    std::uint64_t nAfterLength = 0;
    ChecksumStream(output.GetPaths(), header.fileSectionOffset, nBefore, nAfter, nAfterLength);
    BlockHeader section;
    section.checksum = nAfter;
    section.storedSize = static_cast<std::uint32_t>(nAfterLength);
    section.unpackedSize = static_cast<std::uint32_t>(nAfterLength);
    unsigned char sectionBytes[kBlockHeaderSize];
    EncodeBlockHeader(section, sectionBytes);
    header.dataChecksum =
        CombineAdler32(CombineAdler32(nBefore, Adler(sectionBytes, sizeof sectionBytes), kBlockHeaderSize), nAfter, nAfterLength);
    EncodeSetupHeader(header, bytes);
    output.Patch(header.fileSectionOffset, sectionBytes, sizeof sectionBytes);
    output.Patch(0, bytes, kSetupHeaderSize);
    output.Finish();

    PackageWriteResult written;
    written.header = header;
    written.vecVolumePaths = output.GetPaths();
    return written;
}

UninstallerHeader WriteUninstallerFile(const std::string& strProgramPath, const std::string& strOutputPath)
{
    CSource source(strProgramPath);
    CPlainFile file;
    if (!file.Create(strOutputPath))
        ThrowOpenFailure(strOutputPath);
    unsigned char bytes[kUninstallerHeaderSize] = {};
    file.Write(bytes, sizeof bytes);
    CDeflater deflater;
    CPlainFileSink target(file);
    CDeflater::SResult result = deflater.Run(source, target, strProgramPath);
    if (result.nInput == 0)
        throw CPackageWriteError("the uninstaller program " + strProgramPath + " is empty");
    UninstallerHeader header;
    header.checksum = result.nAdler;
    header.unpackedSize = static_cast<std::uint32_t>(result.nInput);
    EncodeUninstallerHeader(header, bytes);
    file.Seek(0);
    file.Write(bytes, sizeof bytes);
    file.Close();
    return header;
}

bool ParsePackageId(const std::string& strText, std::uint8_t (&id)[kPackageIdSize])
{
    std::string strHex;
    std::string strBody = strText;
    if (strBody.size() >= 2 && strBody.front() == '{' && strBody.back() == '}')
        strBody = strBody.substr(1, strBody.size() - 2);
    static const std::size_t kDashes[] = {8, 13, 18, 23};
    if (strBody.size() != 36)
        return false;
    for (std::size_t i = 0; i < strBody.size(); ++i) {
        bool bDash = i == kDashes[0] || i == kDashes[1] || i == kDashes[2] || i == kDashes[3];
        char c = strBody[i];
        if (bDash != (c == '-'))
            return false;
        if (!bDash) {
            bool bHex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
            if (!bHex)
                return false;
            strHex += c;
        }
    }
    std::uint8_t raw[kPackageIdSize];
    for (std::size_t i = 0; i < kPackageIdSize; ++i)
        raw[i] = static_cast<std::uint8_t>(std::stoul(strHex.substr(2 * i, 2), nullptr, 16));
    // Data1, Data2 and Data3 are stored little-endian, Data4 as written.
    static const std::size_t kOrder[kPackageIdSize] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    for (std::size_t i = 0; i < kPackageIdSize; ++i)
        id[i] = raw[kOrder[i]];
    return true;
}

std::string FormatPackageId(const std::uint8_t (&id)[kPackageIdSize])
{
    char sz[48];
    std::snprintf(sz, sizeof sz, "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", id[3], id[2],
                  id[1], id[0], id[5], id[4], id[7], id[6], id[8], id[9], id[10], id[11], id[12], id[13], id[14], id[15]);
    return sz;
}

void GeneratePackageId(std::uint8_t (&id)[kPackageIdSize])
{
    std::random_device device;
    for (std::size_t i = 0; i < kPackageIdSize; i += 4) {
        std::uint32_t n = device();
        for (std::size_t j = 0; j < 4; ++j)
            id[i + j] = static_cast<std::uint8_t>(n >> (8 * j));
    }
    id[7] = static_cast<std::uint8_t>((id[7] & 0x0F) | 0x40); // version 4 (Data3's high nibble)
    id[8] = static_cast<std::uint8_t>((id[8] & 0x3F) | 0x80); // RFC 4122 variant
}
