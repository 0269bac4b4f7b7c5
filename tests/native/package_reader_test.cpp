// The package reader over hand-built packages: what it accepts, and every rejection with
// its phase and cause.
#include "format/package_memory_file.h"
#include "format/package_reader.h"
#include "format/plain_file.h"
#include "tests/native/package_hand_built.h"

#include <gtest/gtest.h>

namespace {

HandPackage SamplePackage()
{
    HandPackage package;
    package.vecDirectories = {{5, "Data\\Images"}, {1, "\\Fonts\\"}};
    package.vecFiles.push_back(HandFile{5, Screensaver | Vital, "", "aurora.scr", TextBytes(70000)});
    package.vecFiles.push_back(HandFile{5, Config, "Data", "aurora.ini", TextBytes(100)});
    package.vecFiles.push_back(HandFile{2, Shared, "", "empty.dll", Bytes()});
    return package;
}

SetupHeader HeaderOf(const Bytes& image)
{
    CMemoryFile file(image.data(), image.size());
    return ReadSetupHeader(file, "user.spd");
}

// Reads a whole image the way the setup does and returns the files' data.
std::vector<Bytes> ReadEverything(const Bytes& image, std::optional<std::vector<DirectoryEntry>>* pDirectories = nullptr)
{
    CMemoryFile file(image.data(), image.size());
    SetupHeader header = ReadSetupHeader(file, "user.spd");
    CPackageReader reader(file, header);
    reader.VerifyStream();
    auto directories = reader.ReadDirectoryTable();
    if (pDirectories != nullptr)
        *pDirectories = directories;
    reader.BeginFileSection();
    std::vector<Bytes> vecData;
    FileRecord record;
    while (reader.ReadNextFileEntry(record)) {
        CCollectSink sink;
        reader.InflateDataBlock(&sink);
        vecData.push_back(sink.m_bytes);
    }
    return vecData;
}

TEST(PackageReaderAccepts, HandBuiltPackage)
{
    HandPackage package = SamplePackage();
    Bytes image = package.Build();
    CMemoryFile file(image.data(), image.size());
    SetupHeader header = ReadSetupHeader(file, "user.spd");
    EXPECT_EQ(FieldText(header.packageName), "Aurora");
    EXPECT_EQ(FieldText(header.defaultFolder), "Lumidrop");
    CPackageReader reader(file, header);
    reader.VerifyStream();
    auto directories = reader.ReadDirectoryTable();
    ASSERT_TRUE(directories.has_value());
    ASSERT_EQ(directories->size(), 2u);
    EXPECT_EQ((*directories)[0].root, 5);
    EXPECT_EQ((*directories)[0].strPath, "Data\\Images");
    EXPECT_EQ(TrimDirectoryPath((*directories)[1].strPath), "Fonts");
    reader.BeginFileSection();
    EXPECT_EQ(reader.GetFilesLeft(), 3u);
    FileRecord record;
    for (std::size_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(reader.ReadNextFileEntry(record));
        // The stream is left exactly at the data block header.
        EXPECT_EQ(file.GetPosition(), package.vecDataAt[i]);
        EXPECT_EQ(FieldText(record.fileName), package.vecFiles[i].strName);
        EXPECT_EQ(FieldText(record.folder), package.vecFiles[i].strFolder);
        EXPECT_EQ(record.flags, package.vecFiles[i].flags);
        EXPECT_EQ(record.root, package.vecFiles[i].root);
        CCollectSink sink;
        BlockHeader block = reader.InflateDataBlock(&sink);
        EXPECT_EQ(sink.m_bytes, package.vecFiles[i].data);
        EXPECT_EQ(block.unpackedSize, package.vecFiles[i].data.size());
    }
    EXPECT_FALSE(reader.ReadNextFileEntry(record));
}

TEST(PackageReaderAccepts, AbsentDirectoryBlockForEachZeroField)
{
    for (std::size_t nField : {4u, 8u, 12u}) {
        HandPackage package = SamplePackage();
        Bytes image = package.Build();
        // Zero one of checksum, storedSize, unpackedSize of the directory block.
        PutLe32(image, 192 + nField, 0);
        HandPackage::FixSums(image);
        std::optional<std::vector<DirectoryEntry>> directories;
        std::vector<Bytes> vecData = ReadEverything(image, &directories);
        EXPECT_FALSE(directories.has_value()) << nField;
        ASSERT_EQ(vecData.size(), 3u);
        EXPECT_EQ(vecData[0], package.vecFiles[0].data);
    }
}

TEST(PackageReaderAccepts, ReservedBytesAndJunkAfterTerminators)
{
    HandPackage package = SamplePackage();
    Bytes image = package.Build();
    for (std::size_t i : {5u, 6u, 7u, 8u, 9u, 10u, 11u, 24u, 28u, 31u})
        image[i] = 0xA5;
    image[46 + 7] = 'Z'; // after "Aurora\0"
    image[14] = 0x77;    // padding
    EXPECT_EQ(ReadEverything(image).size(), 3u);
    EXPECT_EQ(FieldText(HeaderOf(image).packageName), "Aurora");
}

TEST(PackageReaderAccepts, ZeroLengthFileAndBytesAfterTheZlibStream)
{
    // A few bytes after the zlib stream, and more than one inflater chunk of them, which
    // the reader must skip without reading to find the next entry.
    for (std::size_t nSlack : {std::size_t(3), kInflateChunkSize + 1000}) {
        SCOPED_TRACE(nSlack);
        HandPackage package;
        package.vecFiles.push_back(HandFile{5, 0, "", "empty", Bytes()});
        package.vecFiles.push_back(HandFile{5, 0, "", "tail", TextBytes(1000)});
        package.vecFiles.push_back(HandFile{5, 0, "", "next", TextBytes(50)});
        Bytes image = package.Build();
        std::size_t nAt = package.vecDataAt[1];
        std::size_t nEnd = nAt + 16 + GetLe32(image, nAt + 8);
        PutLe32(image, nAt + 8, static_cast<std::uint32_t>(GetLe32(image, nAt + 8) + nSlack));
        image.insert(image.begin() + static_cast<std::ptrdiff_t>(nEnd), nSlack, 0xA5);
        HandPackage::FixSums(image);
        std::vector<Bytes> vecData;
        ExpectNoSetupFailure([&] { vecData = ReadEverything(image); });
        ASSERT_EQ(vecData.size(), 3u);
        EXPECT_TRUE(vecData[0].empty());
        EXPECT_EQ(vecData[1], TextBytes(1000));
        EXPECT_EQ(vecData[2], TextBytes(50));
    }
}

TEST(PackageReaderHeader, Phase1Rejections)
{
    Bytes good = SamplePackage().Build();
    CPlainFile missing;
    ExpectSetupFailure(1, 2, [&] { ReadSetupHeader(missing, "/nonexistent/lumidrop/user.spd"); });
    Bytes shortImage(good.begin(), good.begin() + 191);
    ExpectSetupFailure(1, 3, [&] { HeaderOf(shortImage); });

    auto reject = [&](std::size_t nAt, std::uint32_t nValue, int nWidth, unsigned nCause) {
        Bytes image = good;
        if (nWidth == 1)
            image[nAt] = static_cast<unsigned char>(nValue);
        else if (nWidth == 2)
            PutLe16(image, nAt, static_cast<std::uint16_t>(nValue));
        else
            PutLe32(image, nAt, nValue);
        ExpectSetupFailure(1, nCause, [&] { HeaderOf(image); });
    };
    reject(4, 15, 1, 2);          // version
    reject(0, 0x55544554, 4, 2);  // magic "TETU"
    reject(32, 0, 4, 2);          // directoryOffset
    reject(40, 0, 4, 2);          // fileSectionOffset
    reject(44, 0, 2, 2);          // fileCount
}

TEST(PackageReaderHeader, DirectoryOffsetIsOnlyCheckedForZero)
{
    Bytes image = SamplePackage().Build();
    PutLe32(image, 32, 12345);
    EXPECT_EQ(ReadEverything(image).size(), 3u);
}

TEST(PackageReaderHeader, WrongTotalSizeWithVolumeCountZeroVersusOne)
{
    HandPackage package = SamplePackage();
    package.nVolumeCount = 0;
    Bytes image = package.Build();
    EXPECT_NO_THROW(HeaderOf(image));
    PutLe32(image, 20, static_cast<std::uint32_t>(image.size() + 1));
    ExpectSetupFailure(1, 2, [&] { HeaderOf(image); });

    PutLe16(image, 12, 1);
    SetupHeader header = HeaderOf(image); // not compared yet
    CMemoryFile file(image.data(), image.size());
    CPackageReader reader(file, header);
    ExpectSetupFailure(1, 3, [&] { reader.VerifyStream(); });
}

TEST(PackageReaderHeader, WrongDataChecksumIsDamaged)
{
    Bytes image = SamplePackage().Build();
    image.back() ^= 0x01;
    SetupHeader header = HeaderOf(image);
    CMemoryFile file(image.data(), image.size());
    CPackageReader reader(file, header);
    ExpectSetupFailure(1, 3, [&] { reader.VerifyStream(); });
}

class PackageReaderVolume : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_header = HeaderOf(SamplePackage().Build());
        m_volume.assign(kVolumeHeaderSize, 0);
        VolumeHeader volume;
        volume.volumeIndex = 2;
        std::memcpy(volume.packageName, m_header.packageName, kNameFieldSize);
        std::memcpy(volume.packageId, m_header.packageId, kPackageIdSize);
        EncodeVolumeHeader(volume, m_volume.data());
        m_volume.resize(200, 0x33); // the next part of the stream follows
    }
    VolumeCheck Check(const Bytes& bytes, unsigned nVolume = 2)
    {
        CMemoryFile file(bytes.data(), bytes.size());
        std::string strReason;
        VolumeCheck result = CheckVolume(file, m_header, nVolume, &strReason);
        EXPECT_EQ(strReason.empty(), result == VolumeCheck::Accepted);
        return result;
    }
    SetupHeader m_header;
    Bytes m_volume;
};

