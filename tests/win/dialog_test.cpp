// Dialogs from the real templates, run under a display: the modal loop and
// ContinueModal, data exchange, OK/Cancel routing, the command-update pass and the
// guard that stops exceptions at the window procedure.
#include "app/control_update_dialog.h"
#include "app/setup_dialog.h"
#include "framework/cmd_ui.h"
#include "framework/data_exchange.h"
#include "framework/dialog.h"
#include "framework/exception.h"
#include "res/resource.h"
#include "sys/message_text.h"
#include "tests/common/message_box_recorder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
constexpr UINT WM_TEST_STEP = WM_APP + 1;

// Posts itself three steps; each step notes how often ContinueModal had been asked.
class CCountingDialog : public CDialog {
public:
    CCountingDialog() : CDialog(IDD_DISK_PROMPT) {}

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        for (int i = 0; i < 3; ++i)
            PostMessageA(m_hWnd, WM_TEST_STEP, 0, 0);
        return TRUE;
    }
    BOOL ContinueModal() override
    {
        ++m_nContinueCalls;
        if (m_bRefuseNext)
            return FALSE;
        return CDialog::ContinueModal();
    }

    int m_nContinueCalls = 0;
    bool m_bRefuseNext = false;
    bool m_bEndAtThird = true;
    std::vector<int> m_callsAtStep;

protected:
    LRESULT OnStep(WPARAM, LPARAM)
    {
        m_callsAtStep.push_back(m_nContinueCalls);
        if (m_callsAtStep.size() == 3) {
            if (m_bEndAtThird)
                EndDialog(42);
            else
                m_bRefuseNext = true;
        }
        return 0;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCountingDialog, CDialog)
ON_MESSAGE(WM_TEST_STEP, OnStep)
END_MESSAGE_MAP()

// A modeless parent (the main template) with the finish page's and the disk prompt's
// controls for data exchange.
class CExchangeDialog : public CDialog {
public:
    CExchangeDialog(UINT nTemplate) : CDialog(nTemplate) {}
    std::string m_strFolder;
    int m_nRestart = 0;
    bool m_bAskMissing = false;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        if (m_nIdTemplate == IDD_DISK_PROMPT)
            DDX_Text(pDX, IDC_FOLDER, m_strFolder);
        if (m_nIdTemplate == IDD_FINISH_PAGE)
            DDX_Check(pDX, IDC_RESTART, m_nRestart);
        if (m_bAskMissing)
            DDX_Text(pDX, 4242, m_strFolder);
    }
};

