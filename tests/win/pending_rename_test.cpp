// A target in use, replaced at the next start: its pending copy is scheduled as a delayed
// move, the program holding it ends, and Wine's restart (wineboot -r) performs the move.
// The restart performs every move of the prefix, so this program runs alone.
#include "engine/deferred_replacement.h"
#include "engine/file_helpers.h"
#include "engine/folder_tree.h"
#include "engine/short_path.h"
#include "tests/win/holder_process.h"
#include "tests/win/pending_moves.h"
#include "tests/win/placement_fixture.h"

#include <algorithm>

namespace {
bool RunsUnderWine()
{
    const HMODULE hNtdll = GetModuleHandleA("ntdll.dll");
    return hNtdll != nullptr && GetProcAddress(hNtdll, "wine_get_version") != nullptr;
}

// What a restart does to the pending moves, within the running Wine session; the exit
// code, or -1 when wineboot did not start or end.
long RestartWine()
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string strCommand = "wineboot.exe -r";
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    const CHandle hProcess(process.hProcess);
    const CHandle hThread(process.hThread);
    DWORD nExitCode = 0;
    if (WaitForSingleObject(hProcess.Get(), 120000) != WAIT_OBJECT_0 || !GetExitCodeProcess(hProcess.Get(), &nExitCode))
        return -1;
    return static_cast<long>(nExitCode);
}

bool HasMoveFrom(const std::string& strSource)
{
    const std::vector<std::string> vecMoves = PendingMoves();
    return std::find(vecMoves.begin(), vecMoves.end(), "\\??\\" + strSource) != vecMoves.end();
}
} // namespace

class PendingRename : public CPlacementTest {
protected:
    void TearDown() override
    {
        // A failure before the restart must not leave our move to the prefix's next start.
        if (!m_strShortPending.empty())
            ForgetMovesFrom(m_strShortPending);
    }

    std::string m_strShortPending;
};

TEST_F(PendingRename, HeldTargetIsReplacedAtTheNextStart)
{
    if (!RunsUnderWine())
        GTEST_SKIP() << "a restart is performed only under Wine";
    ASSERT_TRUE(CreateFolderTree(m_strDestination));
    const std::string strTarget = m_strDestination + "\\aurora.scr";
    WriteText(strTarget, kOldContent);
    CHolderProcess holder(strTarget);
    ASSERT_TRUE(holder.IsHolding());
    Place(MakeRecord(Destination, "", "aurora.scr", Screensaver));
    ASSERT_EQ(m_config.m_bRestartNeeded, 1);
    ASSERT_EQ(m_lists.deferredReplacements.size(), 1u);
    std::string strPending;
    std::string strEntryTarget;
    SplitDeferredEntry(m_lists.deferredReplacements[0], strPending, strEntryTarget);
    m_strShortPending = ShortPathOf(strPending);

    ScheduleDeferredReplacements(m_config, m_base.File("Windows"), {m_lists, m_strRunFolder});
    EXPECT_TRUE(HasMoveFrom(m_strShortPending));
    // A move over a file still held fails at the restart, and the list is dropped all the same.
    holder.End();
    EXPECT_EQ(ReadText(strTarget), kOldContent);

    ASSERT_EQ(RestartWine(), 0);
    EXPECT_EQ(ReadText(strTarget), kNewContent);
    EXPECT_FALSE(FileExists(strPending));
    EXPECT_FALSE(HasMoveFrom(m_strShortPending));
}

// An older installation's uninstaller could not delete a file in use and left its delete to
// the next start; the new installation writes the file at the same place before that start.
TEST_F(PendingRename, PlacedFileSurvivesAnOlderUninstallersDeleteAtTheNextStart)
{
    if (!RunsUnderWine())
        GTEST_SKIP() << "a restart is performed only under Wine";
    ASSERT_TRUE(CreateFolderTree(m_strDestination));
    const std::string strTarget = m_strDestination + "\\aurora.scr";
    WriteText(strTarget, kOldContent);
    m_strShortPending = ShortPathOf(strTarget);
    ASSERT_TRUE(MoveFileExA(m_strShortPending.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    Place(MakeRecord(Destination, "", "aurora.scr", Screensaver));
    ASSERT_EQ(m_config.m_bRestartNeeded, 0);

    ASSERT_EQ(RestartWine(), 0);
    EXPECT_EQ(ReadText(strTarget), kNewContent);
}
