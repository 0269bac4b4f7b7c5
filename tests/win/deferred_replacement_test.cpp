// Replacement at the next start: wininit.ini lines for Windows 9x, delayed moves elsewhere.
// Every test works in a folder of its own that stands in for the Windows folder, and takes
// its own moves out of the system's list again.
#include "app/setup_config.h"
#include "engine/deferred_entry.h"
#include "engine/deferred_replacement.h"
#include "engine/file_helpers.h"
#include "engine/installation_lists.h"
#include "engine/registry_before_image.h"
#include "engine/replaced_files.h"
#include "framework/handle.h"
#include "sys/my_exception.h"
#include "tests/win/fault_table/fault_table.h"
#include "tests/win/pending_moves.h"
#include "tests/win/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

namespace {
std::string ShortPath(const std::string& strPath)
{
    char szShort[MAX_PATH] = "";
    EXPECT_GT(GetShortPathNameA(strPath.c_str(), szShort, sizeof szShort), 0u) << strPath;
    return szShort;
}

// The system's whole list of operations at the next start, zeros and all: a delete's empty
// target ends the list for PendingMoves.
std::string PendingText()
{
    CRegKey key;
    std::string strData(64 * 1024, '\0');
    DWORD nSize = static_cast<DWORD>(strData.size());
    if (key.Open(HKEY_LOCAL_MACHINE, kSessionManager, KEY_QUERY_VALUE) != ERROR_SUCCESS ||
        key.QueryValue(kPendingMoves, nullptr, &strData[0], nSize) != ERROR_SUCCESS)
        return std::string();
    strData.resize(nSize);
    return strData;
}

void SetPendingText(const std::string& strData)
{
    CRegKey key;
    ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, kSessionManager, KEY_SET_VALUE), ERROR_SUCCESS);
    if (strData.empty())
        key.DeleteValue(kPendingMoves);
    else
        key.SetValue(kPendingMoves, REG_MULTI_SZ, strData.data(), static_cast<DWORD>(strData.size()));
}

std::string ReadWhole(const std::string& strPath)
{
    std::ifstream file(strPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}
} // namespace

class DeferredReplacement : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_config.m_bRestartNeeded = 1;
        CreateDirectoryA(m_strWindows.c_str(), nullptr);
        CreateDirectoryA(m_strPrograms.c_str(), nullptr);
        for (int i = 0; i < 2; ++i) {
            m_strPending[i] = m_folder.File("pending" + std::to_string(i) + "copy.tmp");
            m_strTarget[i] = m_strPrograms + "\\Lumidrop Saver Module " + std::to_string(i) + ".scr";
            ASSERT_TRUE(WriteWholeFile(m_strPending[i], "new", 3));
            ASSERT_TRUE(WriteWholeFile(m_strTarget[i], "old", 3));
            m_lists.deferredReplacements.push_back(MakeDeferredEntry(m_strPending[i], m_strTarget[i]));
        }
    }

    void TearDown() override { ForgetMovesFrom(ShortPath(m_folder.Path())); }

    static void ExpectFileError(CSetupException* pError)
    {
        EXPECT_EQ(pError->m_nPhaseMessage, CSetupException::PhaseMessage(PHASE_FILES));
        EXPECT_EQ(pError->m_nCauseMessage, CSetupException::CauseMessage(CAUSE_FILE_ERROR));
        pError->Delete();
    }

    std::string Line(int i) const { return "\r\n" + ShortPath(m_strTarget[i]) + "=" + ShortPath(m_strPending[i]); }

    CTempFolder m_folder;
    const std::string m_strWindows = m_folder.File("WINDOWS");
    const std::string m_strPrograms = m_folder.File("Program Files");
    const std::string m_strIni = m_strWindows + "\\wininit.ini";
    std::string m_strPending[2];
    std::string m_strTarget[2];
    void Schedule(const std::string& strWindows)
    {
        ScheduleDeferredReplacements(m_config, strWindows, {m_lists, m_strTemp});
    }

    CInstallationLists m_lists;
    const std::string m_strTemp = m_folder.File("");
    CSetupConfig m_config;
};

TEST_F(DeferredReplacement, Win9xWithoutWininitCreatesItWithTheRenameSection)
{
    m_config.m_bWin9x = 1;
    Schedule(m_strWindows);
    EXPECT_EQ(ReadWhole(m_strIni), "[rename]" + Line(0) + Line(1));
}

// The lines belong to a [rename] section: appended to one that ends the file, else to a
// new one, never to whatever other section stands last.
TEST_F(DeferredReplacement, Win9xLinesGoIntoARenameSectionThatEndsTheFile)
{
    m_config.m_bWin9x = 1;
    const struct {
        const char* pszBefore;
        const char* pszAdded;
    } kCases[] = {
        {"[CombineVxDs]\r\nvxd=1\r\n[Rename]\r\nNUL=C:\\OLD.TMP", ""},
        {"[rename]\r\nNUL=C:\\OLD.TMP\r\n\r\n[CombineVxDs]\r\nvxd=1", "\r\n[rename]"},
        {"[CombineVxDs]\r\nvxd=1", "\r\n[rename]"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.pszBefore);
        const std::string strBefore = c.pszBefore;
        ASSERT_TRUE(WriteWholeFile(m_strIni, strBefore.data(), static_cast<DWORD>(strBefore.size())));
        m_lists.m_bWininitKept = false;
        Schedule(m_strWindows);
        EXPECT_EQ(ReadWhole(m_strIni), strBefore + c.pszAdded + Line(0) + Line(1));
    }
}

