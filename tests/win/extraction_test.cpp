// Extracting one file's data block into a temporary file: whole packages, hand-made
// blocks that are damaged in each way the checks must catch, names drawn in one second,
// a folder that takes no new files, and where the thread may be held.
#include "app/setup_thread_link.h"
#include "engine/file_extraction.h"
#include "engine/file_helpers.h"
#include "format/package_memory_file.h"
#include "format/package_reader.h"
#include "format/package_writer.h"
#include "format/plain_file.h"
#include "engine/setup_file_copies.h"
#include "engine/setup_package_stream.h"
#include "engine/temp_file_names.h"
#include "engine/volume_search.h"
#include "tests/native/package_test_support.h"
#include "tests/win/hold_counter.h"
#include "tests/win/spanned_package.h"

#include <windows.h>

#include <cstdlib>
#include <ctime>
#include <functional>

namespace {
// A data block as the package stores it, followed by bytes of the next entry.
struct HandBlock {
    BlockHeader header;
    Bytes zlib;
};

const Bytes kNextEntry = {'N', 'E', 'X', 'T'};

HandBlock BlockOf(const Bytes& content)
{
    uLongf nSize = compressBound(static_cast<uLong>(content.size()));
    Bytes zlib(nSize);
    EXPECT_EQ(compress(zlib.data(), &nSize, content.data(), static_cast<uLong>(content.size())), Z_OK);
    zlib.resize(nSize);
    HandBlock block;
    block.header.checksum = AdlerOf(content);
    block.header.storedSize = static_cast<std::uint32_t>(zlib.size());
    block.header.unpackedSize = static_cast<std::uint32_t>(content.size());
    block.zlib = zlib;
    return block;
}

Bytes StreamOf(const HandBlock& block)
{
    Bytes bytes(kBlockHeaderSize);
    EncodeBlockHeader(block.header, bytes.data());
    bytes.insert(bytes.end(), block.zlib.begin(), block.zlib.end());
    bytes.insert(bytes.end(), kNextEntry.begin(), kNextEntry.end());
    return bytes;
}
} // namespace

class Extraction : public CSpannedPackageTest {
protected:
    // One extractor for every file of a test, as for every file of a run: each file
    // starts from whatever state the one before left, damaged or not.
    std::string Extract(ISeekableFile& stream) { return m_extractor.Extract(stream, m_strTempFolder, m_link, tempFiles); }

    CFileExtractor m_extractor;
};

namespace {
std::time_t g_nClockNow = 0;
std::time_t StandingClock()
{
    return g_nClockNow;
}
} // namespace

TEST_F(Extraction, EveryFileOfAPackageComesOutWhole)
{
    PackageContents contents;
    contents.strName = "Aurora";
    // Many output buffers; several input chunks; no stream at all.
    for (const Bytes& content : {TextBytes(2000000), RandomBytes(700000, 3), Bytes()}) {
        PackageFileEntry file;
        file.strFileName = "file" + std::to_string(contents.vecFiles.size());
        file.content = content;
        contents.vecFiles.push_back(file);
    }
    const PackageWriteResult written = WritePackage(contents, m_strSetupFolder);
    CPlainFile stream;
    ASSERT_TRUE(stream.Open(written.vecVolumePaths[0]));
    CPackageReader reader(stream, written.header);
    reader.BeginFileSectionUnchecked();
    FileRecord record;
    for (const PackageFileEntry& file : contents.vecFiles) {
        SCOPED_TRACE(file.strFileName);
        ASSERT_TRUE(reader.ReadNextFileEntry(record));
        const std::string strPath = Extract(stream);
        EXPECT_EQ(strPath, tempFiles.back());
        EXPECT_EQ(ReadAll(strPath), *file.content);
    }
    EXPECT_FALSE(reader.ReadNextFileEntry(record)) << "the stream is left right after each block";
}

TEST_F(Extraction, FileOfAJoinedSpannedPackageComesOutWhole)
{
    WriteSpanned(1200000);
    MoveVolume(1, Folder("Disk 2"));
    MoveVolume(2, Folder("Disk 3"));
    CScriptedDiskPrompt prompt;
    volumeCopies.push_back(CopyIntoTempFolder(m_written.vecVolumePaths[0], m_strTempFolder, tempFiles));
    CVolumeSearch search(m_written.header, m_strSetupFolder, prompt);
    GatherVolumes(search, m_written.header.volumeCount, m_strTempFolder, m_link, tempFiles, volumeCopies);
    std::unique_ptr<CPlainFile> pStream = BuildPackageStream(volumeCopies, m_strTempFolder, m_link, tempFiles);
    CPackageReader reader(*pStream, m_written.header);
    reader.VerifyStream();
    reader.BeginFileSection();
    FileRecord record;
    ASSERT_TRUE(reader.ReadNextFileEntry(record));
    EXPECT_EQ(ReadAll(Extract(*pStream)), *m_contents.vecFiles[0].content);
}

