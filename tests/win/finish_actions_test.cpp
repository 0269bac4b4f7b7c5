// The finish step's four outcomes: the RunOnce value for properties after a restart, the
// properties at once, the restart, nothing; written to the real registry, programs and
// restarts recorded.
#include "app/finish_actions.h"
#include "app/setup_config.h"
#include "framework/reg_key.h"
#include "tests/win/run_once_value.h"
#include "tests/win/setup_dialog_harness.h"

#include <gtest/gtest.h>

TEST(FinishActions, EachPairOfChoicesHasItsOutcome)
{
    struct Case {
        BOOL bRestart, bShowProperties, bWin9x;
        bool bRunOnce, bStarted, bRestarted;
    };
    const Case kCases[] = {
        {FALSE, FALSE, FALSE, false, false, false},
        {FALSE, TRUE, FALSE, false, true, false},
        {TRUE, FALSE, FALSE, false, false, true},
        {TRUE, TRUE, FALSE, true, false, true},
        {TRUE, FALSE, TRUE, false, false, true},
    };
    ASSERT_EQ(TakeRunOnceValue(), "");
    for (const Case& c : kCases) {
        CSetupConfig config;
        config.m_bRestart = c.bRestart;
        config.m_bShowProperties = c.bShowProperties;
        config.m_bWin9x = c.bWin9x;
        CRecordedFinishActions actions;
        CarryOutFinishChoices(config, actions);
        const std::string strRow = std::to_string(c.bRestart) + std::to_string(c.bShowProperties);
        EXPECT_EQ(TakeRunOnceValue(), c.bRunOnce ? kPropertiesCommand : "") << strRow;
        EXPECT_EQ(actions.m_started, c.bStarted ? std::vector<std::string>{kPropertiesCommand} : std::vector<std::string>{})
            << strRow;
        EXPECT_EQ(actions.m_restarts.size(), c.bRestarted ? 1u : 0u) << strRow;
        // The shutdown privilege is the NT family's.
        if (!actions.m_restarts.empty()) {
            EXPECT_EQ(actions.m_restarts[0], !c.bWin9x) << strRow;
        }
    }
}

TEST(FinishActions, RunOnceIsAStringOfTheCommandWithItsZero)
{
    CSetupConfig config;
    config.m_bRestart = TRUE;
    config.m_bShowProperties = TRUE;
    CRecordedFinishActions actions;
    CarryOutFinishChoices(config, actions);
    CRegKey key;
    ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, kRunOnceKey, KEY_READ), ERROR_SUCCESS);
    DWORD nType = 0;
    char szData[MAX_PATH] = "";
    DWORD nSize = sizeof szData;
    EXPECT_EQ(key.QueryValue(kRunOnceValue, &nType, szData, nSize), ERROR_SUCCESS);
    EXPECT_EQ(nType, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(nSize, std::string(kPropertiesCommand).size() + 1);
    EXPECT_EQ(TakeRunOnceValue(), kPropertiesCommand);
}
