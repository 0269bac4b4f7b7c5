// The joined volume stream: reads across volumes, places offsets in them, and keeps only a
// few volumes open however many the package has.
#include "format/package_memory_file.h"
#include "format/package_volume_stream.h"
#include "framework/exception.h"
#include "tests/native/package_test_support.h"

#include <gtest/gtest.h>

namespace {

TEST(PackageVolumeStream, ReadsAcrossVolumesAndLocatesOffsets)
{
    Bytes first = {0, 1, 2, 3, 4};
    Bytes second(88, 0xEE);
    second.insert(second.end(), {5, 6, 7});
    Bytes tooShort(40, 0xEE); // shorter than a volume header: adds nothing
    Bytes third(88, 0xEE);
    third.insert(third.end(), {8, 9});
    CPackageVolumeStream stream;
    stream.AddVolume(std::make_unique<CMemoryFile>(first), "user.spd");
    stream.AddVolume(std::make_unique<CMemoryFile>(second), "user.001");
    stream.AddVolume(std::make_unique<CMemoryFile>(tooShort), "user.002");
    stream.AddVolume(std::make_unique<CMemoryFile>(third), "user.003");
    EXPECT_EQ(stream.GetLength(), 10u);
    Bytes all(16, 0xFF);
    EXPECT_EQ(stream.Read(all.data(), all.size()), 10u);
    all.resize(10);
    EXPECT_EQ(all, (Bytes{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    stream.Seek(4);
    Bytes some(3);
    EXPECT_EQ(stream.Read(some.data(), 3), 3u);
    EXPECT_EQ(some, (Bytes{4, 5, 6}));
    EXPECT_EQ(stream.GetPosition(), 7u);
    stream.Seek(50);
    EXPECT_EQ(stream.Read(some.data(), 3), 0u);
    std::string strVolume;
    std::uint64_t nOffset = 0;
    stream.Locate(6, strVolume, nOffset);
    EXPECT_EQ(strVolume, "user.001");
    EXPECT_EQ(nOffset, 89u);
    stream.Locate(9, strVolume, nOffset);
    EXPECT_EQ(strVolume, "user.003");
    EXPECT_EQ(nOffset, 89u);
}

// A volume in memory that counts how many volumes are open at once, and fails the test
// when it is read while closed.
class CCountedVolume : public CMemoryFile {
public:
    struct SCount {
        std::size_t nOpen = 0;
        std::size_t nMost = 0;
    };
    CCountedVolume(Bytes bytes, SCount& count) : CMemoryFile(std::move(bytes)), m_count(count) { MarkOpen(); }

    bool Open(const std::string& strPath) override
    {
        if (!m_bOpen)
            MarkOpen();
        return CMemoryFile::Open(strPath);
    }
    std::size_t Read(void* pBuffer, std::size_t nCount) override
    {
        EXPECT_TRUE(m_bOpen) << "read while closed";
        return CMemoryFile::Read(pBuffer, nCount);
    }
    void Close() override
    {
        if (m_bOpen)
            --m_count.nOpen;
        m_bOpen = false;
    }

private:
    void MarkOpen()
    {
        m_bOpen = true;
        m_count.nMost = std::max(m_count.nMost, ++m_count.nOpen);
    }

    SCount& m_count;
    bool m_bOpen = false;
};

TEST(PackageVolumeStream, KeepsFewVolumesOpenWhereverItReads)
{
    constexpr unsigned kVolumes = 40;
    constexpr std::size_t kPart = 10;
    const Bytes stream = RandomBytes(kVolumes * kPart, 11);
    CCountedVolume::SCount count;
    CPackageVolumeStream joined;
    for (unsigned k = 0; k < kVolumes; ++k) {
        Bytes volume(k == 0 ? 0 : kVolumeHeaderSize, 0xEE);
        volume.insert(volume.end(), stream.begin() + k * kPart, stream.begin() + (k + 1) * kPart);
        joined.AddVolume(std::make_unique<CCountedVolume>(volume, count), VolumeFileName(k));
    }
    ASSERT_EQ(joined.GetLength(), stream.size());
    // Each volume came open from its caller; the stream closed all but a few.
    EXPECT_LE(count.nOpen, CPackageVolumeStream::kOpenVolumes);
    count.nMost = count.nOpen;

    // In order, in reads that straddle boundaries, then jumping back and forth.
    Bytes all(stream.size());
    for (std::size_t nAt = 0; nAt < all.size(); nAt += 7)
        joined.Read(all.data() + nAt, std::min<std::size_t>(7, all.size() - nAt));
    EXPECT_EQ(all, stream);
    for (std::uint64_t nAt : {0u, 395u, 5u, 200u, 9u, 390u, 101u}) {
        Bytes some(5);
        joined.Seek(nAt);
        ASSERT_EQ(joined.Read(some.data(), some.size()), some.size());
        EXPECT_TRUE(std::equal(some.begin(), some.end(), stream.begin() + static_cast<std::ptrdiff_t>(nAt))) << nAt;
    }
    EXPECT_LE(count.nMost, CPackageVolumeStream::kOpenVolumes);
    joined.Close();
    EXPECT_EQ(count.nOpen, 0u);
}

TEST(PackageVolumeStream, VolumeThatCannotBeOpenedAgainIsNamed)
{
    CTempFolder folder;
    std::vector<std::string> vecPaths;
    for (unsigned k = 0; k <= CPackageVolumeStream::kOpenVolumes; ++k) {
        vecPaths.push_back(folder.File(VolumeFileName(k)));
        WriteAll(vecPaths.back(), Bytes(kVolumeHeaderSize + 1, static_cast<unsigned char>(k)));
    }
    CPackageVolumeStream stream;
    JoinVolumes(stream, vecPaths);
    // user.spd was closed to make room for the last volume; now it is gone.
    std::filesystem::remove(vecPaths[0]);
    unsigned char byte = 0;
    try {
        stream.Read(&byte, 1);
        ADD_FAILURE() << "a missing volume was read";
    } catch (CFileException* e) {
        EXPECT_EQ(e->m_nOperation, CFileException::opOpen);
        EXPECT_EQ(e->m_strFileName, vecPaths[0]);
        EXPECT_NE(e->m_lOsError, 0) << "the system's reason is kept";
        e->Delete();
    }
}

} // namespace