TEST_F(PackageReaderVolume, AcceptedUnreadableAndForeign)
{
    EXPECT_EQ(Check(m_volume), VolumeCheck::Accepted);
    EXPECT_EQ(Check(Bytes(m_volume.begin(), m_volume.begin() + 87)), VolumeCheck::Unreadable);
    Bytes bytes = m_volume;
    bytes[3] = 'X';
    EXPECT_EQ(Check(bytes), VolumeCheck::Unreadable);
    bytes = m_volume;
    bytes[4] = 17;
    EXPECT_EQ(Check(bytes), VolumeCheck::Unreadable);
    EXPECT_EQ(Check(m_volume, 3), VolumeCheck::Foreign);
    bytes = m_volume;
    bytes[72 + 15] ^= 1;
    EXPECT_EQ(Check(bytes), VolumeCheck::Foreign);
    bytes = m_volume;
    bytes[8] = 'a'; // "aurora": differs only in case
    EXPECT_EQ(Check(bytes), VolumeCheck::Foreign);
    bytes = m_volume;
    bytes[8 + 10] = 'Q'; // junk after the terminator does not count
    bytes[5] = 0x44;     // padding
    EXPECT_EQ(Check(bytes), VolumeCheck::Accepted);
}

TEST(PackageReaderDirectory, Phase2Rejections)
{
    auto expectDamaged = [](HandPackage package, unsigned nCause, const std::function<void(Bytes&)>& edit = nullptr) {
        Bytes image = package.Build();
        if (edit) {
            edit(image);
            HandPackage::FixSums(image);
        }
        CMemoryFile file(image.data(), image.size());
        SetupHeader header = ReadSetupHeader(file, "user.spd");
        CPackageReader reader(file, header);
        reader.VerifyStream();
        ExpectSetupFailure(2, nCause, [&] { reader.ReadDirectoryTable(); });
    };
    HandPackage package = SamplePackage();
    for (std::uint8_t root : {0, 6}) {
        HandPackage bad = package;
        bad.vecDirectories[1].first = root;
        expectDamaged(bad, 3);
    }
    HandPackage badSizes = package;
    badSizes.editTable = [](Bytes& table) { PutLe32(table, 274 + 8, 257); };
    expectDamaged(badSizes, 3);
    HandPackage tooLarge = package;
    tooLarge.editTable = [](Bytes& table) {
        PutLe32(table, 8, 275);
        PutLe32(table, 12, 275);
    };
    expectDamaged(tooLarge, 3);
    HandPackage badEntrySum = package;
    badEntrySum.editTable = [](Bytes& table) { table[16 + 100] = 'x'; };
    expectDamaged(badEntrySum, 3);
    // A sound block that inflates short of directoryCount entries: one whole entry, then
    // one and a part.
    for (std::size_t nKept : {kDirectoryEntrySize, kDirectoryEntrySize + 100}) {
        HandPackage cut = package;
        cut.editTable = [nKept](Bytes& table) { table.resize(nKept); };
        expectDamaged(cut, 3, [](Bytes& image) { PutLe32(image, 204, 2 * kDirectoryEntrySize); });
    }

    // Block-level faults.
    expectDamaged(package, 3, [](Bytes& image) { PutLe32(image, 196, GetLe32(image, 196) ^ 1); }); // checksum
    expectDamaged(package, 3, [](Bytes& image) { PutLe32(image, 200, 0xFFFFFF00u); });             // storedSize
    expectDamaged(package, 3, [](Bytes& image) { PutLe32(image, 204, 0xFFFFFFFFu); });             // unpackedSize
    expectDamaged(package, 3, [](Bytes& image) { PutLe16(image, 36, 3); });                        // directoryCount
    expectDamaged(package, 5, [](Bytes& image) { image[208] = 0x79; });                            // zlib header
    expectDamaged(package, 5, [](Bytes& image) { image[208 + 7 + 300] ^= 0xFF; });                 // zlib trailer sees it
    // Damaged in both ways: the decompression is judged before the entry count.
    expectDamaged(package, 5, [](Bytes& image) {
        image[208] = 0x79;
        PutLe16(image, 36, 3);
    });
}

