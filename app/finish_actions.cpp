#include "app/finish_actions.h"

#include "app/setup_config.h"
#include "framework/handle.h"
#include "framework/reg_key.h"

namespace {
void EnableShutdownPrivilege()
{
    HANDLE hToken = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &hToken))
        return;
    const CHandle token(hToken);
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid))
        AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr);
}
} // namespace

void CSystemFinishActions::StartProgram(const char* pszCommandLine)
{
    WinExec(pszCommandLine, SW_SHOW);
}

void CSystemFinishActions::RestartSystem(BOOL bEnablePrivilege)
{
    if (bEnablePrivilege)
        EnableShutdownPrivilege();
    ExitWindowsEx(EWX_REBOOT, 0);
}

void CarryOutFinishChoices(const CSetupConfig& config, IFinishActions& actions)
{
    if (config.m_bRestart && config.m_bShowProperties) {
        CRegKey runOnce;
        if (runOnce.Open(HKEY_LOCAL_MACHINE, kRunOnceKey, KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY) == ERROR_SUCCESS)
            runOnce.SetString(kRunOnceValue, kPropertiesCommand);
    } else if (config.m_bShowProperties) {
        actions.StartProgram(kPropertiesCommand);
    }
    if (config.m_bRestart)
        actions.RestartSystem(!config.m_bWin9x);
}
