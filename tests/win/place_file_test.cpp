// Placing extracted files: new and existing targets, the flags a run remembers, targets
// held by another program, records that name no place below their root, and the cancel.
#include "engine/file_helpers.h"
#include "engine/folder_tree.h"
#include "engine/replaced_files.h"
#include "sys/message_text.h"
#include "tests/common/message_box_recorder.h"
#include "tests/win/fault_table/fault_table.h"
#include "tests/win/holder_process.h"
#include "tests/win/placement_fixture.h"

#include <memory>
#include <vector>

namespace {
constexpr unsigned kUnversionedDifferentSizeMessage = 175;

// Points the system's temporary folder somewhere else while it lives.
class CTempPathOverride {
public:
    explicit CTempPathOverride(const std::string& strFolder)
    {
        char szOld[MAX_PATH] = "";
        m_bHadValue = GetEnvironmentVariableA("TMP", szOld, sizeof szOld) > 0;
        m_strOld = szOld;
        SetEnvironmentVariableA("TMP", strFolder.c_str());
    }
    CTempPathOverride(const CTempPathOverride&) = delete;
    CTempPathOverride& operator=(const CTempPathOverride&) = delete;
    ~CTempPathOverride() { SetEnvironmentVariableA("TMP", m_bHadValue ? m_strOld.c_str() : nullptr); }

private:
    bool m_bHadValue = false;
    std::string m_strOld;
};

std::string SystemTempPath()
{
    char szTemp[MAX_PATH] = "";
    GetTempPathA(sizeof szTemp, szTemp);
    return szTemp;
}

// Eight lower-case letters and ".tmp".
bool IsPendingName(const std::string& strName)
{
    if (strName.size() != 12 || strName.compare(8, 4, ".tmp") != 0)
        return false;
    for (std::size_t i = 0; i < 8; ++i) {
        if (strName[i] < 'a' || strName[i] > 'z')
            return false;
    }
    return true;
}
} // namespace

class PlaceFile : public CPlacementTest {
protected:
    void SetUp() override { ASSERT_TRUE(CreateFolderTree(m_strDestination + "\\Data")); }

    std::string InDestination(const std::string& strPath) const { return m_strDestination + "\\" + strPath; }
};

TEST_F(PlaceFile, NewTargetIsWrittenAndRecorded)
{
    struct Case {
        FileRecord record;
        std::string strTarget;
    };
    ASSERT_TRUE(CreateDirectoryA(m_base.File("Windows\\Media").c_str(), nullptr));
    const Case kCases[] = {
        {MakeRecord(Destination, "", "aurora.scr", 0), InDestination("aurora.scr")},
        {MakeRecord(Destination, "Data", "aurora.ini", 0), InDestination("Data\\aurora.ini")},
        {MakeRecord(System, "", "lumicore.dll", 0), m_base.File("System\\lumicore.dll")},
        // The folder as stored, its backslashes and all.
        {MakeRecord(Windows, "Media\\", "chime.wav", 0), m_base.File("Windows\\Media\\\\chime.wav")},
    };
    CMessageBoxRecorder boxes;
    std::vector<std::string> vecPlaced;
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.strTarget);
        Place(c.record);
        vecPlaced.push_back(c.strTarget);
        EXPECT_EQ(m_lists.placedFiles, vecPlaced);
        EXPECT_EQ(ReadText(c.strTarget), kNewContent);
        EXPECT_EQ(Steps(), vecPlaced.size());
    }
    EXPECT_TRUE(boxes.m_boxes.empty());
    EXPECT_TRUE(m_lists.deferredReplacements.empty());
    EXPECT_EQ(m_config.m_bRestartNeeded, 0);
    EXPECT_EQ(ReadText(m_strExtracted), kNewContent) << "the extracted file stays for the run's clean-up";
}