TEST(PackageReaderDirectory, EntryFaultYieldsToDecompressionFault)
{
    HandPackage package = SamplePackage();
    package.vecDirectories[0].first = 0;
    Bytes image = package.Build();
    std::size_t nStoredEnd = 208 + GetLe32(image, 200);
    image[nStoredEnd - 1] ^= 0xFF; // trailer
    HandPackage::FixSums(image);
    CMemoryFile file(image.data(), image.size());
    CPackageReader reader(file, ReadSetupHeader(file, "user.spd"));
    ExpectSetupFailure(2, 5, [&] { reader.ReadDirectoryTable(); });
}

TEST(PackageReaderDirectory, ShortBlockHeader)
{
    Bytes image = SamplePackage().Build();
    image.resize(200);
    CMemoryFile file(image.data(), image.size());
    SetupHeader header = DecodeSetupHeader(image.data());
    CPackageReader reader(file, header);
    ExpectSetupFailure(2, 3, [&] { reader.ReadDirectoryTable(); });
}

// Damages a built image, then reads up to the failure the test expects in phase 3.
void ExpectFileFailure(HandPackage package, unsigned nCause, const std::function<void(HandPackage&, Bytes&)>& edit,
                       bool bFixSums = true)
{
    Bytes image = package.Build();
    edit(package, image);
    if (bFixSums)
        HandPackage::FixSums(image);
    CMemoryFile file(image.data(), image.size());
    SetupHeader header = DecodeSetupHeader(image.data());
    CPackageReader reader(file, header);
    ExpectSetupFailure(3, nCause, [&] {
        reader.BeginFileSection();
        FileRecord record;
        while (reader.ReadNextFileEntry(record))
            reader.InflateDataBlock(nullptr);
    });
}

