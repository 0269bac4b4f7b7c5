// The package writer: its bytes checked field by field, round trips through the reader,
// volumes, the uninstaller file, identifiers and the packages it refuses to write.
#include "format/package_memory_file.h"
#include "format/package_reader.h"
#include "format/package_volume_stream.h"
#include "format/package_writer.h"
#include "format/plain_file.h"
#include "tests/native/package_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

PackageContents SampleContents()
{
    PackageContents contents;
    contents.strName = "Lumidrop Aurora";
    contents.strDefaultFolder = "Aurora";
    ParsePackageId("{00112233-4455-6677-8899-AABBCCDDEEFF}", contents.packageId);
    contents.vecDirectories = {{Destination, "Data\\Images"}, {Windows, "Fonts"}};
    auto file = [](std::uint8_t root, std::uint8_t flags, const char* pszFolder, const char* pszName, Bytes data) {
        PackageFileEntry entry;
        entry.root = root;
        entry.flags = flags;
        entry.strFolder = pszFolder;
        entry.strFileName = pszName;
        entry.content = std::move(data);
        return entry;
    };
    // Sizes around the 262144-byte buffers, compressible and not.
    contents.vecFiles.push_back(file(Destination, Screensaver | Vital, "", "aurora.scr", RandomBytes(600000, 1)));
    contents.vecFiles.push_back(file(Destination, Config, "Data", "aurora.ini", TextBytes(1000000)));
    contents.vecFiles.push_back(file(System, Shared, "", "empty.dll", Bytes()));
    contents.vecFiles.push_back(file(CommonFiles, 0, "Lumidrop", "exact.bin", RandomBytes(262144, 2)));
    return contents;
}

// Reads the package back through the reader and compares it with what was written.
void ExpectReadsBackUnguarded(ISeekableFile& stream, const SetupHeader& header, const PackageContents& contents)
{
    CPackageReader reader(stream, header);
    reader.VerifyStream();
    auto directories = reader.ReadDirectoryTable();
    ASSERT_EQ(directories.has_value(), !contents.vecDirectories.empty());
    for (std::size_t i = 0; directories && i < contents.vecDirectories.size(); ++i) {
        ASSERT_EQ(directories->size(), contents.vecDirectories.size());
        EXPECT_EQ((*directories)[i].root, contents.vecDirectories[i].root);
        EXPECT_EQ((*directories)[i].strPath, contents.vecDirectories[i].strPath);
    }
    reader.BeginFileSection();
    FileRecord record;
    for (const PackageFileEntry& file : contents.vecFiles) {
        ASSERT_TRUE(reader.ReadNextFileEntry(record));
        EXPECT_EQ(record.root, file.root);
        EXPECT_EQ(record.flags, file.flags);
        EXPECT_EQ(FieldText(record.folder), file.strFolder);
        EXPECT_EQ(FieldText(record.fileName), file.strFileName);
        CCollectSink sink;
        reader.InflateDataBlock(&sink);
        EXPECT_TRUE(sink.m_bytes == *file.content) << file.strFileName;
    }
    EXPECT_FALSE(reader.ReadNextFileEntry(record));
}

// The same, with a refusal of the reader reported as a failure of the test.
void ExpectReadsBack(ISeekableFile& stream, const SetupHeader& header, const PackageContents& contents)
{
    ExpectNoSetupFailure([&] { ExpectReadsBackUnguarded(stream, header, contents); });
}

