// The older-version question of the setup thread.
#include "engine/older_version.h"

#include "app/setup_config.h"
#include "app/setup_thread_link.h"
#include "framework/handle.h"
#include "framework/reg_key.h"
#include "sys/message_text.h"
#include "sys/my_exception.h"

#include <windows.h>

namespace {
// The stored command is read into a buffer of this size, as the installations write it.
constexpr DWORD kCommandBufferSize = 1000;

// The wait cursor for as long as the object lives.
class CWaitCursor {
public:
    CWaitCursor() : m_hPrevious(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    ~CWaitCursor() { SetCursor(m_hPrevious); }

private:
    HCURSOR m_hPrevious;
};

void RunAndWait(char* pszCommand, CSetupThreadLink& link)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // Whether the old uninstaller worked is not ours to judge: the setup goes on either way.
    if (!CreateProcessA(nullptr, pszCommand, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return;
    const CHandle hProcess(process.hProcess);
    const CHandle hThread(process.hThread);
    const CWaitCursor waitCursor;
    // The dialog stays open meanwhile: its Cancel may hold the thread during the wait.
    const HANDLE hWaited = hProcess.Get();
    link.WaitFor(&hWaited, 1);
}
} // namespace

void DetectOlderVersion(const std::string& strPackageName, CSetupConfig& config, CSetupThreadLink& link)
{
    config.m_bOldVersionFound = FALSE;
    CRegKey key; // closed on every way out, the user's Cancel included
    if (key.Open(HKEY_LOCAL_MACHINE, kOlderVersionKey, KEY_READ) != ERROR_SUCCESS)
        return;
    std::string strValueName = strPackageName;
    if (!strValueName.empty())
        CharUpperA(&strValueName[0]);
    char szCommand[kCommandBufferSize] = "";
    DWORD nSize = sizeof szCommand - 1; // keeps a zero after data stored without one
    if (key.QueryValue(strValueName.c_str(), nullptr, szCommand, nSize) != ERROR_SUCCESS)
        return;
    config.m_bOldVersionFound = TRUE;
    switch (MessageBoxByNumber(kOlderVersionMessage, MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDYES:
        RunAndWait(szCommand, link);
        break;
    case IDNO:
        break;
    default:
        ThrowMyException();
    }
}