// Lets zlib's allocations fail for one test step, as when memory runs out inside zlib.
class CZlibAllocationLimit {
public:
    explicit CZlibAllocationLimit(int nAllowed) { FailZlibAllocationsAfter(nAllowed); }
    CZlibAllocationLimit(const CZlibAllocationLimit&) = delete;
    CZlibAllocationLimit& operator=(const CZlibAllocationLimit&) = delete;
    ~CZlibAllocationLimit() { FailZlibAllocationsAfter(-1); }
};

// zlib's own lack of memory is a zlib error like any other: decompression failed (cause 5);
// cause 4 is for the buffers the program itself cannot get.
TEST(PackageReaderMemory, ZlibOutOfMemoryIsADecompressionFailure)
{
    Bytes image = SamplePackage().Build();
    {
        CZlibAllocationLimit limit(0);
        CMemoryFile file(image.data(), image.size());
        CPackageReader reader(file, ReadSetupHeader(file, "user.spd"));
        ExpectSetupFailure(2, 5, [&] { reader.ReadDirectoryTable(); });
    }
    HandPackage noTable = SamplePackage();
    noTable.vecDirectories.clear();
    {
        CZlibAllocationLimit limit(0);
        ExpectFileFailure(noTable, 5, [](HandPackage&, Bytes&) {}, false);
    }
    HandPackage built = SamplePackage();
    Bytes sample = built.Build();
    CMemoryFile file(sample.data(), sample.size());
    file.Seek(built.vecDataAt[0]);
    CZlibAllocationLimit limit(0);
    CBlockInflater inflater;
    ExpectSetupFailure(3, 5, [&] { inflater.InflateDataBlock(file, nullptr); });
}