TEST(PackageWriter, SingleVolumeBytesFieldByField)
{
    CTempFolder folder;
    PackageContents contents = SampleContents();
    PackageWriteResult result = WritePackage(contents, folder.Path().string());
    ASSERT_EQ(result.vecVolumePaths.size(), 1u);
    Bytes image = ReadAll(folder.File("user.spd"));
    ASSERT_GT(image.size(), 1000u);
    EXPECT_EQ(GetLe32(image, 0), 0x55544553u);
    EXPECT_EQ(image[4], 16);
    for (std::size_t i : {5u, 6u, 7u, 8u, 9u, 10u, 11u, 14u, 15u, 24u, 25u, 28u, 31u, 38u, 39u, 110u, 111u})
        EXPECT_EQ(image[i], 0) << "reserved byte " << i;
    EXPECT_EQ(image[12] | (image[13] << 8), 1);
    EXPECT_EQ(GetLe32(image, 20), image.size());
    EXPECT_EQ(GetLe32(image, 16), AdlerOf(image, 192));
    EXPECT_EQ(GetLe32(image, 32), 192u);
    EXPECT_EQ(image[36], 2);
    EXPECT_EQ(image[44], 4);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[46])), "Lumidrop Aurora");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[128])), "Aurora");
    const unsigned char kId[] = {0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66, 0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    EXPECT_EQ(std::memcmp(&image[112], kId, 16), 0);

    // Directory block at 192, then the section header with both sizes the covered length.
    EXPECT_EQ(image[192], 'B');
    EXPECT_EQ(GetLe32(image, 204), 2u * 274u);
    std::size_t nSection = GetLe32(image, 40);
    EXPECT_EQ(nSection, 192u + 16u + GetLe32(image, 200));
    EXPECT_EQ(image[nSection], 'B');
    EXPECT_EQ(GetLe32(image, nSection + 4), AdlerOf(image, nSection + 16));
    EXPECT_EQ(GetLe32(image, nSection + 8), image.size() - nSection - 16);
    EXPECT_EQ(GetLe32(image, nSection + 12), image.size() - nSection - 16);

    // Walk the entries by their sizes alone: record block (520), then data block.
    std::size_t nAt = nSection + 16;
    for (const PackageFileEntry& file : contents.vecFiles) {
        EXPECT_EQ(GetLe32(image, nAt + 12), 520u);
        nAt += 16 + GetLe32(image, nAt + 8);
        EXPECT_EQ(GetLe32(image, nAt + 4), AdlerOf(*file.content));
        EXPECT_EQ(GetLe32(image, nAt + 12), file.content->size());
        if (file.content->empty()) {
            EXPECT_EQ(GetLe32(image, nAt + 8), 0u) << "an empty file is stored without a zlib stream";
        }
        nAt += 16 + GetLe32(image, nAt + 8);
    }
    EXPECT_EQ(nAt, image.size());
}

TEST(PackageWriter, RoundTripSingleVolume)
{
    CTempFolder folder;
    PackageContents contents = SampleContents();
    WritePackage(contents, folder.Path().string());
    CPlainFile file;
    SetupHeader header = ReadSetupHeader(file, folder.File("user.spd"));
    ASSERT_TRUE(file.Open(folder.File("user.spd")));
    ExpectReadsBack(file, header, contents);
}

TEST(PackageWriter, NoDirectoriesWritesAnAbsentBlock)
{
    CTempFolder folder;
    PackageContents contents = SampleContents();
    contents.vecDirectories.clear();
    WritePackage(contents, folder.Path().string());
    Bytes image = ReadAll(folder.File("user.spd"));
    EXPECT_EQ(GetLe32(image, 40), 208u);
    CMemoryFile file(image);
    CPackageReader reader(file, ReadSetupHeader(file, "user.spd"));
    reader.VerifyStream();
    EXPECT_FALSE(reader.ReadDirectoryTable().has_value());
}