TEST_F(Extraction, DamagedBlocksAreRefusedWithTheirCause)
{
    const Bytes content = TextBytes(600000);
    struct Case {
        const char* pszWhat;
        std::function<void(HandBlock&)> change;
        unsigned nCause; // 0: accepted
    };
    const Case kCases[] = {
        {"sound block", [](HandBlock&) {}, 0},
        {"bytes after the end of the zlib stream, over two further chunks",
         [](HandBlock& b) {
             b.zlib.insert(b.zlib.end(), 2 * kInflateChunkSize, 0xA5);
             b.header.storedSize += 2 * kInflateChunkSize;
         },
         0},
        {"data ending early",
         [](HandBlock& b) {
             b.zlib.resize(b.zlib.size() / 2);
             b.header.storedSize = static_cast<std::uint32_t>(b.zlib.size());
         },
         5},
        {"trailer cut off",
         [](HandBlock& b) {
             b.zlib.resize(b.zlib.size() - 2);
             b.header.storedSize = static_cast<std::uint32_t>(b.zlib.size());
         },
         5},
        {"trailer damaged", [](HandBlock& b) { b.zlib.back() ^= 0x01; }, 5},
        {"corrupt data", [](HandBlock& b) { b.zlib[b.zlib.size() / 2] ^= 0xFF; }, 5},
        {"length one more", [](HandBlock& b) { ++b.header.unpackedSize; }, 5},
        {"length a buffer and more short", [](HandBlock& b) { b.header.unpackedSize -= 300000; }, 5},
        {"checksum wrong", [](HandBlock& b) { b.header.checksum ^= 1; }, 5},
        {"stored data past the end", [](HandBlock& b) { b.header.storedSize += 100; }, 3},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.pszWhat);
        HandBlock block = BlockOf(content);
        c.change(block);
        CMemoryFile stream(StreamOf(block));
        tempFiles.clear();
        if (c.nCause != 0) {
            ExpectSetupFailure(3, c.nCause, [&] { Extract(stream); });
            ASSERT_EQ(tempFiles.size(), 1u);
            EXPECT_TRUE(DeleteFileA(tempFiles[0].c_str())) << "left closed for the clean-up";
            continue;
        }
        EXPECT_EQ(ReadAll(Extract(stream)), content);
        Bytes next(kNextEntry.size());
        EXPECT_EQ(stream.Read(next.data(), next.size()), next.size());
        EXPECT_EQ(next, kNextEntry);
    }
}

TEST_F(Extraction, ShortBlockHeaderIsDamageBeforeAnyFileIsMade)
{
    CMemoryFile stream(Bytes(kBlockHeaderSize - 1, 0));
    ExpectSetupFailure(3, 3, [&] { Extract(stream); });
    EXPECT_TRUE(tempFiles.empty());
}

TEST_F(Extraction, NamesOfOneSecondGoOnInOneSequenceAndANewSecondSeedsAgain)
{
    constexpr unsigned kFiles = 300;
    CTempNameSeed seed(StandingClock);
    for (const std::time_t nSecond : {std::time_t{1000000007}, std::time_t{1000000008}}) {
        SCOPED_TRACE(nSecond);
        std::srand(static_cast<unsigned>(nSecond));
        std::vector<std::string> vecExpected(kFiles);
        for (std::string& strName : vecExpected) {
            MakeRandomName(strName, 8);
            strName = m_strTempFolder + strName + ".tmp";
        }
        g_nClockNow = nSecond;
        unsigned nDraws = 0;
        for (unsigned n = 0; n < kFiles; ++n) {
            CPlainFile file;
            ASSERT_EQ(CreateTempFile(file, m_strTempFolder, 3, [&] { ++nDraws; }, tempFiles, seed), vecExpected[n]);
        }
        EXPECT_EQ(nDraws, kFiles) << "each name drawn once";
    }
}

TEST_F(Extraction, FolderRefusingNewFilesEndsAfterBoundedAttemptsWithACheckEach)
{
    CMemoryFile stream(StreamOf(BlockOf(TextBytes(1000))));
    const std::string strRefusing = m_root.File("missing") + "\\";
    ExpectSetupFailure(3, 2, [&] { ExtractFile(stream, strRefusing, m_link, tempFiles); });
    EXPECT_EQ(m_link.m_nCancelChecks, kMaxTempNameAttempts);
    EXPECT_TRUE(tempFiles.empty());
}

TEST_F(Extraction, ThreadMayBeHeldBeforeEveryChunkOfALargeFileAndTheNameOnly)
{
    const HandBlock block = BlockOf(RandomBytes(5 * kInflateChunkSize / 2, 4));
    const std::uint32_t nChunks = (block.header.storedSize + kInflateChunkSize - 1) / kInflateChunkSize;
    ASSERT_GE(nChunks, 3u);
    CMemoryFile stream(StreamOf(block));
    std::string strPath;
    unsigned nStops = 0;
    {
        CHoldCounter holds(m_link);
        strPath = Extract(stream);
        nStops = holds.Stops();
    }
    EXPECT_EQ(nStops, 1 + nChunks) << "at the name's cancel check, then at each chunk";
    EXPECT_EQ(m_link.m_nCancelChecks, 1u) << "the chunks' holds are no cancel checks";
    EXPECT_EQ(ReadAll(strPath), RandomBytes(5 * kInflateChunkSize / 2, 4));
}

TEST_F(Extraction, SecondOfTheNamesIsTheOneTimeGives)
{
    // Retried should the clock tick in between.
    for (int nTry = 0; nTry < 5; ++nTry) {
        const std::time_t nBefore = std::time(nullptr);
        const std::time_t nSecond = CTempNameSeed::CurrentSecond();
        if (std::time(nullptr) == nBefore) {
            EXPECT_EQ(nSecond, nBefore);
            return;
        }
    }
    FAIL() << "the clock ticked during every try";
}
