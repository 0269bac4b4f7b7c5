#include "app/setup_app.h"

#include "app/setup_dialog.h"
#include "app/startup.h"
#include "sys/message_text.h"

namespace {
// The table's text for a failure that has no text of its own.
constexpr unsigned kInternalErrorMessage = 5;
} // namespace

CSetupApp::CSetupApp()
{
    m_nInternalErrorMessage = kInternalErrorMessage;
}

BOOL CSetupApp::InitInstance()
{
    m_pConfig = AcquireSetupConfig();
    ReadPlatformFacts(*m_pConfig);
    m_pConfig->m_strSourceDir = GetSourceFolder();
    if (!ReadPackageFacts(*m_pConfig, GetSystemFoldersKey())) {
        MessageBoxByNumber(kStartupFailedMessage, MB_ICONHAND);
        return FALSE;
    }
    RunMainDialog();
    return FALSE;
}

int CSetupApp::ExitInstance()
{
    ReleaseSetupConfig(m_pConfig);
    m_pConfig = nullptr;
    return 0;
}

std::string CSetupApp::GetSourceFolder() const
{
    return GetModuleFolder();
}

const char* CSetupApp::GetSystemFoldersKey() const
{
    return kSystemFoldersKey;
}

void CSetupApp::RunMainDialog()
{
    CSetupDialog dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
}
