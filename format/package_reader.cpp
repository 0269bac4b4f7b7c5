// The checks of the package reader, in the order the setup applies them.
#include "format/package_reader.h"

#include "format/package_checksums.h"
#include "format/package_exception.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <new>

namespace {

std::string Num(std::uint64_t n)
{
    return std::to_string(n);
}

// Closes a file on every way out of a reading step; a read-only close cannot fail in a
// way that matters, and a destructor must not throw.
class CCloseGuard {
public:
    explicit CCloseGuard(ISeekableFile& file) : m_file(file) {}
    ~CCloseGuard()
    {
        try {
            m_file.Close();
        } catch (CException* e) {
            e->Delete();
        }
    }
    CCloseGuard(const CCloseGuard&) = delete;
    CCloseGuard& operator=(const CCloseGuard&) = delete;

private:
    ISeekableFile& m_file;
};

// Collects a fixed-size record from the inflater.
class CRecordSink : public IByteSink {
public:
    void Write(const unsigned char* pData, std::size_t nCount) override
    {
        // The inflater never passes its limit, which is the record's size.
        std::memcpy(m_bytes + m_nFill, pData, nCount);
        m_nFill += nCount;
    }
    unsigned char m_bytes[kFileRecordSize] = {};
    std::size_t m_nFill = 0;
};

// Splits the inflated directory table into its 274-byte entries as they come, checking
// each. An entry's fault is kept until the whole block has been inflated and checked, so
// that a damaged block is reported as the setup reports it (decompression first).
class CDirectorySink : public IByteSink {
public:
    explicit CDirectorySink(unsigned nMaxEntries) : m_nMaxEntries(nMaxEntries) {}

    void Write(const unsigned char* pData, std::size_t nCount) override
    {
        while (nCount > 0) {
            std::size_t n = kDirectoryEntrySize - m_nFill;
            if (n > nCount)
                n = nCount;
            std::memcpy(m_entry + m_nFill, pData, n);
            m_nFill += n;
            pData += n;
            nCount -= n;
            if (m_nFill == kDirectoryEntrySize) {
                TakeEntry();
                m_nFill = 0;
            }
        }
    }

    std::vector<DirectoryEntry> m_vecEntries;
    std::string m_strFault;

private:
    void TakeEntry()
    {
        unsigned nIndex = static_cast<unsigned>(m_vecEntries.size());
        if (nIndex >= m_nMaxEntries)
            return; // refused later by its length

        BlockHeader block = DecodeBlockHeader(m_entry);
        DirectoryRecord record = DecodeDirectoryRecord(m_entry + kBlockHeaderSize);
        std::string strFault;
        if (block.storedSize != block.unpackedSize || block.storedSize > kDirectoryEntrySize)
            strFault = "sizes " + Num(block.storedSize) + "/" + Num(block.unpackedSize) + " are not equal and at most 274";
        else if (FoldAdler32(1, m_entry + kBlockHeaderSize, kDirectoryRecordSize) != block.checksum)
            strFault = "checksum does not match";
        else if (!IsFolderRoot(record.root))
            strFault = "root " + Num(record.root) + " is not 1 to 5";
        if (!strFault.empty() && m_strFault.empty())
            m_strFault = "directory entry " + Num(nIndex) + ": " + strFault;
        m_vecEntries.push_back(DirectoryEntry{record.root, FieldText(record.path)});
    }

    unsigned m_nMaxEntries;
    unsigned char m_entry[kDirectoryEntrySize] = {};
    std::size_t m_nFill = 0;
};

class CVectorSink : public IByteSink {
public:
    void Write(const unsigned char* pData, std::size_t nCount) override { m_vecData.insert(m_vecData.end(), pData, pData + nCount); }
    std::vector<unsigned char> m_vecData;
};

// Deflate cannot expand data by more than about 1032 to 1; anything claiming more is
// refused before a byte is allocated for it.
constexpr std::uint64_t kMaxInflateRatio = 1032;
constexpr std::uint64_t kInflateSlack = 64;

} // namespace

