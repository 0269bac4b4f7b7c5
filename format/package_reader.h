// Reading a setup package with every check, each failure raised as a CSetupException
// (a CPackageException that also tells what and where) with its phase and cause:
//   phase 1  setup header, volumes, the whole stream
//   phase 2  directory table
//   phase 3  file section, file entries, data blocks
//   phase 4  the uninstaller in _setup.spd
// Memory stays bounded: sizes read from a package are checked against what the stream
// holds before they are trusted, and every block is inflated in fixed buffers.
#pragma once

#include "format/package_checksums.h"
#include "format/package_data_block.h"
#include "format/package_exception.h"
#include "format/package_records.h"
#include "format/seekable_file.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// Opens strPath with file, reads and checks the setup header, and closes the file again.
// Phase 1: cause 2 when the file cannot be opened or the header is not one of ours (or,
// with volumeCount 0, the file's length is not totalSize); cause 3 when it is short.
SetupHeader ReadSetupHeader(ISeekableFile& file, const std::string& strPath);

enum class VolumeCheck { Accepted, Unreadable, Foreign };

// Reads the VolumeHeader at the start of an open candidate for continuation volume
// nVolume. Unreadable: short, or wrong magic or version. Foreign: wrong index, identifier
// or name (names compare byte for byte). pstrReason, when given, says which.
VolumeCheck CheckVolume(ISeekableFile& file, const SetupHeader& header, unsigned nVolume,
                        std::string* pstrReason = nullptr);

// One entry of the directory table; strPath as stored (see TrimDirectoryPath).
struct DirectoryEntry {
    std::uint8_t root = 0;
    std::string strPath;
};

// The stored path without one leading and one trailing backslash, which mean nothing.
std::string TrimDirectoryPath(const std::string& strPath);

// Reads a joined package stream in the order the setup does: VerifyStream,
// ReadDirectoryTable, BeginFileSection, then ReadNextFileEntry followed by one of the data
// block calls for every file.
class CPackageReader {
public:
    CPackageReader(ISeekableFile& stream, const SetupHeader& header);
    ~CPackageReader();
    CPackageReader(const CPackageReader&) = delete;
    CPackageReader& operator=(const CPackageReader&) = delete;

    // Phase 1, cause 3: the stream's length is not totalSize, or its Adler-32 after the
    // header is not dataChecksum.
    void VerifyStream();

    // The two halves of VerifyStream for a reader that folds the checksums while it reads
    // everything else (CFoldingFile): the length first, the checksums once every byte has
    // been folded. CheckStreamChecksums also hands the file section's checksum on to
    // CheckFileSection.
    void CheckStreamLength();
    void CheckStreamChecksums(const CStreamChecksums& checksums);

    // Phase 2: the (root, path) pairs in stored order, or nothing when the block is absent.
    std::optional<std::vector<DirectoryEntry>> ReadDirectoryTable();

    // Phase 3: reads the file section header and checks the section's Adler-32, leaving
    // the stream at the first file entry.
    void BeginFileSection();

    // Positions the stream at the first file entry without checking the section's
    // checksum: for tools that check it later, or that look for the file a checksum
    // failure hit.
    void BeginFileSectionUnchecked();

    // Phase 3, cause 3: the file section header is cut short, or its checksum is not the
    // Adler-32 of everything after it.
    void CheckFileSection();

    // Phase 3: reads the next FileRecord and leaves the stream at its data block; false
    // once all fileCount entries have been read.
    bool ReadNextFileEntry(FileRecord& record);

    // The data block that follows the entry just read: inflated into pSink (null: only
    // checked), or skipped unread.
    BlockHeader InflateDataBlock(IByteSink* pSink);
    BlockHeader SkipDataBlock();

    unsigned GetFilesLeft() const { return m_nFilesLeft; }
    const SetupHeader& GetHeader() const { return m_header; }
    ISeekableFile& GetStream() { return m_stream; }

private:
    CBlockInflater& Inflater(unsigned nPhase);

    ISeekableFile& m_stream;
    SetupHeader m_header;
    std::unique_ptr<CBlockInflater> m_pInflater;
    unsigned m_nFilesLeft = 0;
    // VerifyStream folds the file section's checksum on its way, so that BeginFileSection
    // need not read the whole stream a second time.
    bool m_bSectionChecksumKnown = false;
    std::uint32_t m_nSectionChecksum = 0;
};

// Opens _setup.spd with file, checks its header and inflates the uninstaller program into
// sink; returns the count of bytes written (possibly below unpackedSize, as long as the
// checksum matches). Phase 4: cause 2 when it cannot be opened, cause 3 when damaged or zlib fails,
// cause 4 when its buffers cannot be had. On failure the sink may already hold part of the program.
std::uint64_t ReadUninstaller(ISeekableFile& file, const std::string& strPath, IByteSink& sink);

// The same, returning the program's bytes.
std::vector<unsigned char> ReadUninstaller(ISeekableFile& file, const std::string& strPath);
