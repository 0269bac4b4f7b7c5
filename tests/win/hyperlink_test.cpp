// The web-link control on the main dialog's template: what it shows once bound to
// control 1021, its colours, cursor and tooltip, and what a click opens, through an
// opener that starts nothing.
#include "framework/data_exchange.h"
#include "framework/dialog.h"
#include "framework/exception.h"
#include "res/resource.h"
#include "tests/common/message_box_recorder.h"
#include "tests/win/registry_scratch.h"
#include "ui/hyperlink.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {
// Answers every click with the next of its results, and keeps what it was asked. Its
// classes root is an empty scratch key: a failure finds no handler to fall back on.
class CScriptedOpener : public CLinkOpener {
public:
    CScriptedOpener() : CLinkOpener(EmptyClasses().Get()) {}

    std::vector<int> m_vecResults;
    std::vector<std::pair<std::string, int>> m_vecCalls;
    bool m_bThrow = false;

protected:
    int ShellOpen(const std::string& strAddress, int nShowCmd) override
    {
        m_vecCalls.emplace_back(strAddress, nShowCmd);
        if (m_bThrow)
            throw new CException;
        const int nResult = m_vecResults.empty() ? 0 : m_vecResults.front();
        if (!m_vecResults.empty())
            m_vecResults.erase(m_vecResults.begin());
        return nResult;
    }
    int RunCommandLine(const std::string&, int) override
    {
        ADD_FAILURE() << "no handler is registered";
        return 0;
    }

private:
    static const CScratchKey& EmptyClasses()
    {
        static const CScratchKey s_classes("Hyperlink classes");
        return s_classes;
    }
};

// The main dialog's template, modeless, with the link bound through data exchange.
class CLinkDialog : public CDialog {
public:
    CLinkDialog() : CDialog(IDD_SETUP) {}
    std::unique_ptr<CLinkLabel> m_pLink = std::make_unique<CLinkLabel>();

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_WEB_LINK, *m_pLink); }
};

