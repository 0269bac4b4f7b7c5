// The most volumes a package can have: user.spd and 65535 continuation volumes would make
// volumeCount 0. Reaching the boundary takes some 130000 volume files of 256 bytes, one to
// two minutes on an ordinary disk, so the test is run by hand:
//   package_test --gtest_also_run_disabled_tests --gtest_filter='PackageWriterVolumes.*'
// Under Wine it would take far longer; it is built natively only.
#include "format/package_reader.h"
#include "format/package_writer.h"
#include "tests/native/package_test_support.h"

#include <gtest/gtest.h>

namespace {

TEST(PackageWriterVolumes, DISABLED_CountStopsWhereVolumeCountEnds)
{
    constexpr std::uint64_t kSize = kMinVolumeSize;
    constexpr std::uint64_t kPart = kSize - kVolumeHeaderSize;
    constexpr std::uint64_t kMostVolumes = 0xFFFF;
    constexpr std::uint64_t kMostStream = kSize + (kMostVolumes - 1) * kPart;
    auto noise = [](std::uint64_t nSize) {
        PackageContents contents;
        contents.strName = "Volumes";
        PackageFileEntry file;
        file.strFileName = "noise.bin";
        file.content = RandomBytes(static_cast<std::size_t>(nSize), 12);
        contents.vecFiles.push_back(file);
        return contents;
    };
    // Random bytes deflate to themselves and a few bytes per block, so one single-volume
    // write tells how much longer than its source the stream is, for sources of nearby
    // sizes too: aim half a volume short of the most, then half a volume past it.
    CTempFolder folder;
    const std::uint64_t nGuess = kMostStream - 1000;
    const std::uint64_t nProbe = WritePackage(noise(nGuess), folder.Path().string()).header.totalSize;
    const std::uint64_t nFits = nGuess + (kMostStream - kPart / 2) - nProbe;

    PackageWriteResult result = WritePackage(noise(nFits), folder.Path().string(), kSize);
    EXPECT_EQ(result.vecVolumePaths.size(), kMostVolumes);
    ExpectNoSetupFailure([&] {
        CPlainFile file;
        SetupHeader header = ReadSetupHeader(file, result.vecVolumePaths[0]);
        EXPECT_EQ(header.volumeCount, kMostVolumes);
        CPackageVolumeStream stream;
        JoinVolumes(stream, result.vecVolumePaths);
        CPackageReader(stream, header).VerifyStream();
    });
    // The same folder again: overwriting the volumes costs less than making new ones.
    EXPECT_THROW(WritePackage(noise(nFits + kPart), folder.Path().string(), kSize), CPackageWriteError);
}

} // namespace
