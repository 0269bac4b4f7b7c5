#include "app/finish_page.h"

#include "app/item_message.h"
#include "app/setup_config_ref.h"
#include "framework/data_exchange.h"
#include "res/resource.h"
#include "sys/message_text.h"

namespace {
constexpr unsigned kInstalledMessage = 217;
constexpr unsigned kInstalledRestartMessage = 220;
constexpr unsigned kRestartCaptionMessage = 211;
constexpr unsigned kPropertiesCaptionMessage = 214;
} // namespace

CFinishPage::CFinishPage() : CSetupPageDialog(IDD_FINISH_PAGE) {}

void CFinishPage::DoDataExchange(CDataExchange* pDX)
{
    DDX_Check(pDX, IDC_SHOW_PROPERTIES, m_bShowProperties);
    DDX_Check(pDX, IDC_RESTART, m_bRestart);
    DDX_Text(pDX, IDC_PAGE_TEXT, m_strText);
}

void CFinishPage::UpdatePage()
{
    UpdateData(TRUE);
    CSetupConfigRef config;
    config->m_bRestart = m_bRestart;
    config->m_bShowProperties = m_bShowProperties;
}

BOOL CFinishPage::Activate()
{
    BOOL bRestartNeeded = FALSE;
    {
        CSetupConfigRef config;
        bRestartNeeded = config->m_bRestartNeeded;
    }
    m_bShowProperties = TRUE;
    m_bRestart = bRestartNeeded;
    ::ShowWindow(GetDlgItem(IDC_RESTART), bRestartNeeded ? SW_SHOW : SW_HIDE);
    LoadMessage(bRestartNeeded ? kInstalledRestartMessage : kInstalledMessage, m_strText);
    SetItemMessage(*this, IDC_RESTART, kRestartCaptionMessage);
    SetItemMessage(*this, IDC_SHOW_PROPERTIES, kPropertiesCaptionMessage);
    UpdateData(FALSE);
    return CSetupPageDialog::Activate();
}