TEST(PackageReaderFiles, SectionAndRecordRejections)
{
    HandPackage package = SamplePackage();
    ExpectFileFailure(package, 3, [](HandPackage& p, Bytes& image) { image[p.nSectionAt + 4] ^= 1; }, false);
    ExpectFileFailure(package, 3, [](HandPackage& p, Bytes& image) { image.resize(p.nSectionAt + 10); }, false);
    ExpectFileFailure(package, 3, [](HandPackage& p, Bytes& image) { image.resize(p.vecRecordAt[1] + 8); });
    ExpectFileFailure(package, 3, [](HandPackage& p, Bytes& image) { PutLe32(image, p.vecRecordAt[0] + 12, 0); });
    ExpectFileFailure(package, 3, [](HandPackage& p, Bytes& image) { PutLe32(image, p.vecRecordAt[0] + 8, 0); });
    ExpectFileFailure(package, 3, [](HandPackage& p, Bytes& image) { PutLe32(image, p.vecRecordAt[0] + 12, 519); });
    ExpectFileFailure(package, 3, [](HandPackage& p, Bytes& image) { PutLe32(image, p.vecRecordAt[1] + 8, 0xFFFFFFF0u); });
    ExpectFileFailure(package, 3, [](HandPackage& p, Bytes& image) { PutLe32(image, p.vecRecordAt[0] + 4, 1); });
    ExpectFileFailure(package, 5, [](HandPackage& p, Bytes& image) { image[p.vecRecordAt[0] + 16] = 0x00; });
}

TEST(PackageReaderFiles, DataBlockRejections)
{
    HandPackage package = SamplePackage();
    auto dataAt = [](HandPackage& p, std::size_t i) { return p.vecDataAt[i]; };
    // Past the end of the stream, or cut short: damaged.
    ExpectFileFailure(package, 3, [&](HandPackage& p, Bytes& image) { PutLe32(image, dataAt(p, 0) + 8, 0x7FFFFFFFu); });
    ExpectFileFailure(package, 3, [&](HandPackage& p, Bytes& image) { image.resize(dataAt(p, 2) + 5); });
    // Wrong length, checksum or zlib data: decompression failed.
    ExpectFileFailure(package, 5, [&](HandPackage& p, Bytes& image) { PutLe32(image, dataAt(p, 0) + 12, 69999); });
    ExpectFileFailure(package, 5, [&](HandPackage& p, Bytes& image) { PutLe32(image, dataAt(p, 0) + 12, 70001); });
    ExpectFileFailure(package, 5, [&](HandPackage& p, Bytes& image) { PutLe32(image, dataAt(p, 1) + 4, 7); });
    ExpectFileFailure(package, 5, [&](HandPackage& p, Bytes& image) { image[dataAt(p, 0) + 16 + 1] = 0x02; });
    ExpectFileFailure(package, 5, [&](HandPackage& p, Bytes& image) {
        std::size_t nEnd = dataAt(p, 0) + 16 + GetLe32(image, dataAt(p, 0) + 8);
        image[nEnd - 1] ^= 0x40; // the zlib trailer alone is damaged
    });
    // Every byte of the data and its checksum, but the zlib stream never ends: its only
    // block is not marked final and the trailer is missing.
    ExpectFileFailure(package, 5, [&](HandPackage& p, Bytes& image) {
        std::size_t nAt = dataAt(p, 1);
        std::size_t nEnd = nAt + 16 + GetLe32(image, nAt + 8);
        image[nAt + 16 + 2] = 0x00;
        image.erase(image.begin() + static_cast<std::ptrdiff_t>(nEnd - 4), image.begin() + static_cast<std::ptrdiff_t>(nEnd));
        PutLe32(image, nAt + 8, GetLe32(image, nAt + 8) - 4);
    });
    // An empty file must carry checksum 1.
    ExpectFileFailure(package, 5, [&](HandPackage& p, Bytes& image) { PutLe32(image, dataAt(p, 2) + 4, 0); });
}