TEST_F(PlaceFile, ExistingTargetFollowsTheDecision)
{
    struct Case {
        std::uint8_t nFlags;
        int nAnswer; // to "replace the old file?" and to "remember the answer?"
        bool bReplaced;
    };
    const Case kCases[] = {
        {Shared, IDNO, false},
        {0, IDNO, false},
        {Shared, IDYES, true},
    };
    const std::string strTarget = InDestination("lumicore.dll");
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::to_string(c.nFlags) + (c.bReplaced ? " replaced" : " kept"));
        CInstallationLists lists;
        CFilePlacement placement(m_roots, m_config, m_link, lists, m_strRunFolder);
        const std::size_t nStepsBefore = Steps();
        WriteText(strTarget, kOldContent);
        CMessageBoxRecorder boxes(c.nAnswer);
        placement.PlaceFile(m_strExtracted, MakeRecord(Destination, "", "lumicore.dll", c.nFlags));

        // Two files without version information and of different sizes: the size question.
        ASSERT_FALSE(boxes.m_boxes.empty());
        std::string strQuestion;
        FormatOne(strQuestion, kUnversionedDifferentSizeMessage, strTarget.c_str());
        EXPECT_EQ(boxes.m_boxes[0].strText, strQuestion);
        EXPECT_EQ(ReadText(strTarget), c.bReplaced ? kNewContent : kOldContent);
        const std::vector<std::string> vecTarget = {strTarget};
        const bool bShared = (c.nFlags & Shared) != 0;
        EXPECT_EQ(lists.placedFiles, c.bReplaced ? vecTarget : std::vector<std::string>());
        EXPECT_EQ(lists.keptSharedFiles, bShared && !c.bReplaced ? vecTarget : std::vector<std::string>());
        EXPECT_EQ(lists.sharedFiles, bShared ? vecTarget : std::vector<std::string>());
        // What a replaced target held waits in the run's folder for a roll-back.
        ASSERT_EQ(lists.replacedFiles.size(), c.bReplaced ? 1u : 0u);
        if (c.bReplaced) {
            EXPECT_EQ(lists.replacedFiles[0].strTarget, strTarget);
            EXPECT_EQ(lists.replacedFiles[0].strKeptCopy.rfind(m_strRunFolder, 0), 0u);
            EXPECT_EQ(ReadText(lists.replacedFiles[0].strKeptCopy), kOldContent);
        }
        EXPECT_EQ(Steps() - nStepsBefore, 1u);
    }
}

TEST_F(PlaceFile, ScreensaverReplacesAnExistingTargetWithoutAQuestion)
{
    const std::string strTarget = InDestination("aurora.scr");
    WriteText(strTarget, kOldContent);
    CMessageBoxRecorder boxes(IDNO);
    Place(MakeRecord(Destination, "", "aurora.scr", Screensaver));
    EXPECT_TRUE(boxes.m_boxes.empty());
    EXPECT_EQ(ReadText(strTarget), kNewContent);
    EXPECT_EQ(m_lists.placedFiles, std::vector<std::string>{strTarget});
    EXPECT_EQ(m_lists.m_strScreensaverPath, strTarget);
}

TEST_F(PlaceFile, FlagsAreRememberedInPackageOrder)
{
    // The last Screensaver and Config files count; every Shared one is listed, also when
    // its old copy stays.
    WriteText(InDestination("Data\\kept.ini"), kOldContent);
    CMessageBoxRecorder boxes(IDNO);
    Place(MakeRecord(Destination, "", "first.scr", Screensaver | Shared));
    Place(MakeRecord(Destination, "Data", "first.ini", Config));
    Place(MakeRecord(System, "", "both.scr", Screensaver | Config | Shared));
    Place(MakeRecord(Destination, "Data", "kept.ini", Config | Shared));
    Place(MakeRecord(Destination, "", "plain.txt", 0));
    EXPECT_EQ(m_lists.m_strScreensaverPath, m_base.File("System\\both.scr"));
    EXPECT_EQ(m_lists.m_strConfigPath, InDestination("Data\\kept.ini"));
    EXPECT_EQ(m_lists.sharedFiles, (std::vector<std::string>{InDestination("first.scr"), m_base.File("System\\both.scr"),
                                                             InDestination("Data\\kept.ini")}));
    EXPECT_EQ(m_lists.keptSharedFiles, std::vector<std::string>{InDestination("Data\\kept.ini")});
    EXPECT_EQ(Steps(), 5u);
}

