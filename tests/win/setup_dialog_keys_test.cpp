// The keyboard in the main dialog and its pages: Enter never does anything, Enter and
// Esc never end a page, Esc on the main dialog's own controls acts like Finish, and Tab
// goes through the page's controls and the main dialog's buttons alike.
#include "res/resource.h"
#include "tests/common/message_box_recorder.h"
#include "tests/win/setup_dialog_harness.h"

#include <gtest/gtest.h>

namespace {
constexpr int kRunsOn = 77;

using WindowOf = HWND (*)(const CTestSetupDialog&);

HWND PathField(const CTestSetupDialog& dialog)
{
    return dialog.PathField();
}
HWND MainDialog(const CTestSetupDialog& dialog)
{
    return dialog.m_hWnd;
}
HWND StartButton(const CTestSetupDialog& dialog)
{
    return dialog.GetDlgItem(IDC_START);
}
HWND FinishButton(const CTestSetupDialog& dialog)
{
    return dialog.GetDlgItem(IDCANCEL);
}
HWND BrowseButton(const CTestSetupDialog& dialog)
{
    return GetDlgItem(dialog.DestinationPage(), IDC_BROWSE);
}

// nKey pressed while pfnFocus's window has the keyboard, its message for pfnTarget's
// window; the next step runs once it has been handled.
CTestSetupDialog::Step PressKey(WindowOf pfnFocus, WindowOf pfnTarget, WPARAM nKey)
{
    return [=](CTestSetupDialog& dialog) {
        SetFocus(pfnFocus(dialog));
        PostMessageA(pfnTarget(dialog), WM_KEYDOWN, nKey, 1);
        PostMessageA(pfnTarget(dialog), WM_KEYUP, nKey, 0xC0000001);
    };
}
} // namespace

TEST(SetupDialogKeys, EnterNeverActsEscEndsOnlyFromTheMainDialog)
{
    struct Case {
        const char* pszWhere;
        WindowOf pfnFocus, pfnTarget;
        WPARAM nKey;
        int nResult;
    };
    const Case kCases[] = {
        {"Enter in the path field", PathField, PathField, VK_RETURN, kRunsOn},
        {"Esc in the path field", PathField, PathField, VK_ESCAPE, kRunsOn},
        {"Enter on the main dialog", PathField, MainDialog, VK_RETURN, kRunsOn},
        {"Esc on the Finish button", FinishButton, FinishButton, VK_ESCAPE, IDCANCEL},
    };
    for (const Case& c : kCases) {
        CTestConfig config;
        CMessageBoxRecorder recorder;
        CTestSetupDialog dialog;
        dialog.m_steps = {
            PressKey(c.pfnFocus, c.pfnTarget, c.nKey),
            [](CTestSetupDialog& d) {
                EXPECT_TRUE(IsWindowVisible(d.DestinationPage()));
                d.EndDialog(kRunsOn);
            },
        };
        EXPECT_EQ(dialog.DoModal(), c.nResult) << c.pszWhere;
        EXPECT_TRUE(recorder.m_boxes.empty()) << c.pszWhere;
        EXPECT_EQ(dialog.m_nThreadsCreated, 0) << c.pszWhere;
        EXPECT_EQ(config->m_nPhase, -1) << c.pszWhere;
    }
}

TEST(SetupDialogKeys, TabCrossesBetweenPageAndMainDialog)
{
    struct Case {
        const char* pszFrom;
        WindowOf pfnFrom, pfnTo;
    };
    const Case kCases[] = {
        {"path field", PathField, StartButton},
        {"Finish button", FinishButton, BrowseButton},
    };
    for (const Case& c : kCases) {
        CTestConfig config;
        CTestSetupDialog dialog;
        dialog.m_steps = {
            PressKey(c.pfnFrom, c.pfnFrom, VK_TAB),
            [&c](CTestSetupDialog& d) {
                EXPECT_EQ(GetFocus(), c.pfnTo(d)) << "Tab from the " << c.pszFrom;
                d.EndDialog(kRunsOn);
            },
        };
        EXPECT_EQ(dialog.DoModal(), kRunsOn);
    }
}