SetupHeader ReadSetupHeader(ISeekableFile& file, const std::string& strPath)
{
    if (!file.Open(strPath))
        ThrowPackageException(PHASE_PREPARING, CAUSE_FILE_ERROR, "cannot open " + strPath);
    CCloseGuard guard(file);
    unsigned char bytes[kSetupHeaderSize];
    std::size_t nRead = file.Read(bytes, sizeof bytes);
    if (nRead != sizeof bytes)
        ThrowPackageException(PHASE_PREPARING, CAUSE_DAMAGED,
                              "setup header is cut short (" + Num(nRead) + " of 192 bytes)", nRead);
    SetupHeader header = DecodeSetupHeader(bytes);
    std::string strFault;
    if (header.version != kFormatVersion)
        strFault = "version " + Num(header.version) + " is not 16";
    else if (header.magic != kSetupMagic)
        strFault = "magic is not SETU";
    else if (header.directoryOffset == 0)
        strFault = "directoryOffset is 0";
    else if (header.fileSectionOffset == 0)
        strFault = "fileSectionOffset is 0";
    else if (header.fileCount == 0)
        strFault = "fileCount is 0";
    else if (header.volumeCount == 0 && header.totalSize != file.GetLength())
        strFault = "single volume of " + Num(file.GetLength()) + " bytes, totalSize says " + Num(header.totalSize);
    if (!strFault.empty())
        ThrowPackageException(PHASE_PREPARING, CAUSE_FILE_ERROR, "setup header: " + strFault, 0);
    return header;
}

VolumeCheck CheckVolume(ISeekableFile& file, const SetupHeader& header, unsigned nVolume, std::string* pstrReason)
{
    std::string strReason;
    VolumeCheck result = VolumeCheck::Accepted;
    unsigned char bytes[kVolumeHeaderSize];
    file.Seek(0);
    VolumeHeader volume;
    if (file.Read(bytes, sizeof bytes) != sizeof bytes) {
        result = VolumeCheck::Unreadable;
        strReason = "shorter than its 88-byte header";
    } else if ((volume = DecodeVolumeHeader(bytes)).magic != kSetupMagic || volume.version != kFormatVersion) {
        result = VolumeCheck::Unreadable;
        strReason = "not a volume (wrong magic or version)";
    } else if (volume.volumeIndex != nVolume) {
        result = VolumeCheck::Foreign;
        strReason = "it is volume " + Num(volume.volumeIndex) + ", not " + Num(nVolume);
    } else if (std::memcmp(volume.packageId, header.packageId, kPackageIdSize) != 0) {
        result = VolumeCheck::Foreign;
        strReason = "it belongs to another package (identifier differs)";
    } else if (FieldText(volume.packageName) != FieldText(header.packageName)) {
        result = VolumeCheck::Foreign;
        strReason = "it belongs to another package (\"" + FieldText(volume.packageName) + "\")";
    }
    if (pstrReason != nullptr)
        *pstrReason = strReason;
    return result;
}

std::string TrimDirectoryPath(const std::string& strPath)
{
    std::size_t nBegin = !strPath.empty() && strPath.front() == '\\' ? 1 : 0;
    std::size_t nEnd = strPath.size();
    if (nEnd > nBegin && strPath[nEnd - 1] == '\\')
        --nEnd;
    return strPath.substr(nBegin, nEnd - nBegin);
}

CPackageReader::CPackageReader(ISeekableFile& stream, const SetupHeader& header) : m_stream(stream), m_header(header) {}

CPackageReader::~CPackageReader() = default;

CBlockInflater& CPackageReader::Inflater(unsigned nPhase)
{
    if (!m_pInflater) {
        try {
            m_pInflater = std::make_unique<CBlockInflater>();
        } catch (const std::bad_alloc&) {
            ThrowPackageException(nPhase, CAUSE_NO_MEMORY, "no memory for the decompression buffers");
        }
    }
    return *m_pInflater;
}

