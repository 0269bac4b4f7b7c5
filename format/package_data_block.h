// Streaming decompression of the package's stored blocks in fixed buffers: a file's data
// block is inflated 262144 bytes at a time and checked for length and Adler-32, whatever
// the size of the file.
#pragma once

#include "format/byte_sink.h"
#include "format/package_records.h"
#include "format/seekable_file.h"

#include <cstdint>
#include <memory>
#include <vector>

// What one run of the inflater saw; the callers turn it into their own phase and cause.
struct InflateResult {
    std::uint64_t nWritten = 0;  // bytes handed to the sink
    std::uint32_t nAdler = 1;    // Adler-32 of those bytes
    bool bShort = false;         // the stream ended before the stored bytes
    bool bStreamEnd = false;     // the zlib stream ended properly (its own check passed)
    bool bFailed = false;        // zlib refused the data, or the output passed the limit
    bool bTooLong = false;       // the output passed the limit
    bool bNoMemory = false;      // zlib could not get memory (a zlib error like any other)
    std::uint64_t nStopAt = 0;   // stream offset of the first input byte not consumed
};

class CBlockInflater {
public:
    // Allocates the two 262144-byte buffers once; std::bad_alloc when there is no memory.
    CBlockInflater();
    ~CBlockInflater();
    CBlockInflater(const CBlockInflater&) = delete;
    CBlockInflater& operator=(const CBlockInflater&) = delete;

    // Reads up to nStoredSize bytes from the stream's position and inflates them, giving the
    // sink at most nLimit bytes. Stops at the first failure; after a proper end of the zlib
    // stream the rest of the stored bytes is skipped unread, so that the stream is left
    // right behind the block.
    InflateResult Run(ISeekableFile& stream, std::uint64_t nStoredSize, std::uint64_t nLimit, IByteSink* pSink);

    // Reads the data block header at the stream's position and inflates the file's data
    // into the sink (null: only checked). Raises CSetupException phase 3: cause 3 for a
    // short header or data that runs past the end of the stream, cause 5 when length,
    // checksum or the zlib stream itself is wrong, zlib's own lack of memory included.
    BlockHeader InflateDataBlock(ISeekableFile& stream, IByteSink* pSink);

private:
    std::vector<unsigned char> m_vecInput;
    std::vector<unsigned char> m_vecOutput;
    struct SState;
    std::unique_ptr<SState> m_pState;
};

// Reads the data block header at the stream's position and seeks past its data without
// reading it (listing). Raises phase 3 cause 3 when the header is short or the data
// would run past the end of the stream.
BlockHeader SkipDataBlock(ISeekableFile& stream);

// Reads a block header at the stream's position; false when fewer than 16 bytes came.
bool ReadBlockHeader(ISeekableFile& stream, BlockHeader& header);

// For tests: zlib's allocations succeed nAllowed more times, then fail, as when memory
// runs out inside zlib; a negative count lifts the limit.
void FailZlibAllocationsAfter(int nAllowed);