// The main dialog, driven from inside: Enter, then Cancel.
class CDrivenSetupDialog : public CSetupDialog {
public:
    BOOL OnInitDialog() override
    {
        const BOOL bResult = CSetupDialog::OnInitDialog();
        m_strCancelCaption = GetDlgItemText(IDCANCEL);
        m_strStartCaption = GetDlgItemText(IDC_START);
        PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        PostMessageA(m_hWnd, WM_TEST_STEP, 0, 0);
        PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return bResult;
    }
    std::string m_strCancelCaption, m_strStartCaption;
    bool m_bAliveAfterOk = false;

protected:
    LRESULT OnStep(WPARAM, LPARAM)
    {
        m_bAliveAfterOk = ContinueModal() != FALSE;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDrivenSetupDialog, CSetupDialog)
ON_MESSAGE(WM_TEST_STEP, OnStep)
END_MESSAGE_MAP()

// Keeps the browse button of the disk prompt enabled only while not busy.
class CUpdatingDialog : public CControlUpdateDialog {
public:
    CUpdatingDialog() : CControlUpdateDialog(IDD_DISK_PROMPT) {}
    BOOL OnInitDialog() override
    {
        CControlUpdateDialog::OnInitDialog();
        PostMessageA(m_hWnd, WM_TEST_STEP, 1, 0);
        PostMessageA(m_hWnd, WM_TEST_STEP, 2, 0);
        return TRUE;
    }
    bool m_bBusy = false;
    std::vector<UINT> m_indexes;
    BOOL m_bBrowseEnabledAtStep2 = -1, m_bOkEnabledAtStep2 = -1;

protected:
    void OnUpdateBrowse(CCmdUI* pCmdUI)
    {
        m_indexes.push_back(pCmdUI->m_nIndex);
        pCmdUI->Enable(!m_bBusy);
    }
    LRESULT OnStep(WPARAM wParam, LPARAM)
    {
        if (wParam == 1) {
            m_bBusy = true;
        } else {
            m_bBrowseEnabledAtStep2 = IsWindowEnabled(GetDlgItem(IDC_BROWSE));
            m_bOkEnabledAtStep2 = IsWindowEnabled(GetDlgItem(IDOK));
            EndDialog(IDOK);
        }
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CUpdatingDialog, CControlUpdateDialog)
ON_UPDATE_COMMAND_UI(IDC_BROWSE, OnUpdateBrowse)
ON_MESSAGE(WM_TEST_STEP, OnStep)
END_MESSAGE_MAP()

// Throws from a handler; the guard must report it and keep the dialog running.
class CThrowingDialog : public CDialog {
public:
    CThrowingDialog() : CDialog(IDD_DISK_PROMPT) {}
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        PostMessageA(m_hWnd, WM_TEST_STEP, 1, 0);
        PostMessageA(m_hWnd, WM_TEST_STEP, 2, 0);
        PostMessageA(m_hWnd, WM_TEST_STEP, 3, 0);
        return TRUE;
    }

protected:
    LRESULT OnStep(WPARAM wParam, LPARAM)
    {
        if (wParam == 1)
            throw new CFileException(CFileException::accessDenied, CFileException::opRead, "C:\\locked.bin");
        if (wParam == 2)
            throw 7;
        EndDialog(IDCANCEL);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CThrowingDialog, CDialog)
ON_MESSAGE(WM_TEST_STEP, OnStep)
END_MESSAGE_MAP()
} // namespace

TEST(ModalLoop, AsksContinueModalAfterEveryDispatchedMessage)
{
    CCountingDialog dialog;
    EXPECT_EQ(dialog.DoModal(), 42);
    ASSERT_EQ(dialog.m_callsAtStep.size(), 3u);
    // Between two posted steps the loop asked at least once more.
    EXPECT_LT(dialog.m_callsAtStep[0], dialog.m_callsAtStep[1]);
    EXPECT_LT(dialog.m_callsAtStep[1], dialog.m_callsAtStep[2]);
    EXPECT_GT(dialog.m_nContinueCalls, dialog.m_callsAtStep[2]);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(ModalLoop, ContinueModalFalseEndsTheLoop)
{
    CCountingDialog dialog;
    dialog.m_bEndAtThird = false;
    // Ended without EndDialog: no result.
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(dialog.m_callsAtStep.size(), 3u);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(ModalLoop, SetupDialogIgnoresEnterAndEndsOnCancel)
{
    CDrivenSetupDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(dialog.m_bAliveAfterOk);
    std::string strFinish, strStart;
    ASSERT_TRUE(LoadMessage(27, strFinish));
    ASSERT_TRUE(LoadMessage(87, strStart));
    EXPECT_EQ(dialog.m_strCancelCaption, strFinish);
    EXPECT_EQ(dialog.m_strStartCaption, strStart);
    EXPECT_EQ(dialog.m_strStartCaption, "Co&mmencer");
}

TEST(ModalLoop, CommandUpdatePassReachesControlsInWindowOrder)
{
    CUpdatingDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ASSERT_FALSE(dialog.m_indexes.empty());
    // Icon, prompt, edit field, OK, then the browse button: the fifth child.
    EXPECT_EQ(dialog.m_indexes.front(), 4u);
    EXPECT_FALSE(dialog.m_bBrowseEnabledAtStep2);
    // OK has no update handler and is left enabled.
    EXPECT_TRUE(dialog.m_bOkEnabledAtStep2);
}

TEST(ModalLoop, ExceptionsStopAtTheWindowProcedure)
{
    CMessageBoxRecorder recorder;
    CThrowingDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    ASSERT_EQ(recorder.m_boxes.size(), 2u);
    EXPECT_NE(recorder.m_boxes[0].strText.find("C:\\locked.bin"), std::string::npos);
    EXPECT_EQ(recorder.m_boxes[0].nStyle, static_cast<unsigned>(MB_ICONHAND));
    EXPECT_EQ(recorder.m_boxes[1].nStyle, static_cast<unsigned>(MB_ICONHAND));
}

TEST(DataExchange, TextGoesBothWays)
{
    CExchangeDialog dialog(IDD_DISK_PROMPT);
    ASSERT_TRUE(dialog.Create(IDD_DISK_PROMPT));
    dialog.m_strFolder = "C:\\Disk 2";
    ASSERT_TRUE(dialog.UpdateData(FALSE));
    EXPECT_EQ(dialog.GetDlgItemText(IDC_FOLDER), "C:\\Disk 2");
    dialog.SetDlgItemText(IDC_FOLDER, "D:\\\xE9l\xE8ves");
    ASSERT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(dialog.m_strFolder, "D:\\\xE9l\xE8ves");
}

TEST(DataExchange, CheckBoxOnAChildPage)
{
    CDialog parent(IDD_SETUP);
    ASSERT_TRUE(parent.Create(IDD_SETUP));
    CExchangeDialog page(IDD_FINISH_PAGE);
    ASSERT_TRUE(page.Create(IDD_FINISH_PAGE, &parent));
    EXPECT_EQ(GetParent(page.m_hWnd), parent.m_hWnd);
    page.m_nRestart = 1;
    ASSERT_TRUE(page.UpdateData(FALSE));
    EXPECT_EQ(IsDlgButtonChecked(page.m_hWnd, IDC_RESTART), BST_CHECKED);
    CheckDlgButton(page.m_hWnd, IDC_RESTART, BST_UNCHECKED);
    ASSERT_TRUE(page.UpdateData(TRUE));
    EXPECT_EQ(page.m_nRestart, 0);
}

TEST(DataExchange, MissingControlFailsTheExchange)
{
    CExchangeDialog dialog(IDD_DISK_PROMPT);
    ASSERT_TRUE(dialog.Create(IDD_DISK_PROMPT));
    dialog.m_bAskMissing = true;
    EXPECT_FALSE(dialog.UpdateData(TRUE));
}