void CPackageReader::CheckStreamLength()
{
    const std::uint64_t nLength = m_stream.GetLength();
    if (nLength != m_header.totalSize)
        ThrowPackageException(PHASE_PREPARING, CAUSE_DAMAGED,
                              "package stream is " + Num(nLength) + " bytes, totalSize says " + Num(m_header.totalSize));
}

void CPackageReader::VerifyStream()
{
    CheckStreamLength();
    std::vector<unsigned char> vecChunk;
    try {
        vecChunk.resize(kChecksumChunkSize);
    } catch (const std::bad_alloc&) {
        ThrowPackageException(PHASE_PREPARING, CAUSE_NO_MEMORY, "no memory for the checksum buffer");
    }
    const std::uint64_t nLength = m_stream.GetLength();
    CStreamChecksums checksums(m_header, nLength);
    m_stream.Seek(kSetupHeaderSize);
    std::uint64_t nPosition = kSetupHeaderSize;
    while (nPosition < nLength) {
        const std::size_t nRead = m_stream.Read(vecChunk.data(), vecChunk.size());
        if (nRead == 0)
            ThrowPackageException(PHASE_PREPARING, CAUSE_DAMAGED, "package stream ends early", nPosition);
        checksums.Fold(nPosition, vecChunk.data(), nRead);
        nPosition += nRead;
    }
    CheckStreamChecksums(checksums);
}

void CPackageReader::CheckStreamChecksums(const CStreamChecksums& checksums)
{
    const std::uint32_t nChecksum = checksums.DataChecksum();
    if (nChecksum != m_header.dataChecksum)
        ThrowPackageException(PHASE_PREPARING, CAUSE_DAMAGED,
                              "package checksum " + ChecksumText(nChecksum) + ", header says " +
                                  ChecksumText(m_header.dataChecksum));
    m_bSectionChecksumKnown = checksums.HasSectionChecksum();
    m_nSectionChecksum = checksums.SectionChecksum();
}

std::optional<std::vector<DirectoryEntry>> CPackageReader::ReadDirectoryTable()
{
    m_stream.Seek(kSetupHeaderSize);
    BlockHeader block;
    if (!ReadBlockHeader(m_stream, block))
        ThrowPackageException(PHASE_FOLDERS, CAUSE_DAMAGED, "directory block header is cut short", kSetupHeaderSize);
    if (block.checksum == 0 || block.storedSize == 0 || block.unpackedSize == 0)
        return std::nullopt;
    std::uint64_t nLength = m_stream.GetLength();
    std::uint64_t nDataAt = kSetupHeaderSize + kBlockHeaderSize;
    if (block.storedSize > nLength - nDataAt)
        ThrowPackageException(PHASE_FOLDERS, CAUSE_DAMAGED,
                              "directory block claims " + Num(block.storedSize) + " bytes but only " +
                                  Num(nLength - nDataAt) + " remain",
                              kSetupHeaderSize);
    // The block is inflated before its length is compared with the entry count, so a block
    // damaged in both ways reports the decompression. The sink keeps no more entries than
    // the header counts, so a block that claims more only costs time.
    CDirectorySink sink(m_header.directoryCount);
    InflateResult result = Inflater(PHASE_FOLDERS).Run(m_stream, block.storedSize, block.unpackedSize, &sink);
    if (result.bShort)
        ThrowPackageException(PHASE_FOLDERS, CAUSE_DAMAGED, "directory block is cut short", kSetupHeaderSize);
    if (result.bFailed || !result.bStreamEnd)
        ThrowPackageException(PHASE_FOLDERS, CAUSE_DECOMPRESSION, "directory block does not decompress", kSetupHeaderSize);
    if (result.nWritten != block.unpackedSize)
        ThrowPackageException(PHASE_FOLDERS, CAUSE_DAMAGED,
                              "directory block unpacks to " + Num(result.nWritten) + " bytes, block says " +
                                  Num(block.unpackedSize),
                              kSetupHeaderSize);
    if (result.nAdler != block.checksum)
        ThrowPackageException(PHASE_FOLDERS, CAUSE_DAMAGED,
                              "directory checksum " + ChecksumText(result.nAdler) + ", block says " + ChecksumText(block.checksum),
                              kSetupHeaderSize);
    std::uint64_t nExpected = static_cast<std::uint64_t>(m_header.directoryCount) * kDirectoryEntrySize;
    if (result.nWritten != nExpected)
        ThrowPackageException(PHASE_FOLDERS, CAUSE_DAMAGED,
                              "directory block unpacks to " + Num(result.nWritten) + " bytes, " +
                                  Num(m_header.directoryCount) + " entries need " + Num(nExpected),
                              kSetupHeaderSize);
    if (!sink.m_strFault.empty())
        ThrowPackageException(PHASE_FOLDERS, CAUSE_DAMAGED, sink.m_strFault, kSetupHeaderSize);
    return std::move(sink.m_vecEntries);
}