TEST_F(DeferredReplacement, Win9xWininitThatCannotBeWrittenFailsTheRun)
{
    m_config.m_bWin9x = 1;
    const std::string strBefore = "[rename]";
    ASSERT_TRUE(WriteWholeFile(m_strIni, strBefore.data(), static_cast<DWORD>(strBefore.size())));
    struct Case {
        const char* pszWhat;
        std::string strWindows;
        bool bHoldIni;
    };
    const Case kCases[] = {
        {"held open by another program", m_strWindows, true},
        {"in a folder that does not exist", m_folder.File("NOWINDOWS"), false},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.pszWhat);
        CHandle held;
        if (c.bHoldIni)
            held.Reset(CreateFileA(m_strIni.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        try {
            Schedule(c.strWindows);
            ADD_FAILURE() << "no exception";
        } catch (CSetupException* pError) {
            ExpectFileError(pError);
        }
    }
    EXPECT_EQ(ReadWhole(m_strIni), strBefore);
}

TEST_F(DeferredReplacement, NothingHappensWithoutANeedToRestart)
{
    const std::string strFolder = ShortPath(m_folder.Path());
    m_config.m_bRestartNeeded = 0;
    for (BOOL bWin9x : {TRUE, FALSE}) {
        m_config.m_bWin9x = bWin9x;
        Schedule(m_strWindows);
        EXPECT_FALSE(FileExists(m_strIni)) << bWin9x;
        for (const std::string& strText : PendingMoves())
            EXPECT_EQ(strText.find(strFolder), std::string::npos) << strText;
    }
}

TEST_F(DeferredReplacement, NtRegistersADelayedMoveOverEachTargetInUse)
{
    const CHandle held(CreateFileA(m_strTarget[0].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.IsValid());
    Schedule(m_strWindows);

    // A move with replace-existing is stored as the source, then "!" and the target.
    std::vector<std::string> vecOurs;
    for (int i = 0; i < 2; ++i) {
        vecOurs.push_back("\\??\\" + ShortPath(m_strPending[i]));
        vecOurs.push_back("!\\??\\" + ShortPath(m_strTarget[i]));
    }
    const std::vector<std::string> vecMoves = PendingMoves();
    const auto itFirst = std::find(vecMoves.begin(), vecMoves.end(), vecOurs[0]);
    ASSERT_NE(itFirst, vecMoves.end());
    ASSERT_GE(vecMoves.end() - itFirst, 4);
    EXPECT_EQ(std::vector<std::string>(itFirst, itFirst + 4), vecOurs);
    EXPECT_FALSE(FileExists(m_strIni));
    EXPECT_EQ(ReadWhole(m_strPending[0]), "new");
}

// A move the system refuses would leave the file as it is while the run reports a restart:
// the run fails, and what it scheduled before is given back by the roll-back.
TEST_F(DeferredReplacement, NtMoveTheSystemRefusesFailsTheRunAndTheRollBackForgetsTheOthers)
{
    ArmFault(FaultKind::DelayedMove, FaultCallCount(FaultKind::DelayedMove) + 2);
    try {
        Schedule(m_strWindows);
        ADD_FAILURE() << "no exception";
    } catch (CSetupException* pError) {
        ExpectFileError(pError);
    }
    const std::string strFirst = "\\??\\" + ShortPath(m_strPending[0]);
    const std::vector<std::string> vecScheduled = PendingMoves();
    ASSERT_NE(std::find(vecScheduled.begin(), vecScheduled.end(), strFirst), vecScheduled.end());
    GiveBackRegistry(m_lists.registryBefore);
    const std::vector<std::string> vecLeft = PendingMoves();
    EXPECT_EQ(std::find(vecLeft.begin(), vecLeft.end(), strFirst), vecLeft.end());
}

// An older uninstaller left deletes at the next start for files it could not remove: the
// one for the file just placed goes, every other operation stays, and a roll-back brings
// it back.
TEST_F(DeferredReplacement, PendingDeleteOfAPlacedTargetIsTakenBack)
{
    const std::string strDelete[2] = {ShortPath(m_strTarget[0]), ShortPath(m_strTarget[1])};
    for (BOOL bWin9x : {TRUE, FALSE}) {
        SCOPED_TRACE(bWin9x);
        m_config.m_bWin9x = bWin9x;
        m_lists = CInstallationLists();
        const std::string strSystemBefore = PendingText();
        const std::string strIni = "[rename]\r\nNUL=" + strDelete[0] + "\r\nNUL=" + strDelete[1] + "\r\n";
        if (bWin9x) {
            ASSERT_TRUE(WriteWholeFile(m_strIni, strIni.data(), static_cast<DWORD>(strIni.size())));
        } else {
            for (const std::string& strPath : strDelete)
                ASSERT_TRUE(MoveFileExA(strPath.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
        }
        DropPendingDeletes(m_config, m_strWindows, m_strTarget[0], {m_lists, m_strTemp});
        const std::string strAfter = bWin9x ? ReadWhole(m_strIni) : PendingText();
        EXPECT_EQ(strAfter.find(strDelete[0]), std::string::npos);
        EXPECT_NE(strAfter.find(strDelete[1]), std::string::npos);

        RestoreReplacedFiles(m_lists.replacedFiles);
        GiveBackRegistry(m_lists.registryBefore);
        EXPECT_NE((bWin9x ? ReadWhole(m_strIni) : PendingText()).find(strDelete[0]), std::string::npos);
        DeleteFileA(m_strIni.c_str());
        SetPendingText(strSystemBefore);
    }
}