TEST(PackageWriter, VolumesJoinToTheSingleVolumeStream)
{
    CTempFolder single;
    CTempFolder split;
    PackageContents contents = SampleContents();
    WritePackage(contents, single.Path().string());
    PackageWriteResult result = WritePackage(contents, split.Path().string(), 300000);
    Bytes image = ReadAll(single.File("user.spd"));
    ASSERT_EQ(result.vecVolumePaths.size(), 3u);
    EXPECT_EQ(result.header.volumeCount, 3);

    Bytes joined = ReadAll(split.File("user.spd"));
    EXPECT_EQ(joined.size(), 300000u);
    for (unsigned k = 1; k < result.vecVolumePaths.size(); ++k) {
        EXPECT_EQ(result.vecVolumePaths[k], split.File(VolumeFileName(k)));
        Bytes volume = ReadAll(result.vecVolumePaths[k]);
        ASSERT_GE(volume.size(), 89u);
        EXPECT_LE(volume.size(), 300000u);
        VolumeHeader header = DecodeVolumeHeader(volume.data());
        EXPECT_EQ(header.volumeIndex, k);
        EXPECT_EQ(FieldText(header.packageName), "Lumidrop Aurora");
        EXPECT_EQ(std::memcmp(header.packageId, contents.packageId, 16), 0);
        joined.insert(joined.end(), volume.begin() + 88, volume.end());
    }
    // Only volumeCount differs between the two streams.
    ASSERT_EQ(joined.size(), image.size());
    EXPECT_EQ(joined[12], 3);
    joined[12] = 1;
    EXPECT_TRUE(joined == image);

    CPackageVolumeStream stream;
    JoinVolumes(stream, result.vecVolumePaths);
    ExpectReadsBack(stream, result.header, contents);
}

TEST(PackageWriter, VolumeOneThousandIsNamedUser1000)
{
    CTempFolder folder;
    PackageContents contents;
    contents.strName = "Many";
    PackageFileEntry file;
    file.strFileName = "noise.bin";
    file.content = RandomBytes(170000, 3);
    contents.vecFiles.push_back(file);
    PackageWriteResult result = WritePackage(contents, folder.Path().string(), 256);
    ASSERT_GT(result.vecVolumePaths.size(), 1000u);
    EXPECT_EQ(result.vecVolumePaths[999], folder.File("user.999"));
    EXPECT_EQ(result.vecVolumePaths[1000], folder.File("user.1000"));
    Bytes volume = ReadAll(folder.File("user.1000"));
    EXPECT_EQ(DecodeVolumeHeader(volume.data()).volumeIndex, 1000);

    CPackageVolumeStream stream;
    JoinVolumes(stream, result.vecVolumePaths);
    ExpectReadsBack(stream, result.header, contents);
}

TEST(PackageWriter, EveryVolumeSizeFromTheSmallestReadsBack)
{
    // Small blocks of every kind, so that as the volume size grows the headers patched at
    // the end fall before, across and after volume boundaries.
    PackageContents contents;
    contents.strName = "Sweep";
    contents.vecDirectories = {{Destination, "Data"}, {System, "Lumidrop"}};
    for (const Bytes& data : {TextBytes(3000), Bytes(), RandomBytes(700, 8), TextBytes(50), RandomBytes(1500, 9)}) {
        PackageFileEntry file;
        file.strFileName = "f" + std::to_string(contents.vecFiles.size()) + ".bin";
        file.content = data;
        contents.vecFiles.push_back(file);
    }
    for (std::uint64_t nSize = kMinVolumeSize; nSize <= 700; ++nSize) {
        SCOPED_TRACE("volume size " + std::to_string(nSize));
        CTempFolder folder;
        PackageWriteResult result = WritePackage(contents, folder.Path().string(), nSize);
        for (const std::string& strPath : result.vecVolumePaths)
            EXPECT_LE(std::filesystem::file_size(strPath), nSize) << strPath;
        CPackageVolumeStream stream;
        JoinVolumes(stream, result.vecVolumePaths);
        ExpectReadsBack(stream, result.header, contents);
        if (HasFailure())
            return; // one size tells the story
    }
}

