// The package stream of a run: the copy of user.spd itself, or the volume copies joined
// into one temporary file without their headers; the copies into the temporary folder,
// and where the thread may be held while they are made.
#include "engine/file_helpers.h"
#include "format/package_reader.h"
#include "engine/setup_file_copies.h"
#include "engine/setup_package_stream.h"
#include "engine/temp_file_names.h"
#include "engine/volume_search.h"
#include "tests/win/hold_counter.h"
#include "tests/win/spanned_package.h"

namespace {
Bytes Concatenated(const std::vector<Bytes>& vecVolumes)
{
    Bytes joined = vecVolumes[0];
    for (std::size_t n = 1; n < vecVolumes.size(); ++n) {
        const std::size_t nDrop = std::min<std::size_t>(kVolumeHeaderSize, vecVolumes[n].size());
        joined.insert(joined.end(), vecVolumes[n].begin() + static_cast<std::ptrdiff_t>(nDrop), vecVolumes[n].end());
    }
    return joined;
}

Bytes ReadStream(CPlainFile& stream)
{
    Bytes bytes(static_cast<std::size_t>(stream.GetLength()));
    stream.Seek(0);
    EXPECT_EQ(stream.Read(bytes.data(), bytes.size()), bytes.size());
    return bytes;
}
} // namespace

class PackageStream : public CSpannedPackageTest {
protected:
    // Copies user.spd and the volumes found beside it, as the run does.
    void CopyAll()
    {
        volumeCopies.push_back(CopyIntoTempFolder(m_written.vecVolumePaths[0], m_strTempFolder, tempFiles));
        CVolumeSearch search(m_written.header, m_strSetupFolder, m_prompt);
        GatherVolumes(search, m_written.header.volumeCount, m_strTempFolder, m_link, tempFiles, volumeCopies);
    }

    CScriptedDiskPrompt m_prompt;
};

TEST_F(PackageStream, SingleVolumeIsReadFromItsCopyWithoutAJoinedFile)
{
    PackageContents contents = SpannedContents(kSmallData, 1);
    m_written = WritePackage(contents, m_strSetupFolder);
    ASSERT_EQ(m_written.header.volumeCount, 1u);
    CopyAll();
    const std::vector<std::string> vecCopied = tempFiles;

    std::unique_ptr<CPlainFile> pStream = BuildPackageStream(volumeCopies, m_strTempFolder, m_link, tempFiles);

    EXPECT_TRUE(m_prompt.m_vecQuestions.empty());
    EXPECT_EQ(tempFiles, vecCopied) << "no joined file";
    EXPECT_EQ(pStream->GetPath(), m_strTempFolder + "user.spd");
    CPlainFile other;
    EXPECT_FALSE(other.Open(pStream->GetPath())) << "the stream is held exclusively";
    CPackageReader(*pStream, m_written.header).VerifyStream();
}

TEST_F(PackageStream, VolumesAreJoinedInChunksWithoutTheirHeaders)
{
    WriteSpanned(1200000);
    CopyAll();
    std::vector<Bytes> vecVolumes;
    unsigned nExpectedChecks = 0;
    for (const std::string& strCopy : volumeCopies) {
        vecVolumes.push_back(ReadAll(strCopy));
        // One check per volume and one per chunk of it.
        nExpectedChecks += 1 + static_cast<unsigned>((vecVolumes.back().size() + kChecksumChunkSize - 1) / kChecksumChunkSize);
    }
    ASSERT_GT(vecVolumes[0].size(), kChecksumChunkSize) << "every volume should take two chunks";
    const std::size_t nCopies = tempFiles.size();
    m_link.m_nCancelChecks = 0;

    std::unique_ptr<CPlainFile> pStream = BuildPackageStream(volumeCopies, m_strTempFolder, m_link, tempFiles);

    EXPECT_EQ(m_link.m_nCancelChecks, nExpectedChecks);
    ASSERT_EQ(tempFiles.size(), nCopies + 1);
    EXPECT_EQ(pStream->GetPath(), tempFiles.back());
    EXPECT_EQ(pStream->GetPath().substr(0, m_strTempFolder.size()), m_strTempFolder);
    EXPECT_EQ(pStream->GetPath().size(), m_strTempFolder.size() + 12) << "8 letters and .tmp";
    EXPECT_EQ(pStream->GetPosition(), 0u);
    CPlainFile other;
    EXPECT_FALSE(other.Open(pStream->GetPath())) << "the joined file is held exclusively";
    EXPECT_EQ(ReadStream(*pStream), Concatenated(vecVolumes)) << "written and read back through one handle";
    CPackageReader(*pStream, m_written.header).VerifyStream();
}

