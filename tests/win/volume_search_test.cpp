// Finding continuation volumes: beside the last one, in the sibling disk folders, or
// where the scripted disk prompt says; what is said about a wrong file, and how the
// search ends.
#include "format/package_reader.h"
#include "format/plain_file.h"
#include "engine/setup_file_copies.h"
#include "engine/setup_package_stream.h"
#include "engine/volume_search.h"
#include "framework/handle.h"
#include "sys/message_text.h"
#include "tests/common/message_box_recorder.h"
#include "tests/win/recording_window.h"
#include "tests/win/spanned_package.h"

#include <functional>

namespace {
using Question = CScriptedDiskPrompt::Question;

// Ways a volume can be wrong, and the message that names the fault when the user chose it.
struct Damage {
    const char* pszWhat;
    std::function<void(Bytes&)> damage;
    unsigned nMessage;
};

const Damage kDamages[] = {
    {"shorter than its header", [](Bytes& b) { b.resize(50); }, 154},
    {"wrong magic", [](Bytes& b) { b[0] ^= 1; }, 154},
    {"wrong version", [](Bytes& b) { b[4] = 15; }, 154},
    {"wrong index", [](Bytes& b) { b[6] = 2; }, 157},
    {"name differing in case", [](Bytes& b) { b[8] = 'a'; }, 157},
    {"another package's identifier", [](Bytes& b) { b[72] ^= 1; }, 157},
};

std::string MessageText(unsigned nId)
{
    std::string strText;
    EXPECT_TRUE(LoadMessage(nId, strText));
    return strText;
}
} // namespace

class VolumeSearch : public CSpannedPackageTest {
protected:
    void SetUp() override { WriteSpanned(kSmallData); }

    void Gather(IDiskPrompt& prompt)
    {
        CVolumeSearch search(m_written.header, m_strSetupFolder, prompt);
        GatherVolumes(search, m_written.header.volumeCount, m_strTempFolder, m_link, tempFiles, volumeCopies);
        m_strSourceAfter = search.GetSourceFolder();
    }

    // Writes volume 1, damaged, into strFolder, from the bytes the writer made.
    void PlaceDamaged(const Damage& damage, const std::string& strFolder)
    {
        Bytes bytes = m_volume1;
        damage.damage(bytes);
        WriteAll(strFolder + "user.001", bytes);
    }

    void ExpectCopiesOfAllVolumes()
    {
        ASSERT_EQ(volumeCopies.size(), 2u);
        for (unsigned nVolume = 1; nVolume <= 2; ++nVolume) {
            EXPECT_EQ(volumeCopies[nVolume - 1], m_strTempFolder + VolumeFileName(nVolume));
            EXPECT_EQ(ReadAll(volumeCopies[nVolume - 1]), m_volumeBytes[nVolume - 1]);
        }
        EXPECT_EQ(tempFiles, volumeCopies);
    }

    void SetUpVolumeBytes()
    {
        m_volumeBytes = {ReadAll(m_written.vecVolumePaths[1]), ReadAll(m_written.vecVolumePaths[2])};
        m_volume1 = m_volumeBytes[0];
    }

    std::vector<Bytes> m_volumeBytes;
    Bytes m_volume1;
    std::string m_strSourceAfter;
};

TEST_F(VolumeSearch, VolumesInSiblingDiskFoldersAreFoundWithoutAPrompt)
{
    SetUpVolumeBytes();
    MoveVolume(1, Folder("Disk 2"));
    MoveVolume(2, Folder("Disk 3"));
    CRecordingWindow bar(PROGRESS_CLASSA, {PBM_STEPIT});
    m_link.m_hWndProgress = bar.Handle();
    CMessageBoxRecorder boxes;
    CScriptedDiskPrompt prompt;

    Gather(prompt);

    EXPECT_TRUE(prompt.m_vecQuestions.empty());
    EXPECT_TRUE(boxes.m_boxes.empty());
    ExpectCopiesOfAllVolumes();
    EXPECT_EQ(m_strSourceAfter, Folder("Disk 3"));
    EXPECT_EQ(bar.Count(PBM_STEPIT), 2u);
    EXPECT_EQ(m_link.m_nCancelChecks, 2u);
}

TEST_F(VolumeSearch, WrongVolumeInADiskFolderIsPassedOverSilently)
{
    SetUpVolumeBytes();
    MoveVolume(1, Folder("Disk 2"));
    for (const Damage& damage : kDamages) {
        SCOPED_TRACE(damage.pszWhat);
        PlaceDamaged(damage, Folder("Disk 2"));
        CMessageBoxRecorder boxes;
        CScriptedDiskPrompt prompt;
        CVolumeSearch search(m_written.header, m_strSetupFolder, prompt);
        ExpectSetupFailure(1, 9, [&] { search.Find(1); });
        EXPECT_TRUE(boxes.m_boxes.empty());
        ASSERT_EQ(prompt.m_vecQuestions.size(), 1u);
        EXPECT_EQ(prompt.m_vecQuestions[0].strFileName, "user.001");
        EXPECT_EQ(prompt.m_vecQuestions[0].strFolder, m_strSetupFolder);
        EXPECT_EQ(prompt.m_vecQuestions[0].nDisk, 2u);
    }
}

