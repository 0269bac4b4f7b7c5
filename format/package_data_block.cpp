// CBlockInflater: zlib streaming with one reused state and two fixed buffers.
#include "format/package_data_block.h"

#include "format/package_checksums.h"
#include "format/package_exception.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <new>

namespace {
// Allocations zlib may still make before they fail; negative: no limit. Only tests set it.
int g_nZlibAllocationsLeft = -1;

voidpf ZlibAlloc(voidpf, uInt nItems, uInt nSize)
{
    if (g_nZlibAllocationsLeft == 0)
        return Z_NULL;
    if (g_nZlibAllocationsLeft > 0)
        --g_nZlibAllocationsLeft;
    return std::calloc(nItems, nSize);
}

void ZlibFree(voidpf, voidpf pAddress)
{
    std::free(pAddress);
}
} // namespace

void FailZlibAllocationsAfter(int nAllowed)
{
    g_nZlibAllocationsLeft = nAllowed;
}

struct CBlockInflater::SState {
    z_stream m_stream;
    bool m_bReady = false;
};

CBlockInflater::CBlockInflater()
    : m_vecInput(kInflateChunkSize), m_vecOutput(kInflateChunkSize), m_pState(new SState)
{
    std::memset(&m_pState->m_stream, 0, sizeof m_pState->m_stream);
    m_pState->m_stream.zalloc = ZlibAlloc;
    m_pState->m_stream.zfree = ZlibFree;
}

CBlockInflater::~CBlockInflater()
{
    if (m_pState->m_bReady)
        inflateEnd(&m_pState->m_stream);
}

bool ReadBlockHeader(ISeekableFile& stream, BlockHeader& header)
{
    unsigned char bytes[kBlockHeaderSize];
    if (stream.Read(bytes, sizeof bytes) != sizeof bytes)
        return false;
    header = DecodeBlockHeader(bytes);
    return true;
}

InflateResult CBlockInflater::Run(ISeekableFile& stream, std::uint64_t nStoredSize, std::uint64_t nLimit, IByteSink* pSink)
{
    InflateResult result;
    z_stream& z = m_pState->m_stream;
    // One state serves every block: resetting it costs nothing, a new one costs 40 KB of
    // allocations per file.
    int nInit = m_pState->m_bReady ? inflateReset(&z) : inflateInit(&z);
    if (nInit != Z_OK) {
        result.bFailed = true;
        result.bNoMemory = nInit == Z_MEM_ERROR;
        return result;
    }
    m_pState->m_bReady = true;

    bool bInflated = false;
    std::uint64_t nLeft = nStoredSize;
    while (nLeft > 0 && !result.bStreamEnd) {
        std::size_t nWant = nLeft < m_vecInput.size() ? static_cast<std::size_t>(nLeft) : m_vecInput.size();
        std::size_t nRead = stream.Read(m_vecInput.data(), nWant);
        nLeft -= nRead;
        if (nRead < nWant) {
            result.bShort = true;
            return result;
        }
        z.next_in = m_vecInput.data();
        z.avail_in = static_cast<uInt>(nRead);
        do {
            z.next_out = m_vecOutput.data();
            z.avail_out = static_cast<uInt>(m_vecOutput.size());
            int nStatus = inflate(&z, Z_NO_FLUSH);
            bInflated = true;
            std::size_t nProduced = m_vecOutput.size() - z.avail_out;
            if (nProduced > 0) {
                // Never trust the stream to stop by itself: a bomb would fill the disk.
                if (nProduced > nLimit - result.nWritten) {
                    result.bFailed = true;
                    result.bTooLong = true;
                    return result;
                }
                if (pSink != nullptr)
                    pSink->Write(m_vecOutput.data(), nProduced);
                result.nWritten += nProduced;
            }
            if (nStatus == Z_STREAM_END) {
                result.bStreamEnd = true;
                break;
            }
            if (nStatus == Z_BUF_ERROR)
                break; // no progress possible: the input is used up
            if (nStatus != Z_OK) {
                result.nStopAt = stream.GetPosition() - z.avail_in;
                result.bFailed = true;
                result.bNoMemory = nStatus == Z_MEM_ERROR;
                return result;
            }
        } while (z.avail_in > 0 || z.avail_out == 0);
    }
    if (bInflated)
        result.nAdler = static_cast<std::uint32_t>(z.adler);
    // Bytes after the end of the zlib stream belong to the block but carry nothing.
    if (result.bStreamEnd && nLeft > 0)
        stream.Seek(stream.GetPosition() + nLeft);
    return result;
}

BlockHeader CBlockInflater::InflateDataBlock(ISeekableFile& stream, IByteSink* pSink)
{
    std::uint64_t nAt = stream.GetPosition();
    BlockHeader header;
    if (!ReadBlockHeader(stream, header))
        ThrowPackageException(PHASE_FILES, CAUSE_DAMAGED, "data block header is cut short", nAt);
    std::uint64_t nLength = stream.GetLength();
    std::uint64_t nDataAt = nAt + kBlockHeaderSize;
    if (header.storedSize > nLength - nDataAt)
        ThrowPackageException(PHASE_FILES, CAUSE_DAMAGED,
                              "data block claims " + std::to_string(header.storedSize) + " bytes but only " +
                                  std::to_string(nLength - nDataAt) + " remain in the package",
                              nAt);
    InflateResult result = Run(stream, header.storedSize, header.unpackedSize, pSink);
    if (result.bShort)
        ThrowPackageException(PHASE_FILES, CAUSE_DAMAGED, "data block is cut short", nAt);
    // A stored size of 0 is how an empty file is written: no zlib stream at all.
    bool bStreamOk = header.storedSize == 0 || (result.bStreamEnd && !result.bFailed);
    if (!bStreamOk)
        ThrowPackageException(PHASE_FILES, CAUSE_DECOMPRESSION,
                              result.bFailed ? (result.bTooLong
                                                    ? "data decompresses to more than its length " +
                                                          std::to_string(header.unpackedSize)
                                                    : result.bNoMemory
                                                    ? "zlib ran out of memory inflating the block at stream offset " +
                                                          std::to_string(nAt)
                                                    : "zlib data of the block at stream offset " + std::to_string(nAt) + " is corrupt")
                                             : std::string("zlib stream ends early"),
                              result.bFailed && !result.bTooLong ? result.nStopAt : nAt);
    if (result.nWritten != header.unpackedSize)
        ThrowPackageException(PHASE_FILES, CAUSE_DECOMPRESSION,
                              "data decompresses to " + std::to_string(result.nWritten) + " bytes, block says " +
                                  std::to_string(header.unpackedSize),
                              nAt);
    if (result.nAdler != header.checksum)
        ThrowPackageException(PHASE_FILES, CAUSE_DECOMPRESSION,
                              "data checksum " + ChecksumText(result.nAdler) + ", block says " + ChecksumText(header.checksum), nAt);
    return header;
}

BlockHeader SkipDataBlock(ISeekableFile& stream)
{
    std::uint64_t nAt = stream.GetPosition();
    BlockHeader header;
    if (!ReadBlockHeader(stream, header))
        ThrowPackageException(PHASE_FILES, CAUSE_DAMAGED, "data block header is cut short", nAt);
    std::uint64_t nLength = stream.GetLength();
    if (header.storedSize > nLength - (nAt + kBlockHeaderSize))
        ThrowPackageException(PHASE_FILES, CAUSE_DAMAGED, "data block runs past the end of the package", nAt);
    stream.Seek(nAt + kBlockHeaderSize + header.storedSize);
    return header;
}
