// Record layouts against hand-written byte vectors: every field at its offset, little-endian.
#include "format/package_records.h"
#include "tests/native/package_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

namespace {

Bytes FromHex(const std::string& strHex)
{
    Bytes bytes;
    std::istringstream in(strHex);
    std::string strByte;
    while (in >> strByte)
        bytes.push_back(static_cast<unsigned char>(std::stoul(strByte, nullptr, 16)));
    return bytes;
}

// A setup header typed in by hand: reserved bytes 5..11 and 24..31 hold junk.
const char kHeaderHex[] =
    "53 45 54 55 10 AA BB CC DD EE FF 11 02 00 00 00 "  // SETU, 16, junk, volumeCount 2
    "78 56 34 12 00 10 00 00 99 99 99 99 99 99 99 99 "  // dataChecksum, totalSize 4096, junk
    "C0 00 00 00 03 00 00 00 00 02 00 00 05 00 41 75 "  // 192, 3 dirs, section 512, 5 files, "Au"
    "72 6F 72 61 00 00 00 00 00 00 00 00 00 00 00 00 "  // "rora"
    "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
    "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
    "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
    "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F "  // packageId
    "4C 75 6D 69 64 72 6F 70 00 00 00 00 00 00 00 00 "  // "Lumidrop"
    "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
    "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
    "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00";

TEST(PackageRecords, SetupHeaderDecodesEveryFieldAtItsOffset)
{
    Bytes bytes = FromHex(kHeaderHex);
    ASSERT_EQ(bytes.size(), kSetupHeaderSize);
    SetupHeader header = DecodeSetupHeader(bytes.data());
    EXPECT_EQ(header.magic, kSetupMagic);
    EXPECT_EQ(header.version, 16);
    EXPECT_EQ(header.volumeCount, 2);
    EXPECT_EQ(header.dataChecksum, 0x12345678u);
    EXPECT_EQ(header.totalSize, 4096u);
    EXPECT_EQ(header.directoryOffset, 192u);
    EXPECT_EQ(header.directoryCount, 3);
    EXPECT_EQ(header.fileSectionOffset, 512u);
    EXPECT_EQ(header.fileCount, 5);
    EXPECT_EQ(FieldText(header.packageName), "Aurora");
    EXPECT_EQ(FieldText(header.defaultFolder), "Lumidrop");
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(header.packageId[i], i);
}

TEST(PackageRecords, SetupHeaderEncodesTheSameBytesWithReservedZero)
{
    Bytes expected = FromHex(kHeaderHex);
    for (std::size_t i = 5; i < 12; ++i)
        expected[i] = 0;
    for (std::size_t i = 24; i < 32; ++i)
        expected[i] = 0;
    Bytes encoded(kSetupHeaderSize, 0xEE);
    EncodeSetupHeader(DecodeSetupHeader(FromHex(kHeaderHex).data()), encoded.data());
    EXPECT_EQ(encoded, expected);
}

TEST(PackageRecords, VolumeHeaderLayout)
{
    Bytes bytes(kVolumeHeaderSize, 0);
    Bytes prefix = FromHex("53 45 54 55 10 77 E8 03 41 75 72 6F 72 61");
    std::copy(prefix.begin(), prefix.end(), bytes.begin());
    bytes[72] = 0xAB;
    bytes[87] = 0xCD;
    VolumeHeader header = DecodeVolumeHeader(bytes.data());
    EXPECT_EQ(header.magic, kSetupMagic);
    EXPECT_EQ(header.version, 16);
    EXPECT_EQ(header.volumeIndex, 1000);
    EXPECT_EQ(FieldText(header.packageName), "Aurora");
    EXPECT_EQ(header.packageId[0], 0xAB);
    EXPECT_EQ(header.packageId[15], 0xCD);
    Bytes encoded(kVolumeHeaderSize, 0xEE);
    EncodeVolumeHeader(header, encoded.data());
    bytes[5] = 0; // padding is written as zero
    EXPECT_EQ(encoded, bytes);
}

TEST(PackageRecords, BlockHeaderLayout)
{
    Bytes bytes = FromHex("42 00 00 00 01 02 03 04 10 00 00 00 08 02 00 00");
    BlockHeader header = DecodeBlockHeader(bytes.data());
    EXPECT_EQ(header.tag, 'B');
    EXPECT_EQ(header.checksum, 0x04030201u);
    EXPECT_EQ(header.storedSize, 16u);
    EXPECT_EQ(header.unpackedSize, 520u);
    Bytes encoded(kBlockHeaderSize, 0xEE);
    EncodeBlockHeader(header, encoded.data());
    EXPECT_EQ(encoded, bytes);
}

TEST(PackageRecords, DirectoryAndFileRecordLayouts)
{
    Bytes directory(kDirectoryRecordSize, 0);
    directory[0] = 'D';
    directory[1] = 3;
    std::memcpy(directory.data() + 2, "Data\\Images", 11);
    DirectoryRecord decodedDirectory = DecodeDirectoryRecord(directory.data());
    EXPECT_EQ(decodedDirectory.root, 3);
    EXPECT_EQ(FieldText(decodedDirectory.path), "Data\\Images");

    Bytes file(kFileRecordSize, 0);
    file[0] = 'F';
    file[1] = 0x0C;
    file[2] = 5;
    std::memcpy(file.data() + 3, "Data", 4);
    std::memcpy(file.data() + 259, "aurora.scr", 10);
    file[516] = 0x5A; // reserved: ignored on reading, zero on writing
    FileRecord record = DecodeFileRecord(file.data());
    EXPECT_EQ(record.flags, Screensaver | Config);
    EXPECT_EQ(record.root, Destination);
    EXPECT_EQ(FieldText(record.folder), "Data");
    EXPECT_EQ(FieldText(record.fileName), "aurora.scr");
    Bytes encoded(kFileRecordSize, 0xEE);
    EncodeFileRecord(record, encoded.data());
    file[516] = 0;
    EXPECT_EQ(encoded, file);
}

TEST(PackageRecords, UninstallerHeaderLayout)
{
    Bytes bytes = FromHex("10 32 34 12 EF BE AD DE 00 00 01 00");
    UninstallerHeader header = DecodeUninstallerHeader(bytes.data());
    EXPECT_EQ(header.magic, kUninstallerMagic);
    EXPECT_EQ(header.checksum, 0xDEADBEEFu);
    EXPECT_EQ(header.unpackedSize, 65536u);
    Bytes encoded(kUninstallerHeaderSize, 0xEE);
    EncodeUninstallerHeader(header, encoded.data());
    EXPECT_EQ(encoded, bytes);
}

TEST(PackageRecords, TextFieldsWithoutTerminatorStopAtTheirEnd)
{
    Bytes bytes = FromHex(kHeaderHex);
    for (std::size_t i = 46; i < 110; ++i)
        bytes[i] = 'N';
    bytes[110] = 'X'; // padding after the field must not leak into the text
    SetupHeader header = DecodeSetupHeader(bytes.data());
    EXPECT_EQ(FieldText(header.packageName), std::string(64, 'N'));
    char field[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(FieldText(field), "abcd");
}

TEST(PackageRecords, SetFieldTextNeedsRoomForTheTerminator)
{
    char field[8];
    EXPECT_TRUE(SetFieldText(field, "1234567"));
    EXPECT_EQ(FieldText(field), "1234567");
    EXPECT_FALSE(SetFieldText(field, "12345678"));
    EXPECT_EQ(FieldText(field), "1234567");
}

TEST(PackageRecords, VolumeNamesHaveAtLeastThreeDigits)
{
    EXPECT_EQ(VolumeFileName(1), "user.001");
    EXPECT_EQ(VolumeFileName(42), "user.042");
    EXPECT_EQ(VolumeFileName(999), "user.999");
    EXPECT_EQ(VolumeFileName(1000), "user.1000");
}

TEST(PackageRecords, FolderRootNames)
{
    EXPECT_EQ(FolderRootName(0), nullptr);
    EXPECT_STREQ(FolderRootName(1), "Windows");
    EXPECT_STREQ(FolderRootName(5), "Destination");
    EXPECT_EQ(FolderRootName(6), nullptr);
    EXPECT_FALSE(IsFolderRoot(0));
    EXPECT_TRUE(IsFolderRoot(3));
    EXPECT_FALSE(IsFolderRoot(6));
}

} // namespace
