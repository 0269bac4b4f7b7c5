// Message maps: which handler a message or command reaches, walking from the most
// derived class to the base.
#include "framework/cmd_ui.h"
#include "framework/wnd.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
constexpr UINT WM_TEST_PING = WM_APP + 7;

class CBaseTarget : public CWnd {
public:
    std::vector<std::string> m_calls;

protected:
    void OnBaseOnly() { m_calls.push_back("base:1001"); }
    void OnShared() { m_calls.push_back("base:1002"); }
    LRESULT OnPing(WPARAM wParam, LPARAM lParam)
    {
        m_calls.push_back("base:ping");
        return static_cast<LRESULT>(wParam + static_cast<WPARAM>(lParam));
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseTarget, CWnd)
ON_BN_CLICKED(1001, OnBaseOnly)
ON_BN_CLICKED(1002, OnShared)
ON_MESSAGE(WM_TEST_PING, OnPing)
END_MESSAGE_MAP()

class CDerivedTarget : public CBaseTarget {
public:
    void OnDestroy() { m_calls.push_back("derived:destroy"); }
    void OnShowWindow(BOOL bShow, UINT nStatus)
    {
        m_calls.push_back("derived:show " + std::to_string(bShow) + " " + std::to_string(nStatus));
    }

protected:
    void OnShared2() { m_calls.push_back("derived:1002"); }
    void OnChange() { m_calls.push_back("derived:change 1003"); }
    void OnUpdate1004(CCmdUI* pCmdUI) { m_calls.push_back("derived:update " + std::to_string(pCmdUI->m_nIndex)); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedTarget, CBaseTarget)
ON_BN_CLICKED(1002, OnShared2)
ON_CONTROL(EN_CHANGE, 1003, OnChange)
ON_WM_DESTROY()
ON_WM_SHOWWINDOW()
ON_UPDATE_COMMAND_UI(1004, OnUpdate1004)
END_MESSAGE_MAP()

WPARAM Command(WORD nId, WORD nCode)
{
    return MAKEWPARAM(nId, nCode);
}
} // namespace

TEST(MessageMap, DerivedEntryWinsOverBase)
{
    CDerivedTarget target;
    LRESULT lResult = -1;
    EXPECT_TRUE(target.OnWndMsg(WM_COMMAND, Command(1002, BN_CLICKED), 0, &lResult));
    EXPECT_EQ(target.m_calls, std::vector<std::string>{"derived:1002"});
}

TEST(MessageMap, BaseEntryReachedThroughDerived)
{
    CDerivedTarget target;
    LRESULT lResult = -1;
    EXPECT_TRUE(target.OnWndMsg(WM_COMMAND, Command(1001, BN_CLICKED), 0, &lResult));
    EXPECT_TRUE(target.OnWndMsg(WM_TEST_PING, 40, 2, &lResult));
    EXPECT_EQ(lResult, 42);
    EXPECT_EQ(target.m_calls, (std::vector<std::string>{"base:1001", "base:ping"}));
}

TEST(MessageMap, CommandsMatchIdAndNotification)
{
    CDerivedTarget target;
    LRESULT lResult = 0;
    // A click on 1003 and a change of 1001 have no entries; neither has an unknown id.
    EXPECT_FALSE(target.OnWndMsg(WM_COMMAND, Command(1003, BN_CLICKED), 0, &lResult));
    EXPECT_FALSE(target.OnWndMsg(WM_COMMAND, Command(1001, EN_CHANGE), 0, &lResult));
    EXPECT_FALSE(target.OnWndMsg(WM_COMMAND, Command(1999, BN_CLICKED), 0, &lResult));
    EXPECT_TRUE(target.m_calls.empty());
    EXPECT_TRUE(target.OnWndMsg(WM_COMMAND, Command(1003, EN_CHANGE), 0, &lResult));
    EXPECT_EQ(target.m_calls, std::vector<std::string>{"derived:change 1003"});
}

TEST(MessageMap, NotificationsLeaveDefaultHandlingToTheSystem)
{
    CDerivedTarget target;
    LRESULT lResult = 0;
    EXPECT_FALSE(target.OnWndMsg(WM_SHOWWINDOW, TRUE, SW_PARENTOPENING, &lResult));
    EXPECT_FALSE(target.OnWndMsg(WM_DESTROY, 0, 0, &lResult));
    EXPECT_EQ(target.m_calls, (std::vector<std::string>{"derived:show 1 3", "derived:destroy"}));
}

TEST(MessageMap, UnmappedMessageIsNotHandled)
{
    CBaseTarget target;
    LRESULT lResult = 0;
    EXPECT_FALSE(target.OnWndMsg(WM_SHOWWINDOW, TRUE, 0, &lResult));
    EXPECT_FALSE(target.OnWndMsg(WM_DESTROY, 0, 0, &lResult));
    EXPECT_TRUE(target.m_calls.empty());
}

TEST(MessageMap, CommandUpdateGoesByControlId)
{
    CDerivedTarget target;
    CCmdUI forOther(1001, 0, nullptr);
    EXPECT_FALSE(target.OnCmdUpdate(&forOther));
    CCmdUI forMapped(1004, 5, nullptr);
    EXPECT_TRUE(target.OnCmdUpdate(&forMapped));
    EXPECT_EQ(target.m_calls, std::vector<std::string>{"derived:update 5"});
    // An update entry is no command handler.
    LRESULT lResult = 0;
    EXPECT_FALSE(target.OnWndMsg(WM_COMMAND, Command(1004, BN_CLICKED), 0, &lResult));
}