TEST_F(PlaceFile, TargetHeldByAnotherProgramGetsAPendingCopy)
{
    // Held without sharing, the target counts as missing: no question, for any file.
    std::vector<std::string> vecPlaced;
    for (const std::uint8_t nFlags : {std::uint8_t{0}, std::uint8_t{Screensaver}}) {
        SCOPED_TRACE(static_cast<int>(nFlags));
        const std::string strName = "held" + std::to_string(nFlags) + ".scr";
        const std::string strTarget = InDestination(strName);
        WriteText(strTarget, kOldContent);
        m_lists.deferredReplacements.clear();
        m_config.m_bRestartNeeded = 0;
        CMessageBoxRecorder boxes;
        {
            CHolderProcess holder(strTarget);
            ASSERT_TRUE(holder.IsHolding());
            Place(MakeRecord(Destination, "", strName, nFlags));
        }
        ASSERT_EQ(m_lists.deferredReplacements.size(), 1u);
        std::string strPending;
        std::string strTargetOfEntry;
        SplitDeferredEntry(m_lists.deferredReplacements[0], strPending, strTargetOfEntry);
        EXPECT_EQ(strTargetOfEntry, strTarget);
        const std::size_t nCut = strPending.rfind('\\');
        ASSERT_NE(nCut, std::string::npos);
        EXPECT_EQ(strPending.substr(0, nCut + 1), SystemTempPath());
        EXPECT_TRUE(IsPendingName(strPending.substr(nCut + 1))) << strPending;
        EXPECT_EQ(ReadText(strPending), kNewContent);
        EXPECT_EQ(ReadText(strTarget), kOldContent);
        EXPECT_EQ(m_config.m_bRestartNeeded, 1);
        vecPlaced.push_back(strTarget);
        EXPECT_EQ(m_lists.placedFiles, vecPlaced);
        EXPECT_TRUE(boxes.m_boxes.empty());
        DeleteFileA(strPending.c_str());
    }
    EXPECT_EQ(Steps(), 2u);
}

// A target that cannot be overwritten now waits for the next start untouched: another
// program writes it while letting others read it, or the copy of what is there cannot be
// kept (the temporary drive is full).
TEST_F(PlaceFile, TargetThatCannotBeKeptOrWrittenGetsAPendingCopy)
{
    const struct {
        const char* pszName;
        bool bWriter;
    } kCases[] = {{"written.scr", true}, {"unkept.scr", false}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.pszName);
        const std::string strTarget = InDestination(c.pszName);
        WriteText(strTarget, kOldContent);
        m_lists.deferredReplacements.clear();
        std::unique_ptr<CHolderProcess> pHolder;
        if (c.bWriter) {
            pHolder = std::make_unique<CHolderProcess>(strTarget, true);
            ASSERT_TRUE(pHolder->IsHolding());
        } else {
            ArmFault(FaultKind::FileCopy, FaultCallCount(FaultKind::FileCopy) + 1);
        }
        Place(MakeRecord(Destination, "", c.pszName, Screensaver));
        pHolder.reset();
        EXPECT_EQ(m_lists.deferredReplacements.size(), 1u);
        EXPECT_EQ(m_config.m_bRestartNeeded, 1);
        EXPECT_EQ(ReadText(strTarget), kOldContent);
        EXPECT_TRUE(m_lists.replacedFiles.empty());
    }
}

// A copy that stopped part way (the disk full) has cut the target: the copy kept of it goes
// back over it, and the roll-back has nothing left to give back.
TEST_F(PlaceFile, TargetCutByAFailedCopyGetsItsKeptCopyBack)
{
    const std::string strTarget = InDestination("cut.txt");
    WriteText(strTarget, kOldContent);
    ASSERT_TRUE(KeepExistingFile(m_lists.replacedFiles, strTarget, m_strRunFolder));
    WriteText(strTarget, "the pack");
    GiveBackKeptCopy(m_lists.replacedFiles, strTarget);
    EXPECT_EQ(ReadText(strTarget), kOldContent);
    EXPECT_TRUE(m_lists.replacedFiles.empty());
}