void CPackageReader::CheckFileSection()
{
    std::uint64_t nSection = m_header.fileSectionOffset;
    m_stream.Seek(nSection);
    BlockHeader block;
    if (!ReadBlockHeader(m_stream, block))
        ThrowPackageException(PHASE_FILES, CAUSE_DAMAGED, "file section header is cut short", nSection);
    std::uint32_t nChecksum = m_nSectionChecksum;
    if (!m_bSectionChecksumKnown) {
        std::vector<unsigned char> vecChunk;
        try {
            vecChunk.resize(kChecksumChunkSize);
        } catch (const std::bad_alloc&) {
            ThrowPackageException(PHASE_FILES, CAUSE_NO_MEMORY, "no memory for the checksum buffer");
        }
        nChecksum = 1;
        for (;;) {
            std::size_t nRead = m_stream.Read(vecChunk.data(), vecChunk.size());
            if (nRead == 0)
                break;
            nChecksum = FoldAdler32(nChecksum, vecChunk.data(), nRead);
        }
    }
    if (nChecksum != block.checksum)
        ThrowPackageException(PHASE_FILES, CAUSE_DAMAGED,
                              "file section checksum " + ChecksumText(nChecksum) + ", section header says " + ChecksumText(block.checksum),
                              nSection);
}

void CPackageReader::BeginFileSection()
{
    CheckFileSection();
    BeginFileSectionUnchecked();
}

void CPackageReader::BeginFileSectionUnchecked()
{
    m_stream.Seek(static_cast<std::uint64_t>(m_header.fileSectionOffset) + kBlockHeaderSize);
    m_nFilesLeft = m_header.fileCount;
}

bool CPackageReader::ReadNextFileEntry(FileRecord& record)
{
    if (m_nFilesLeft == 0)
        return false;
    unsigned nIndex = m_header.fileCount - m_nFilesLeft;
    std::string strWhich = "file entry " + Num(nIndex) + ": ";
    std::uint64_t nAt = m_stream.GetPosition();
    BlockHeader block;
    if (!ReadBlockHeader(m_stream, block))
        ThrowPackageException(PHASE_FILES, CAUSE_DAMAGED, strWhich + "record header is cut short", nAt);
    if (block.unpackedSize == 0 || block.storedSize == 0 || block.unpackedSize != kFileRecordSize)
        ThrowPackageException(PHASE_FILES, CAUSE_DAMAGED,
                              strWhich + "record sizes " + Num(block.storedSize) + "/" + Num(block.unpackedSize) +
                                  " are not those of a file record",
                              nAt);
    std::uint64_t nLength = m_stream.GetLength();
    if (block.storedSize > nLength - (nAt + kBlockHeaderSize))
        ThrowPackageException(PHASE_FILES, CAUSE_DAMAGED,
                              strWhich + "record claims " + Num(block.storedSize) + " bytes past the end of the package", nAt);
    CRecordSink sink;
    InflateResult result = Inflater(PHASE_FILES).Run(m_stream, block.storedSize, kFileRecordSize, &sink);
    if (result.bShort)
        ThrowPackageException(PHASE_FILES, CAUSE_DAMAGED, strWhich + "record is cut short", nAt);
    if (result.bFailed || !result.bStreamEnd)
        ThrowPackageException(PHASE_FILES, CAUSE_DECOMPRESSION, strWhich + "record does not decompress", nAt);
    if (result.nWritten != kFileRecordSize || result.nAdler != block.checksum)
        ThrowPackageException(PHASE_FILES, CAUSE_DAMAGED,
                              strWhich + (result.nWritten != kFileRecordSize ? "record unpacks to " + Num(result.nWritten) + " bytes"
                                                                             : "record checksum does not match"),
                              nAt);
    record = DecodeFileRecord(sink.m_bytes);
    --m_nFilesLeft;
    return true;
}

