// Folding the stream's checksums in one pass, whatever order the reads come in, and the
// one-pass reading of a package through CFoldingFile.
#include "format/package_folding_file.h"
#include "format/package_memory_file.h"
#include "format/package_reader.h"
#include "tests/native/package_hand_built.h"

#include <gtest/gtest.h>

namespace {

HandPackage TwoFilePackage()
{
    HandPackage package;
    package.vecDirectories = {{5, "Data"}};
    package.vecFiles.push_back(HandFile{5, 0, "Data", "one.txt", TextBytes(5000)});
    package.vecFiles.push_back(HandFile{2, Shared, "", "two.dll", RandomBytes(3000, 9)});
    return package;
}

// Reads the package the way extract does: everything in one pass through CFoldingFile,
// the checksums checked at the end. Returns the inflated files.
std::vector<Bytes> ReadInOnePass(const Bytes& image)
{
    CMemoryFile file(image.data(), image.size());
    const SetupHeader header = DecodeSetupHeader(image.data());
    CStreamChecksums checksums(header, file.GetLength());
    CFoldingFile stream(file, checksums);
    CPackageReader reader(stream, header);
    reader.CheckStreamLength();
    reader.ReadDirectoryTable();
    reader.BeginFileSectionUnchecked();
    std::vector<Bytes> vecFiles;
    FileRecord record;
    while (reader.ReadNextFileEntry(record)) {
        CCollectSink sink;
        reader.InflateDataBlock(&sink);
        vecFiles.push_back(sink.m_bytes);
    }
    stream.FoldUpTo(stream.GetLength());
    EXPECT_TRUE(checksums.IsComplete());
    reader.CheckStreamChecksums(checksums);
    reader.CheckFileSection();
    return vecFiles;
}

} // namespace

TEST(StreamChecksums, AnyOrderOfReadsGivesTheChecksumsOfOneStraightRead)
{
    Bytes image = TwoFilePackage().Build();
    const SetupHeader header = DecodeSetupHeader(image.data());
    const std::size_t nSection = header.fileSectionOffset + 16;

    // Overlapping, repeated and split reads, one of them straddling the file section's start.
    CStreamChecksums checksums(header, image.size());
    auto fold = [&](std::size_t nAt, std::size_t nCount) { checksums.Fold(nAt, image.data() + nAt, nCount); };
    fold(0, 100);                      // inside the setup header: not counted
    fold(150, 60);                     // the first bytes after the header
    fold(192, 10);                     // a re-read of bytes already in
    fold(300, 20);                     // beyond a gap: ignored until the gap is filled
    fold(210, nSection - 210 + 7);     // across the section's start
    fold(nSection + 7, image.size() - nSection - 7);
    ASSERT_TRUE(checksums.IsComplete());
    EXPECT_EQ(checksums.DataChecksum(), header.dataChecksum);
    EXPECT_EQ(checksums.DataChecksum(), AdlerOf(image, 192));
    ASSERT_TRUE(checksums.HasSectionChecksum());
    EXPECT_EQ(checksums.SectionChecksum(), AdlerOf(image, nSection));
}

TEST(StreamChecksums, SectionOutsideTheStreamLeavesOnlyTheDataChecksum)
{
    Bytes image = TwoFilePackage().Build();
    SetupHeader header = DecodeSetupHeader(image.data());
    header.fileSectionOffset = static_cast<std::uint32_t>(image.size());
    CStreamChecksums checksums(header, image.size());
    checksums.Fold(0, image.data(), image.size());
    EXPECT_FALSE(checksums.HasSectionChecksum());
    EXPECT_EQ(checksums.DataChecksum(), AdlerOf(image, 192));
}

TEST(FoldingFile, OnePassReadsAndChecksASoundPackage)
{
    HandPackage package = TwoFilePackage();
    std::vector<Bytes> vecFiles = ReadInOnePass(package.Build());
    ASSERT_EQ(vecFiles.size(), 2u);
    EXPECT_EQ(vecFiles[0], package.vecFiles[0].data);
    EXPECT_EQ(vecFiles[1], package.vecFiles[1].data);
}

TEST(FoldingFile, DamageInBytesTheReaderSkipsIsStillFound)
{
    HandPackage package = TwoFilePackage();
    Bytes image = package.Build();
    // Three bytes after the first file's zlib stream, inside its block: the reader seeks
    // over them, so only the folded checksums can see them.
    const std::size_t nAt = package.vecDataAt[0];
    const std::size_t nStreamEnd = nAt + 16 + GetLe32(image, nAt + 8);
    PutLe32(image, nAt + 8, GetLe32(image, nAt + 8) + 3);
    image.insert(image.begin() + static_cast<std::ptrdiff_t>(nStreamEnd), {7, 7, 7});
    package.vecDataAt[1] += 3;
    HandPackage::FixSums(image);
    EXPECT_EQ(ReadInOnePass(image).size(), 2u);

    image[nStreamEnd + 1] ^= 0x40; // the header's checksums no longer hold
    ExpectSetupFailure(1, 3, [&] { ReadInOnePass(image); });
}

TEST(FoldingFile, WrongSectionChecksumIsFoundAfterTheFiles)
{
    HandPackage package = TwoFilePackage();
    Bytes image = package.Build();
    image[package.nSectionAt + 4] ^= 1;
    // dataChecksum covers the section header too: keep it right so that the section's own
    // checksum is what fails.
    PutLe32(image, 16, AdlerOf(image, 192));
    ExpectSetupFailure(3, 3, [&] { ReadInOnePass(image); });
}