TEST_F(VolumeSearch, WrongVolumeInTheChosenFolderIsNamedAndAskedForAgain)
{
    SetUpVolumeBytes();
    MoveVolume(1, Folder("elsewhere"));
    const std::string strChosen = Folder("chosen");
    for (const Damage& damage : kDamages) {
        SCOPED_TRACE(damage.pszWhat);
        PlaceDamaged(damage, strChosen);
        CMessageBoxRecorder boxes;
        CScriptedDiskPrompt prompt({{true, m_root.File("chosen")}});
        CVolumeSearch search(m_written.header, m_strSetupFolder, prompt);
        ExpectSetupFailure(1, 9, [&] { search.Find(1); });
        ASSERT_EQ(boxes.m_boxes.size(), 1u);
        EXPECT_EQ(boxes.m_boxes[0].strText, MessageText(damage.nMessage));
        EXPECT_EQ(boxes.m_boxes[0].nStyle, static_cast<unsigned>(MB_ICONHAND));
        EXPECT_EQ(prompt.m_vecQuestions.size(), 2u);
    }
}

TEST_F(VolumeSearch, ChosenVolumeInUseIsNamedAndAskedForAgain)
{
    const std::string strPath = MoveVolume(1, Folder("chosen"));
    // Another program reads it and lets others read too, but not take it exclusively.
    CHandle hHolder(CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(hHolder.IsValid());
    CMessageBoxRecorder boxes;
    CScriptedDiskPrompt prompt({{true, m_root.File("chosen")}});
    CVolumeSearch search(m_written.header, m_strSetupFolder, prompt);
    ExpectSetupFailure(1, 9, [&] { search.Find(1); });
    ASSERT_EQ(boxes.m_boxes.size(), 1u);
    EXPECT_EQ(boxes.m_boxes[0].strText, MessageText(151));
    EXPECT_EQ(boxes.m_boxes[0].nStyle, static_cast<unsigned>(MB_ICONHAND));
    EXPECT_EQ(prompt.m_vecQuestions.size(), 2u);
}

TEST_F(VolumeSearch, FolderChosenForTheFirstMissingVolumeServesTheRest)
{
    SetUpVolumeBytes();
    const std::string strChosen = Folder("chosen");
    MoveVolume(1, strChosen);
    MoveVolume(2, strChosen);
    CMessageBoxRecorder boxes;
    CScriptedDiskPrompt prompt({{true, m_root.File("chosen")}});

    Gather(prompt);

    ASSERT_EQ(prompt.m_vecQuestions.size(), 1u);
    EXPECT_EQ(prompt.m_vecQuestions[0].strFileName, "user.001");
    EXPECT_EQ(prompt.m_vecQuestions[0].nDisk, 2u);
    EXPECT_TRUE(boxes.m_boxes.empty());
    ExpectCopiesOfAllVolumes();
    EXPECT_EQ(m_strSourceAfter, strChosen);
}

TEST_F(VolumeSearch, ChosenFolderWithoutTheVolumeEndsTheSetup)
{
    MoveVolume(1, Folder("elsewhere"));
    CScriptedDiskPrompt prompt({{true, m_root.File("temp")}});
    CVolumeSearch search(m_written.header, m_strSetupFolder, prompt);
    ExpectSetupFailure(1, 0, [&] { search.Find(1); });
}

TEST_F(VolumeSearch, VolumeBesideTheLastIsTakenUnreadAndRefusedByTheStreamCheck)
{
    // Volume 1 of another package lies where volume 1 is expected.
    const std::string strOther = Folder("other");
    ASSERT_EQ(WritePackage(SpannedContents(kSmallData, 2), strOther, kSmallData / 2).vecVolumePaths.size(), 3u);
    ASSERT_TRUE(CopyFileA((strOther + "user.001").c_str(), m_written.vecVolumePaths[1].c_str(), FALSE));
    CScriptedDiskPrompt prompt;
    CVolumeSearch search(m_written.header, m_strSetupFolder, prompt);
    EXPECT_EQ(search.Find(1), m_written.vecVolumePaths[1]);
    EXPECT_TRUE(prompt.m_vecQuestions.empty());

    volumeCopies.push_back(CopyIntoTempFolder(m_written.vecVolumePaths[0], m_strTempFolder, tempFiles));
    Gather(prompt);
    std::unique_ptr<CPlainFile> pStream = BuildPackageStream(volumeCopies, m_strTempFolder, m_link, tempFiles);
    CPackageReader reader(*pStream, m_written.header);
    ExpectSetupFailure(1, 3, [&] { reader.VerifyStream(); });
}

TEST_F(VolumeSearch, CancelRaisedBeforeTheFirstCheckEndsTheSearchThere)
{
    MoveVolume(1, Folder("elsewhere"));
    SetEvent(m_link.m_hCancelEvent.Get());
    SetEvent(m_link.m_hCancelEvent.Get());
    CScriptedDiskPrompt prompt;
    try {
        Gather(prompt);
        ADD_FAILURE() << "the cancel was not seen";
    } catch (CMyException* pException) {
        EXPECT_EQ(dynamic_cast<CSetupException*>(pException), nullptr);
        pException->Delete();
    }
    EXPECT_EQ(m_link.m_nCancelChecks, 1u);
    EXPECT_TRUE(prompt.m_vecQuestions.empty());
    EXPECT_TRUE(volumeCopies.empty());
    EXPECT_TRUE(tempFiles.empty());
}