BlockHeader CPackageReader::InflateDataBlock(IByteSink* pSink)
{
    return Inflater(PHASE_FILES).InflateDataBlock(m_stream, pSink);
}

BlockHeader CPackageReader::SkipDataBlock()
{
    return ::SkipDataBlock(m_stream);
}

std::uint64_t ReadUninstaller(ISeekableFile& file, const std::string& strPath, IByteSink& sink)
{
    if (!file.Open(strPath))
        ThrowPackageException(PHASE_FINISHING, CAUSE_FILE_ERROR, "cannot open " + strPath);
    CCloseGuard guard(file);
    // Three separate reads, as the setup has always read this header.
    unsigned char bytes[kUninstallerHeaderSize];
    for (std::size_t i = 0; i < kUninstallerHeaderSize; i += 4) {
        if (file.Read(bytes + i, 4) != 4)
            ThrowPackageException(PHASE_FINISHING, CAUSE_DAMAGED, "uninstaller header is cut short", i);
    }
    UninstallerHeader header = DecodeUninstallerHeader(bytes);
    if (header.magic != kUninstallerMagic)
        ThrowPackageException(PHASE_FINISHING, CAUSE_DAMAGED, "uninstaller magic is not 0x12343210", 0);
    if (header.unpackedSize == 0)
        ThrowPackageException(PHASE_FINISHING, CAUSE_DAMAGED, "uninstaller unpackedSize is 0", 0);
    std::uint64_t nPosition = file.GetPosition();
    std::uint64_t nLength = file.GetLength();
    std::uint64_t nStored = nLength > nPosition ? nLength - nPosition : 0;
    if (header.unpackedSize > nStored * kMaxInflateRatio + kInflateSlack)
        ThrowPackageException(PHASE_FINISHING, CAUSE_DAMAGED,
                              "uninstaller claims " + Num(header.unpackedSize) + " bytes from " + Num(nStored) +
                                  " compressed bytes",
                              0);
    std::unique_ptr<CBlockInflater> pInflater;
    try {
        pInflater = std::make_unique<CBlockInflater>();
    } catch (const std::bad_alloc&) {
        ThrowPackageException(PHASE_FINISHING, CAUSE_NO_MEMORY, "no memory for decompression");
    }
    InflateResult result = pInflater->Run(file, nStored, header.unpackedSize, &sink);
    if (result.bShort || result.bFailed || !result.bStreamEnd)
        ThrowPackageException(PHASE_FINISHING, CAUSE_DAMAGED, "uninstaller does not decompress", kUninstallerHeaderSize);
    if (result.nAdler != header.checksum)
        ThrowPackageException(PHASE_FINISHING, CAUSE_DAMAGED,
                              "uninstaller checksum " + ChecksumText(result.nAdler) + ", header says " + ChecksumText(header.checksum), 0);
    return result.nWritten;
}

std::vector<unsigned char> ReadUninstaller(ISeekableFile& file, const std::string& strPath)
{
    CVectorSink sink;
    try {
        ReadUninstaller(file, strPath, sink);
    } catch (const std::bad_alloc&) {
        ThrowPackageException(PHASE_FINISHING, CAUSE_NO_MEMORY, "no memory for the uninstaller");
    }
    return std::move(sink.m_vecData);
}