// Counts what it is given and keeps none of it.
class CCountSink : public IByteSink {
public:
    void Write(const unsigned char*, std::size_t nCount) override { m_nCount += nCount; }
    std::uint64_t m_nCount = 0;
};

TEST(PackageReaderFiles, OutputBeyondUnpackedSizeStopsEarly)
{
    // 8 MiB of zeros claims to be fewer bytes: inside the first inflater chunk, after
    // several whole chunks, and a few bytes into a chunk. Inflating must stop before the
    // sink gets more than the claim.
    Bytes zeros(8u << 20, 0);
    uLongf nSize = compressBound(static_cast<uLong>(zeros.size()));
    Bytes stored(nSize);
    ASSERT_EQ(compress(stored.data(), &nSize, zeros.data(), static_cast<uLong>(zeros.size())), Z_OK);
    stored.resize(nSize);
    const std::uint32_t nChunk = static_cast<std::uint32_t>(kInflateChunkSize);
    for (std::uint32_t nClaim : {10u, 4 * nChunk, 4 * nChunk + 1000}) {
        SCOPED_TRACE(nClaim);
        Bytes image;
        HandPackage::AppendBlockHeader(image, 1, static_cast<std::uint32_t>(stored.size()), nClaim);
        image.insert(image.end(), stored.begin(), stored.end());
        CMemoryFile file(image.data(), image.size());
        CBlockInflater inflater;
        CCountSink sink;
        ExpectSetupFailure(3, 5, [&] { inflater.InflateDataBlock(file, &sink); });
        EXPECT_LE(sink.m_nCount, nClaim);
    }
}

TEST(PackageReaderUninstaller, ReadsAndRejects)
{
    CTempFolder folder;
    Bytes program = TextBytes(5000);
    Bytes stored = StoredZlib(program);
    Bytes good(12, 0);
    PutLe32(good, 0, 0x12343210);
    PutLe32(good, 4, AdlerOf(program));
    PutLe32(good, 8, static_cast<std::uint32_t>(program.size()));
    good.insert(good.end(), stored.begin(), stored.end());
    std::string strPath = folder.File("_setup.spd");
    WriteAll(strPath, good);
    CPlainFile file;
    EXPECT_EQ(ReadUninstaller(file, strPath), program);
    // A larger unpackedSize is only an upper bound: the checksum decides.
    Bytes larger = good;
    PutLe32(larger, 8, 6000);
    WriteAll(strPath, larger);
    EXPECT_EQ(ReadUninstaller(file, strPath), program);

    ExpectSetupFailure(4, 2, [&] { ReadUninstaller(file, folder.File("missing.spd")); });
    auto reject = [&](const std::function<void(Bytes&)>& edit) {
        Bytes bytes = good;
        edit(bytes);
        WriteAll(strPath, bytes);
        ExpectSetupFailure(4, 3, [&] { ReadUninstaller(file, strPath); });
    };
    reject([](Bytes& b) { b.resize(10); });
    reject([](Bytes& b) { b[0] = 0x11; });
    reject([](Bytes& b) { PutLe32(b, 8, 0); });
    reject([](Bytes& b) { PutLe32(b, 8, 0xFFFFFFFFu); }); // refused before anything is allocated
    reject([](Bytes& b) { PutLe32(b, 8, 4999); });        // more output than it claims
    reject([](Bytes& b) { PutLe32(b, 4, 1); });
    reject([](Bytes& b) { b[12] = 0x77; });
    reject([](Bytes& b) { b.resize(b.size() - 3); });
    // Out of memory inside zlib: damaged, like any other zlib error here.
    WriteAll(strPath, good);
    CZlibAllocationLimit limit(0);
    ExpectSetupFailure(4, 3, [&] { ReadUninstaller(file, strPath); });
}

} // namespace