TEST_F(PackageStream, VolumeShorterThanItsHeaderAddsNothing)
{
    const std::vector<Bytes> vecVolumes = {RandomBytes(300, 1), RandomBytes(50, 2), RandomBytes(200, 3)};
    for (std::size_t n = 0; n < vecVolumes.size(); ++n) {
        volumeCopies.push_back(m_strTempFolder + VolumeFileName(static_cast<unsigned>(n)));
        WriteAll(volumeCopies.back(), vecVolumes[n]);
    }
    std::unique_ptr<CPlainFile> pStream = BuildPackageStream(volumeCopies, m_strTempFolder, m_link, tempFiles);
    EXPECT_EQ(pStream->GetLength(), 300u + 200u - kVolumeHeaderSize);
    EXPECT_EQ(ReadStream(*pStream), Concatenated(vecVolumes));
}

TEST_F(PackageStream, MissingVolumeCopyIsAFileError)
{
    volumeCopies = {m_strTempFolder + "user.spd", m_strTempFolder + "user.001"};
    WriteAll(volumeCopies[0], RandomBytes(300, 1));
    ExpectSetupFailure(1, 2, [&] { BuildPackageStream(volumeCopies, m_strTempFolder, m_link, tempFiles); });
    volumeCopies.resize(1);
    DeleteFileA(volumeCopies[0].c_str());
    ExpectSetupFailure(1, 2, [&] { BuildPackageStream(volumeCopies, m_strTempFolder, m_link, tempFiles); });
}

TEST_F(PackageStream, FolderRefusingNewFilesEndsTheJoinedFileNameLoop)
{
    volumeCopies = {m_strTempFolder + "user.spd", m_strTempFolder + "user.001"};
    for (const std::string& strCopy : volumeCopies)
        WriteAll(strCopy, RandomBytes(300, 1));
    const std::string strRefusing = m_root.File("missing") + "\\";
    ExpectSetupFailure(1, 2, [&] { BuildPackageStream(volumeCopies, strRefusing, m_link, tempFiles); });
    EXPECT_EQ(m_link.m_nCancelChecks, 0u) << "the joined file's names are drawn without cancel checks";
    EXPECT_TRUE(tempFiles.empty());
}

TEST_F(PackageStream, CopyIntoTheTemporaryFolderKeepsAnEarlierCopyOfTheSameSize)
{
    const std::string strSource = m_root.File("user.spd");
    WriteAll(strSource, RandomBytes(300, 1));
    struct Case {
        const char* pszWhat;
        std::size_t nPresent; // bytes of a copy already there; 0: none
        bool bFails;
    };
    for (const Case& c : {Case{"no copy yet", 0, false}, Case{"same size", 300, false}, Case{"other size", 299, true}}) {
        SCOPED_TRACE(c.pszWhat);
        const std::string strCopy = m_strTempFolder + "user.spd";
        DeleteFileA(strCopy.c_str());
        if (c.nPresent > 0)
            WriteAll(strCopy, RandomBytes(c.nPresent, 9));
        tempFiles.clear();
        if (c.bFails) {
            ExpectSetupFailure(1, 2, [&] { CopyIntoTempFolder(strSource, m_strTempFolder, tempFiles, &m_link); });
            EXPECT_TRUE(tempFiles.empty());
            continue;
        }
        EXPECT_EQ(CopyIntoTempFolder(strSource, m_strTempFolder, tempFiles, &m_link), strCopy);
        EXPECT_EQ(tempFiles, std::vector<std::string>{strCopy});
        EXPECT_EQ(ReadAll(strCopy), c.nPresent > 0 ? RandomBytes(c.nPresent, 9) : RandomBytes(300, 1));
    }
}

TEST_F(PackageStream, SetupFileCopyMayBeHeldBeforeEachChunkWithoutACancelCheck)
{
    const std::string strSource = m_root.File("user.spd");
    const Bytes content = RandomBytes(2 * 524288 + 1000, 5);
    WriteAll(strSource, content);
    std::string strCopy;
    unsigned nStops = 0;
    {
        CHoldCounter holds(m_link);
        strCopy = CopyIntoTempFolder(strSource, m_strTempFolder, tempFiles, &m_link);
        nStops = holds.Stops();
    }
    EXPECT_EQ(nStops, 3u);
    EXPECT_EQ(m_link.m_nCancelChecks, 0u);
    EXPECT_EQ(ReadAll(strCopy), content);
}