RECT RectInParent(HWND hWnd)
{
    RECT rect;
    GetWindowRect(hWnd, &rect);
    MapWindowPoints(nullptr, GetParent(hWnd), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

SIZE TextExtent(HWND hWnd, const std::string& strText)
{
    HDC hDC = GetDC(hWnd);
    HGDIOBJ hOld = SelectObject(hDC, reinterpret_cast<HGDIOBJ>(SendMessageA(hWnd, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    GetTextExtentPoint32A(hDC, strText.c_str(), static_cast<int>(strText.size()), &extent);
    SelectObject(hDC, hOld);
    ReleaseDC(hWnd, hDC);
    return extent;
}

LOGFONTA FontOf(HWND hWnd)
{
    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HGDIOBJ>(SendMessageA(hWnd, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

class Hyperlink : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dialog.Create(IDD_SETUP));
        m_hControl = m_dialog.GetDlgItem(IDC_WEB_LINK);
        m_strTemplateText = m_dialog.GetDlgItemText(IDC_WEB_LINK);
        m_templateRect = RectInParent(m_hControl);
        m_templateFont = FontOf(m_hControl);
        ASSERT_TRUE(m_dialog.UpdateData(FALSE));
        ASSERT_EQ(Link().m_hWnd, m_hControl);
        Link().SetOpener(&m_opener);
    }

    CLinkLabel& Link() { return *m_dialog.m_pLink; }

    // The text colour the control's parent answers when the control is about to paint,
    // with the brush and the background mode.
    COLORREF PaintColour(HBRUSH* phBrush = nullptr, int* pnMode = nullptr)
    {
        HDC hDC = CreateCompatibleDC(nullptr);
        const LRESULT lBrush = SendMessageA(m_dialog.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hDC),
                                            reinterpret_cast<LPARAM>(m_hControl));
        const COLORREF colour = GetTextColor(hDC);
        if (phBrush != nullptr)
            *phBrush = reinterpret_cast<HBRUSH>(lBrush);
        if (pnMode != nullptr)
            *pnMode = GetBkMode(hDC);
        DeleteDC(hDC);
        return colour;
    }

    void Click() { SendMessageA(m_hControl, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1)); }

    // No real box ever: a click that fails by mistake is seen, not waited on.
    CMessageBoxRecorder m_recorder;
    CLinkDialog m_dialog;
    CScriptedOpener m_opener;
    HWND m_hControl = nullptr;
    std::string m_strTemplateText;
    RECT m_templateRect = {};
    LOGFONTA m_templateFont = {};
};
} // namespace

TEST_F(Hyperlink, ShowsItsAddressUnderlinedAndFittedToTheText)
{
    EXPECT_EQ(Link().GetAddress(), m_strTemplateText);
    EXPECT_EQ(m_dialog.GetDlgItemText(IDC_WEB_LINK), m_strTemplateText);
    EXPECT_NE(GetWindowLongPtrA(m_hControl, GWL_STYLE) & SS_NOTIFY, 0);

    const LOGFONTA font = FontOf(m_hControl);
    EXPECT_TRUE(font.lfUnderline);
    EXPECT_EQ(font.lfHeight, m_templateFont.lfHeight);
    EXPECT_STREQ(font.lfFaceName, m_templateFont.lfFaceName);

    const SIZE extent = TextExtent(m_hControl, m_strTemplateText);
    const RECT rect = RectInParent(m_hControl);
    EXPECT_EQ(rect.left, m_templateRect.left);
    EXPECT_EQ(rect.top, m_templateRect.top);
    EXPECT_EQ(rect.right - rect.left, extent.cx);
    EXPECT_EQ(rect.bottom - rect.top, extent.cy);
}

TEST_F(Hyperlink, TheTooltipShowsTheAddressOverTheFittedControl)
{
    HWND hTip = Link().GetToolTip();
    ASSERT_TRUE(IsWindow(hTip));
    char szClass[64] = "";
    GetClassNameA(hTip, szClass, sizeof szClass);
    EXPECT_STREQ(szClass, TOOLTIPS_CLASSA);
    EXPECT_EQ(SendMessageA(hTip, TTM_GETTOOLCOUNT, 0, 0), 1);

    char szText[256] = "";
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = m_hControl;
    tool.uId = 1;
    tool.lpszText = szText;
    ASSERT_TRUE(SendMessageA(hTip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)));
    RECT client;
    GetClientRect(m_hControl, &client);
    EXPECT_TRUE(EqualRect(&tool.rect, &client));
    EXPECT_EQ(std::string(szText), m_strTemplateText);
}

// The tooltip learns of the mouse only from what the control relays to it.
TEST_F(Hyperlink, TheTooltipAppearsWhileTheMouseRestsOnTheLink)
{
    RECT rect;
    GetWindowRect(m_hControl, &rect);
    SetCursorPos(rect.left + 2, rect.top + 2);
    SendMessageA(m_hControl, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    for (int nTry = 0; nTry < 150 && !IsWindowVisible(Link().GetToolTip()); ++nTry) {
        Sleep(20);
        Pump();
    }
    EXPECT_TRUE(IsWindowVisible(Link().GetToolTip()));
}

TEST_F(Hyperlink, ColourFollowsHoverAndVisited)
{
    EXPECT_EQ(Link().m_crLinkColour, RGB(0, 0, 238));
    EXPECT_EQ(Link().m_crVisitedColour, RGB(85, 26, 139));
    EXPECT_EQ(Link().m_crHoverColour, GetSysColor(COLOR_HIGHLIGHT));

    HBRUSH hBrush = nullptr;
    int nMode = 0;
    EXPECT_EQ(PaintColour(&hBrush, &nMode), Link().m_crLinkColour);
    EXPECT_EQ(hBrush, GetStockObject(NULL_BRUSH));
    EXPECT_EQ(nMode, TRANSPARENT);
    Link().SetVisited(TRUE);
    EXPECT_EQ(PaintColour(), Link().m_crVisitedColour);

    // The mouse comes over the control: hover colour, whatever the visited flag, and the
    // control holds the mouse to see it leave.
    SendMessageA(m_hControl, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(PaintColour(), Link().m_crHoverColour);
    EXPECT_EQ(GetCapture(), m_hControl);
    SendMessageA(m_hControl, WM_MOUSEMOVE, 0, MAKELPARAM(3, 2));
    EXPECT_EQ(PaintColour(), Link().m_crHoverColour);
    const short nLeft = -4;
    SendMessageA(m_hControl, WM_MOUSEMOVE, 0, MAKELPARAM(nLeft, 2));
    EXPECT_EQ(PaintColour(), Link().m_crVisitedColour);
    EXPECT_EQ(GetCapture(), nullptr);
    Link().SetVisited(FALSE);
    EXPECT_EQ(PaintColour(), Link().m_crLinkColour);
}

TEST_F(Hyperlink, AClickOpensTheAddressAndAFailureIsReported)
{
    m_opener.m_vecResults = {42, 31};
    Click();
    ASSERT_EQ(m_opener.m_vecCalls.size(), 1u);
    EXPECT_EQ(m_opener.m_vecCalls[0].first, m_strTemplateText);
    EXPECT_EQ(m_opener.m_vecCalls[0].second, SW_SHOW);
    EXPECT_TRUE(Link().GetVisited());
    EXPECT_EQ(PaintColour(), Link().m_crVisitedColour);
    EXPECT_TRUE(m_recorder.m_boxes.empty());

    // A later failure turns it back into an unvisited link, with one box.
    Click();
    EXPECT_EQ(m_opener.m_vecCalls.size(), 2u);
    EXPECT_FALSE(Link().GetVisited());
    EXPECT_EQ(PaintColour(), Link().m_crLinkColour);
    ASSERT_EQ(m_recorder.m_boxes.size(), 1u);
    EXPECT_EQ(m_recorder.m_boxes[0].strText, "Unable to open hyperlink:\n\n" + CLinkOpener::DescribeResult(31));
    EXPECT_EQ(m_recorder.m_boxes[0].nStyle, static_cast<unsigned>(MB_ICONEXCLAMATION));
}

TEST_F(Hyperlink, AnExceptionInAClickStopsAtTheControl)
{
    m_opener.m_bThrow = true;
    Click();
    EXPECT_EQ(m_opener.m_vecCalls.size(), 1u);
    ASSERT_EQ(m_recorder.m_boxes.size(), 1u);
    EXPECT_EQ(m_recorder.m_boxes[0].nStyle, static_cast<unsigned>(MB_ICONHAND));
    EXPECT_TRUE(IsWindow(m_hControl));
}

TEST_F(Hyperlink, TheCursorIsAHand)
{
    ASSERT_NE(Link().GetLinkCursor(), nullptr);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(SendMessageA(m_hControl, WM_SETCURSOR, reinterpret_cast<WPARAM>(m_hControl), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(GetCursor(), Link().GetLinkCursor());
}

// The real mouse: a static text without SS_NOTIFY would let it through to the dialog.
TEST_F(Hyperlink, ARealClickReachesTheLink)
{
    m_opener.m_vecResults = {42};
    RECT rect;
    GetWindowRect(m_hControl, &rect);
    SetForegroundWindow(m_dialog.m_hWnd);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof inputs[0]);
    for (int nTry = 0; nTry < 50 && m_opener.m_vecCalls.empty(); ++nTry) {
        Sleep(20);
        Pump();
    }
    EXPECT_EQ(m_opener.m_vecCalls.size(), 1u);
    EXPECT_TRUE(Link().GetVisited());
}

TEST_F(Hyperlink, TheControlOutlivingTheLinkIsAPlainTextAgain)
{
    HFONT hLinkFont = reinterpret_cast<HFONT>(SendMessageA(m_hControl, WM_GETFONT, 0, 0));
    HWND hTip = Link().GetToolTip();
    m_dialog.m_pLink.reset();
    EXPECT_FALSE(IsWindow(hTip));
    EXPECT_NE(reinterpret_cast<HFONT>(SendMessageA(m_hControl, WM_GETFONT, 0, 0)), hLinkFont);
    EXPECT_FALSE(FontOf(m_hControl).lfUnderline);
    Click();
    EXPECT_TRUE(m_opener.m_vecCalls.empty());
}

TEST_F(Hyperlink, TheLinkLetsGoOfADestroyedControl)
{
    HWND hTip = Link().GetToolTip();
    HGDIOBJ hLinkFont = reinterpret_cast<HGDIOBJ>(SendMessageA(m_hControl, WM_GETFONT, 0, 0));
    DestroyWindow(m_hControl);
    EXPECT_EQ(Link().m_hWnd, nullptr);
    EXPECT_FALSE(IsWindow(hTip));
    LOGFONTA font;
    EXPECT_EQ(GetObjectA(hLinkFont, sizeof font, &font), 0) << "the link's font outlived its control";
}

// The link's other notifications and the dialog's other controls open nothing, and
// those controls keep their own colours.
TEST_F(Hyperlink, OnlyTheLinksClickOpensIt)
{
    SendMessageA(m_hControl, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(1, 1));
    EnableWindow(m_hControl, FALSE);
    EnableWindow(m_hControl, TRUE);
    HWND hStart = m_dialog.GetDlgItem(IDC_START);
    SendMessageA(m_dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED), reinterpret_cast<LPARAM>(hStart));
    EXPECT_TRUE(m_opener.m_vecCalls.empty());
    EXPECT_TRUE(m_recorder.m_boxes.empty());
    HDC hDC = CreateCompatibleDC(nullptr);
    const LRESULT lBrush = SendMessageA(m_dialog.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hDC),
                                        reinterpret_cast<LPARAM>(m_dialog.GetDlgItem(IDC_MAKER_LINE)));
    EXPECT_NE(GetTextColor(hDC), Link().m_crLinkColour);
    EXPECT_NE(reinterpret_cast<HGDIOBJ>(lBrush), GetStockObject(NULL_BRUSH));
    DeleteDC(hDC);
}

TEST(HyperlinkFit, FollowsTheAlignment)
{
    CDialog parent(IDD_SETUP);
    ASSERT_TRUE(parent.Create(IDD_SETUP));
    const RECT box = {10, 10, 210, 40};
    const struct {
        DWORD dwStyle;
        bool bCentreX, bRight, bCentreY;
    } cases[] = {
        {SS_LEFT, false, false, false},
        {SS_CENTER, true, false, false},
        {SS_RIGHT, false, true, false},
        {SS_LEFT | SS_CENTERIMAGE, false, false, true},
        {SS_CENTER | SS_CENTERIMAGE, true, false, true},
    };
    for (const auto& c : cases) {
        HWND hStatic = CreateWindowExA(0, "STATIC", "Lumidrop", WS_CHILD | WS_VISIBLE | c.dwStyle, box.left, box.top,
                                       box.right - box.left, box.bottom - box.top, parent.m_hWnd, nullptr, nullptr, nullptr);
        SendMessageA(hStatic, WM_SETFONT, SendMessageA(parent.m_hWnd, WM_GETFONT, 0, 0), FALSE);
        CLinkLabel link;
        ASSERT_TRUE(link.SubclassWindow(hStatic));
        const SIZE extent = TextExtent(hStatic, "Lumidrop");
        const LONG nSpareX = (box.right - box.left - extent.cx) / 2, nSpareY = (box.bottom - box.top - extent.cy) / 2;
        RECT expected = box;
        if (c.bCentreX) {
            expected.left += nSpareX;
            expected.right -= nSpareX;
        } else if (c.bRight) {
            expected.left = box.right - extent.cx;
        } else {
            expected.right = box.left + extent.cx;
        }
        if (c.bCentreY) {
            expected.top += nSpareY;
            expected.bottom -= nSpareY;
        } else {
            expected.bottom = box.top + extent.cy;
        }
        const RECT rect = RectInParent(hStatic);
        EXPECT_TRUE(EqualRect(&rect, &expected))
            << std::hex << c.dwStyle << std::dec << ": " << rect.left << "," << rect.top << "," << rect.right << ","
            << rect.bottom << " instead of " << expected.left << "," << expected.top << "," << expected.right << ","
            << expected.bottom;
        DestroyWindow(hStatic);
    }
}
