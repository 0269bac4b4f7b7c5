// The setup's own inflate loop: buffers are written when full, and once zlib reports the
// end of its stream or an error the rest of the block is only read.
#include "engine/file_extraction.h"

#include "app/setup_thread_link.h"
#include "format/package_data_block.h"
#include "format/plain_file.h"
#include "engine/temp_file_names.h"
#include "sys/my_exception.h"

#include <zlib.h>

#include <new>

namespace {
template <typename Make> auto Allocated(Make make)
{
    try {
        return make();
    } catch (const std::bad_alloc&) {
        ThrowSetupException(PHASE_FILES, CAUSE_NO_MEMORY);
    }
}
} // namespace

CFileExtractor::CFileExtractor()
    : m_vecInput(Allocated([] { return std::vector<unsigned char>(kInflateChunkSize); })),
      m_vecOutput(Allocated([] { return std::vector<unsigned char>(kInflateChunkSize); })),
      m_pStream(Allocated([] { return std::make_unique<z_stream>(); }))
{
    // The wrapper's default window. The state's size is this zlib's own, not a fixed 56:
    // that is the 32-bit layout only.
    if (inflateInit(m_pStream.get()) != Z_OK)
        ThrowSetupException(PHASE_FILES, CAUSE_DECOMPRESSION);
}

CFileExtractor::~CFileExtractor()
{
    inflateEnd(m_pStream.get());
}

std::string ExtractFile(ISeekableFile& stream, const std::string& strTempFolder, CSetupThreadLink& link,
                        std::vector<std::string>& tempFiles)
{
    CFileExtractor extractor;
    return extractor.Extract(stream, strTempFolder, link, tempFiles);
}

std::string CFileExtractor::Extract(ISeekableFile& stream, const std::string& strTempFolder, CSetupThreadLink& link,
                                    std::vector<std::string>& tempFiles)
{
    BlockHeader header;
    if (!ReadBlockHeader(stream, header))
        ThrowSetupException(PHASE_FILES, CAUSE_DAMAGED);
    // The state the previous file left, whatever its end, starts over.
    if (inflateReset(m_pStream.get()) != Z_OK)
        ThrowSetupException(PHASE_FILES, CAUSE_DECOMPRESSION);
    CPlainFile file;
    const std::string strPath = CreateTempFile(file, strTempFolder, PHASE_FILES, [&] { link.CheckCancel(); }, tempFiles);

    z_stream& z = *m_pStream;
    unsigned char* const pInput = m_vecInput.data();
    unsigned char* const pOutput = m_vecOutput.data();
    z.next_out = pOutput;
    z.avail_out = static_cast<uInt>(kInflateChunkSize);
    std::uint64_t nWritten = 0;
    bool bEnded = false;
    bool bTooLong = false;
    bool bStopped = false; // zlib reported the end or an error, or the output is too long
    std::uint32_t nRemaining = header.storedSize;
    while (nRemaining > 0) {
        // One large file can take seconds: the dialog may hold the thread here to ask its
        // question while this file is still the current one.
        link.HoldPoint();
        const std::size_t nChunk = nRemaining < kInflateChunkSize ? nRemaining : kInflateChunkSize;
        if (stream.Read(pInput, nChunk) != nChunk)
            ThrowSetupException(PHASE_FILES, CAUSE_DAMAGED);
        nRemaining -= static_cast<std::uint32_t>(nChunk);
        // After the end the rest is read only, so that the next entry starts in its place.
        if (bStopped)
            continue;
        z.next_in = pInput;
        z.avail_in = static_cast<uInt>(nChunk);
        do {
            if (z.avail_out == 0) {
                // A full buffer beyond the file's length can only end in a failure: stop
                // before a damaged block fills the disk.
                if (nWritten + kInflateChunkSize > header.unpackedSize) {
                    bTooLong = bStopped = true;
                    break;
                }
                file.Write(pOutput, kInflateChunkSize);
                nWritten += kInflateChunkSize;
                z.next_out = pOutput;
                z.avail_out = static_cast<uInt>(kInflateChunkSize);
            }
            const int nStatus = inflate(&z, Z_NO_FLUSH);
            bEnded = nStatus == Z_STREAM_END;
            bStopped = nStatus != Z_OK;
        } while (!bStopped && z.avail_in > 0);
    }
    const std::size_t nPending = kInflateChunkSize - z.avail_out;
    if (nWritten + nPending > header.unpackedSize)
        bTooLong = true;
    else if (nPending > 0) {
        file.Write(pOutput, nPending);
        nWritten += nPending;
    }
    // zlib's running Adler-32 of its output, 1 for no output at all.
    const std::uint32_t nAdler = static_cast<std::uint32_t>(z.adler);
    // Length and checksum alone would pass a stream whose own trailer is damaged or
    // missing: zlib checks that trailer only when it reports the end. A file of length 0
    // is stored without any stream.
    const bool bStreamOk = header.storedSize == 0 || bEnded;
    if (!bStreamOk || bTooLong || nWritten != header.unpackedSize || nAdler != header.checksum)
        ThrowSetupException(PHASE_FILES, CAUSE_DECOMPRESSION);
    file.Close();
    return strPath;
}
