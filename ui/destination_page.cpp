#include "ui/destination_page.h"

#include "app/item_message.h"
#include "app/setup_config_ref.h"
#include "app/setup_thread_link.h"
#include "framework/data_exchange.h"
#include "res/resource.h"
#include "sys/folder_browser.h"
#include "sys/message_text.h"

namespace {
constexpr unsigned kInstructionMessage = 78;
constexpr unsigned kBrowseCaptionMessage = 45;
constexpr unsigned kLabelMessage = 81;
constexpr unsigned kBrowseTitleMessage = 142;

static_assert(kDriveFixed == DRIVE_FIXED && kDriveRemote == DRIVE_REMOTE, "the rule's drive types are the system's");
} // namespace

BEGIN_MESSAGE_MAP(CDestinationPage, CSetupPageDialog)
ON_BN_CLICKED(IDC_BROWSE, OnBrowse)
END_MESSAGE_MAP()

CDestinationPage::CDestinationPage() : CSetupPageDialog(IDD_DESTINATION_PAGE) {}

void CDestinationPage::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_PAGE_TEXT, m_strStatus);
    DDX_Text(pDX, IDC_DESTINATION, m_strDestination);
    DDX_Text(pDX, IDC_FOLDER_LABEL, m_strLabel);
    DDX_Text(pDX, IDC_INSTRUCTION, m_strInstruction);
}

BOOL CDestinationPage::OnInitDialog()
{
    CSetupPageDialog::OnInitDialog();
    LoadMessage(kInstructionMessage, m_strInstruction);
    SetItemMessage(*this, IDC_BROWSE, kBrowseCaptionMessage);
    LoadMessage(kLabelMessage, m_strLabel);
    {
        CSetupConfigRef config;
        m_strDestination = !config->m_strDefaultDest.empty() ? config->m_strDefaultDest
                                                             : config->m_strProgramFiles + "\\" + config->m_strName;
    }
    UpdateData(FALSE);
    return TRUE;
}

void CDestinationPage::UpdatePage()
{
    BOOL bNotStarted = FALSE;
    {
        CSetupConfigRef config;
        bNotStarted = config->m_nPhase == CSetupThreadLink::PHASE_NOT_STARTED;
    }
    ::EnableWindow(GetDlgItem(IDC_DESTINATION), bNotStarted);
    ::EnableWindow(GetDlgItem(IDC_BROWSE), bNotStarted);
}

void CDestinationPage::SetStatusText(const std::string& strText)
{
    UpdateData(TRUE);
    m_strStatus = strText;
    UpdateData(FALSE);
}

void CDestinationPage::StoreDestination()
{
    UpdateData(TRUE);
    CSetupConfigRef config;
    config->m_strDestination = m_strDestination;
}

DestinationVerdict CDestinationPage::CheckDestination(const std::string& strPath)
{
    const DestinationVerdict verdict = CheckDestinationBytes(strPath, IsSystemLeadByte);
    if (verdict != DestinationVerdict::Accepted)
        return verdict;
    if (!IsAcceptedDriveType(GetDriveTypeA(DestinationRoot(strPath).c_str())))
        return DestinationVerdict::WrongDriveType;
    return DestinationVerdict::Accepted;
}

void CDestinationPage::OnBrowse()
{
    // A path typed into the field is where the browser starts.
    UpdateData(TRUE);
    std::string strTitle;
    LoadMessage(kBrowseTitleMessage, strTitle);
    std::string strChosen;
    if (BrowseForFolder(m_hWnd, strTitle, m_strDestination, strChosen)) {
        m_strDestination = strChosen;
        UpdateData(FALSE);
    }
}