TEST(PackageWriter, SourceFilesAreReadFromDisk)
{
    CTempFolder folder;
    Bytes data = RandomBytes(300000, 4);
    WriteAll(folder.File("source.bin"), data);
    WriteAll(folder.File("empty.bin"), Bytes());
    PackageContents contents;
    contents.strName = "Disk";
    PackageFileEntry file;
    file.strFileName = "a.bin";
    file.strSourcePath = folder.File("source.bin");
    contents.vecFiles.push_back(file);
    file.strFileName = "b.bin";
    file.strSourcePath = folder.File("empty.bin");
    contents.vecFiles.push_back(file);
    std::filesystem::create_directory(folder.Path() / "out");
    WritePackage(contents, (folder.Path() / "out").string());
    contents.vecFiles[0].content = data;
    contents.vecFiles[1].content = Bytes();
    CPlainFile stream;
    std::string strSpd = (folder.Path() / "out" / "user.spd").string();
    SetupHeader header = ReadSetupHeader(stream, strSpd);
    ASSERT_TRUE(stream.Open(strSpd));
    CPackageReader reader(stream, header);
    reader.VerifyStream();
    EXPECT_FALSE(reader.ReadDirectoryTable().has_value());
    reader.BeginFileSection();
    FileRecord record;
    ASSERT_TRUE(reader.ReadNextFileEntry(record));
    CCollectSink sink;
    reader.InflateDataBlock(&sink);
    EXPECT_TRUE(sink.m_bytes == data);
    ASSERT_TRUE(reader.ReadNextFileEntry(record));
    BlockHeader empty = reader.InflateDataBlock(nullptr);
    EXPECT_EQ(empty.checksum, 1u);
    EXPECT_EQ(empty.storedSize, 0u);
    EXPECT_EQ(empty.unpackedSize, 0u);
}

// Writes the package into a fresh folder and reads it back whole; false when the writer
// refused it.
bool WritesAndReadsBack(const PackageContents& contents, std::uint64_t nVolumeSize)
{
    CTempFolder folder;
    PackageWriteResult result;
    try {
        result = WritePackage(contents, folder.Path().string(), nVolumeSize);
    } catch (const CPackageWriteError&) {
        return false;
    }
    ExpectNoSetupFailure([&] {
        CPlainFile file;
        SetupHeader header = ReadSetupHeader(file, result.vecVolumePaths[0]);
        EXPECT_EQ(header.volumeCount, result.vecVolumePaths.size());
        CPackageVolumeStream stream;
        JoinVolumes(stream, result.vecVolumePaths);
        ExpectReadsBackUnguarded(stream, header, contents);
    });
    return true;
}

// The writer's limits on sizes, counts and texts, each at the last package it writes and
// the first it refuses. Counts are reached with empty files and short paths, which cost
// little. (The count of volumes has a test of its own; the 4 GiB limits would take 4 GiB
// of data to reach.)
TEST(PackageWriter, LimitsHoldAtTheirBoundaries)
{
    struct SLimit {
        const char* pszWhat;
        std::function<void(PackageContents&, std::uint64_t& nVolumeSize, bool bPast)> shape;
    };
    auto text = [](std::size_t nField, bool bPast, char c) { return std::string(nField - 1 + (bPast ? 1 : 0), c); };
    const SLimit kLimits[] = {
        {"volume size", [](PackageContents&, std::uint64_t& nSize, bool bPast) { nSize = kMinVolumeSize - (bPast ? 1 : 0); }},
        {"at least one file", [](PackageContents& c, std::uint64_t&, bool bPast) { c.vecFiles.resize(bPast ? 0 : 1); }},
        {"file count",
         [](PackageContents& c, std::uint64_t&, bool bPast) { c.vecFiles.resize(0xFFFF + (bPast ? 1 : 0), c.vecFiles[0]); }},
        {"directory count",
         [](PackageContents& c, std::uint64_t&, bool bPast) {
             c.vecDirectories.resize(0xFFFF + (bPast ? 1 : 0), PackageDirectoryEntry{Destination, "d"});
         }},
        {"package name",
         [&](PackageContents& c, std::uint64_t&, bool bPast) { c.strName = text(sizeof(SetupHeader::packageName), bPast, 'n'); }},
        {"default folder",
         [&](PackageContents& c, std::uint64_t&, bool bPast) {
             c.strDefaultFolder = text(sizeof(SetupHeader::defaultFolder), bPast, 'd');
         }},
        {"directory path",
         [&](PackageContents& c, std::uint64_t&, bool bPast) {
             c.vecDirectories = {{Destination, text(sizeof(DirectoryRecord::path), bPast, 'p')}};
         }},
        {"folder",
         [&](PackageContents& c, std::uint64_t&, bool bPast) { c.vecFiles[0].strFolder = text(sizeof(FileRecord::folder), bPast, 'f'); }},
        {"file name",
         [&](PackageContents& c, std::uint64_t&, bool bPast) {
             c.vecFiles[0].strFileName = text(sizeof(FileRecord::fileName), bPast, 'a');
         }},
    };
    for (const SLimit& limit : kLimits) {
        for (bool bPast : {false, true}) {
            SCOPED_TRACE(std::string(limit.pszWhat) + (bPast ? ", one past the limit" : ", at the limit"));
            PackageContents contents;
            contents.strName = "Limits";
            PackageFileEntry file;
            file.strFileName = "a";
            file.content = Bytes();
            contents.vecFiles.push_back(file);
            std::uint64_t nVolumeSize = 0;
            limit.shape(contents, nVolumeSize, bPast);
            EXPECT_EQ(WritesAndReadsBack(contents, nVolumeSize), !bPast);
        }
    }
}