// A package without a directory table still puts its files in their folders, and the
// folders it had to make are removed with it.
TEST_F(PlaceFile, MissingFolderOfATargetIsCreatedAndRecorded)
{
    Place(MakeRecord(Destination, "Sub\\Deep", "readme.txt", 0));
    EXPECT_EQ(ReadText(InDestination("Sub\\Deep\\readme.txt")), kNewContent);
    EXPECT_EQ(m_lists.createdFolders, (std::vector<std::string>{InDestination("Sub"), InDestination("Sub\\Deep")}));
    EXPECT_TRUE(m_lists.deferredReplacements.empty());
    EXPECT_EQ(m_config.m_bRestartNeeded, 0);
}

TEST_F(PlaceFile, FolderOfATargetThatCannotBeCreatedFailsTheRun)
{
    WriteText(InDestination("Blocked"), kOldContent);
    ExpectSetupFailure(PHASE_FOLDERS, CAUSE_CREATE_FOLDER,
                       [&] { Place(MakeRecord(Destination, "Blocked\\Deep", "readme.txt", 0)); });
    EXPECT_TRUE(m_lists.placedFiles.empty());
    EXPECT_TRUE(m_lists.deferredReplacements.empty());
}

TEST_F(PlaceFile, PendingCopyThatCannotBeWrittenEndsTheSetup)
{
    const std::string strTarget = InDestination("aurora.scr");
    WriteText(strTarget, kOldContent);
    CHolderProcess holder(strTarget);
    ASSERT_TRUE(holder.IsHolding());
    const CTempPathOverride missingTemp(m_base.File("no such folder"));
    ExpectSetupFailure(PHASE_FILES, CAUSE_FILE_ERROR,
                       [&] { Place(MakeRecord(Destination, "", "aurora.scr", Screensaver)); });
    EXPECT_TRUE(m_lists.placedFiles.empty());
    EXPECT_TRUE(m_lists.deferredReplacements.empty());
    EXPECT_EQ(m_config.m_bRestartNeeded, 0);
}

TEST_F(PlaceFile, RecordThatNamesNoPlaceBelowItsRootIsRefused)
{
    struct Case {
        FileRecord record;
        unsigned nCause;
    };
    const Case kCases[] = {
        {MakeRecord(Destination, "..\\..\\..", "escape.txt", Shared), CAUSE_DAMAGED},
        {MakeRecord(Destination, "Data", "..\\..\\..\\..\\escape.txt", Screensaver), CAUSE_DAMAGED},
        {MakeRecord(Destination, "Data\\..\\..\\..\\..", "escape.txt", Config), CAUSE_DAMAGED},
        {MakeRecord(0, "", "escape.txt", Shared), CAUSE_UNEXPECTED},
        // A target the uninstall log could not name whole.
        {MakeRecord(Destination, std::string(240, 'd').c_str(), "long.txt", Shared), CAUSE_UNEXPECTED},
    };
    CMessageBoxRecorder boxes;
    for (const Case& c : kCases) {
        SCOPED_TRACE(FieldText(c.record.folder) + " | " + FieldText(c.record.fileName));
        ExpectSetupFailure(PHASE_FILES, c.nCause, [&] { Place(c.record); });
    }
    EXPECT_FALSE(FileExists(m_base.File("escape.txt")));
    const CInstallationLists untouched;
    EXPECT_EQ(m_lists.sharedFiles, untouched.sharedFiles);
    EXPECT_EQ(m_lists.placedFiles, untouched.placedFiles);
    EXPECT_EQ(m_lists.m_strScreensaverPath, untouched.m_strScreensaverPath);
    EXPECT_EQ(m_lists.m_strConfigPath, untouched.m_strConfigPath);
    EXPECT_EQ(Steps(), 0u);
    EXPECT_TRUE(boxes.m_boxes.empty());
}

TEST_F(PlaceFile, CancelBeforeTheCopyWritesNothing)
{
    SetEvent(m_link.m_hCancelEvent.Get());
    ExpectCancelled([&] { Place(MakeRecord(Destination, "", "aurora.scr", Screensaver)); });
    EXPECT_EQ(m_link.m_nCancelChecks, 1u);
    EXPECT_FALSE(FileExists(InDestination("aurora.scr")));
    EXPECT_TRUE(m_lists.placedFiles.empty());
    EXPECT_EQ(Steps(), 0u);
}
