// Decompressing one file of the package into a temporary file of its own, checked for
// length and Adler-32 before anything is placed.
#pragma once

#include "format/seekable_file.h"

#include <memory>
#include <string>
#include <vector>

class CSetupThreadLink;
struct z_stream_s;

// The two 262144-byte buffers and the zlib state, made once and used for every file of a
// run: made again for each file, they cost more than a small file's own data. Raises
// phase 3: cause 4 without memory, cause 5 when zlib cannot start.
class CFileExtractor {
public:
    CFileExtractor();
    ~CFileExtractor();
    CFileExtractor(const CFileExtractor&) = delete;
    CFileExtractor& operator=(const CFileExtractor&) = delete;

    // ExtractFile below, with this extractor's buffers and state.
    std::string Extract(ISeekableFile& stream, const std::string& strTempFolder, CSetupThreadLink& link,
                        std::vector<std::string>& tempFiles);

private:
    std::vector<unsigned char> m_vecInput;
    std::vector<unsigned char> m_vecOutput;
    std::unique_ptr<z_stream_s> m_pStream; // zlib's, kept out of this header
};

// Reads the data block at the stream's position (right after the FileRecord's block)
// and inflates it, 262144 bytes at a time, into a new temporary file in strTempFolder
// (added to tempFiles). Leaves the stream right after the block, trailing bytes inside
// its storedSize read too. Returns the file's path; the file is closed. Raises phase 3:
// cause 3 when the block header or its data is cut short, cause 4 without memory,
// cause 5 when the zlib stream does not end properly or the length or checksum is
// wrong, cause 2 when no temporary file can be created; a failed write raises
// CFileException. A cancel check comes before every name drawn, and a point where the
// thread may be held before every chunk read.
std::string ExtractFile(ISeekableFile& stream, const std::string& strTempFolder, CSetupThreadLink& link,
                        std::vector<std::string>& tempFiles);