TEST(PackageWriter, MissingSourceIsRefused)
{
    CTempFolder folder;
    PackageContents contents = SampleContents();
    contents.vecFiles[0].content.reset();
    contents.vecFiles[0].strSourcePath = folder.File("missing");
    EXPECT_THROW(WritePackage(contents, folder.Path().string()), CPackageWriteError);
}

TEST(PackageWriter, UninstallerFileRoundTrip)
{
    CTempFolder folder;
    Bytes program = RandomBytes(70000, 5);
    program.resize(140000, 'x');
    WriteAll(folder.File("unin.exe"), program);
    UninstallerHeader header = WriteUninstallerFile(folder.File("unin.exe"), folder.File("_setup.spd"));
    Bytes bytes = ReadAll(folder.File("_setup.spd"));
    EXPECT_EQ(GetLe32(bytes, 0), 0x12343210u);
    EXPECT_EQ(GetLe32(bytes, 4), AdlerOf(program));
    EXPECT_EQ(GetLe32(bytes, 8), program.size());
    EXPECT_EQ(header.unpackedSize, program.size());
    CPlainFile file;
    EXPECT_TRUE(ReadUninstaller(file, folder.File("_setup.spd")) == program);
    WriteAll(folder.File("empty.exe"), Bytes());
    EXPECT_THROW(WriteUninstallerFile(folder.File("empty.exe"), folder.File("_bad.spd")), CPackageWriteError);
}

TEST(PackageWriter, PackageIdentifiers)
{
    std::uint8_t id[16];
    ASSERT_TRUE(ParsePackageId("{00112233-4455-6677-8899-aabbccddeeff}", id));
    EXPECT_EQ(id[0], 0x33);
    EXPECT_EQ(id[4], 0x55);
    EXPECT_EQ(id[6], 0x77);
    EXPECT_EQ(id[8], 0x88);
    EXPECT_EQ(id[15], 0xFF);
    EXPECT_EQ(FormatPackageId(id), "{00112233-4455-6677-8899-AABBCCDDEEFF}");
    EXPECT_TRUE(ParsePackageId("00112233-4455-6677-8899-AABBCCDDEEFF", id));
    EXPECT_FALSE(ParsePackageId("{00112233-4455-6677-8899-AABBCCDDEEF}", id));
    EXPECT_FALSE(ParsePackageId("{00112233-4455-6677-8899_AABBCCDDEEFF}", id));
    EXPECT_FALSE(ParsePackageId("{0011223G-4455-6677-8899-AABBCCDDEEFF}", id));
    std::uint8_t first[16];
    std::uint8_t second[16];
    GeneratePackageId(first);
    GeneratePackageId(second);
    EXPECT_NE(std::memcmp(first, second, 16), 0);
    EXPECT_EQ(first[7] >> 4, 4);
    EXPECT_EQ(first[8] >> 6, 2);
}

} // namespace
