#include "engine/disk_prompt_dialog.h"

#include "app/item_message.h"
#include "engine/file_helpers.h"
#include "framework/data_exchange.h"
#include "res/resource.h"
#include "sys/folder_browser.h"
#include "sys/message_text.h"
#include "sys/trailing_backslash.h"

namespace {
constexpr unsigned kOkCaption = 39;
constexpr unsigned kCancelCaption = 42;
constexpr unsigned kBrowseCaption = 45;
constexpr unsigned kPromptText = 36;
constexpr unsigned kBrowserTitle = 48;
constexpr unsigned kInvalidFolder = 84;
constexpr unsigned kFileNotInFolder = 227;

// A folder text shorter than this cannot name a folder the user means: even a drive
// needs its colon.
constexpr std::size_t kShortestFolder = 2;
} // namespace

BEGIN_MESSAGE_MAP(CDiskPromptDialog, CControlUpdateDialog)
ON_BN_CLICKED(IDC_BROWSE, OnBrowse)
END_MESSAGE_MAP()

CDiskPromptDialog::CDiskPromptDialog(const std::string& strFileName, const std::string& strFolder, unsigned nDisk,
                                     CWnd* pParentWnd)
    : CControlUpdateDialog(IDD_DISK_PROMPT, pParentWnd), m_strFolder(strFolder), m_nDisk(nDisk),
      m_strFileName(strFileName)
{
    TrimTrailingBackslash(m_strFolder);
}

void CDiskPromptDialog::DoDataExchange(CDataExchange* pDX)
{
    CControlUpdateDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_PROMPT, m_strPrompt);
    DDX_Text(pDX, IDC_FOLDER, m_strFolder);
}

BOOL CDiskPromptDialog::OnInitDialog()
{
    CControlUpdateDialog::OnInitDialog();
    SetItemMessage(*this, IDOK, kOkCaption);
    SetItemMessage(*this, IDC_BROWSE, kBrowseCaption);
    SetItemMessage(*this, IDCANCEL, kCancelCaption);

    m_strPrompt.clear();
    if (m_nDisk != 0)
        FormatOne(m_strPrompt, kPromptText, std::to_string(m_nDisk).c_str());
    if (!FolderExists(m_strFolder))
        m_strFolder.clear();
    UpdateData(FALSE);
    return TRUE;
}

void CDiskPromptDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    if (m_strFolder.size() < kShortestFolder) {
        RefuseFolder(kInvalidFolder, MB_ICONEXCLAMATION);
        return;
    }
    TrimTrailingBackslash(m_strFolder);
    if (!FolderExists(m_strFolder)) {
        RefuseFolder(kInvalidFolder, MB_ICONEXCLAMATION);
        return;
    }
    const std::string strPath = m_strFolder + "\\" + m_strFileName;
    if (!FileExists(strPath)) {
        RefuseFolder(kFileNotInFolder, MB_ICONHAND);
        return;
    }
    m_strFileName = strPath;
    EndDialog(IDOK);
}

void CDiskPromptDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDiskPromptDialog::OnBrowse()
{
    if (!UpdateData(TRUE))
        return;
    std::string strTitle;
    LoadMessage(kBrowserTitle, strTitle);
    std::string strChosen;
    if (BrowseForFolder(m_hWnd, strTitle, m_strFolder, strChosen)) {
        m_strFolder = strChosen;
        UpdateData(FALSE);
    }
}

void CDiskPromptDialog::RefuseFolder(unsigned nMessage, unsigned nStyle)
{
    MessageBoxByNumber(nMessage, nStyle);
    // WM_NEXTDLGCTL moves the focus the dialog manager's way, default button included.
    SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(IDC_FOLDER)), TRUE);
}

bool CDialogDiskPrompt::Ask(const std::string& strFileName, const std::string& strFolder, unsigned nDisk,
                            std::string& strChosenFolder)
{
    CDiskPromptDialog dialog(strFileName, strFolder, nDisk);
    if (dialog.DoModal() != IDOK)
        return false;
    strChosenFolder = dialog.m_strFolder;
    return true;
}
