#include "uninstaller/uninstaller_run.h"

#include "format/package_exception.h"
#include "format/plain_file.h"
#include "format/uninstall_command.h"
#include "format/uninstall_log_file.h"
#include "framework/box_styles.h"
#include "sys/message_text.h"
#include "uninstaller/file_removal.h"
#include "uninstaller/uninstall.h"
#include "uninstaller/uninstaller_box.h"
#include "uninstaller/uninstaller_resource.h"

#include <windows.h>

#include <new>

namespace {
// The setup's own texts for failures that are not the uninstaller's business to word.
constexpr unsigned kNoMemoryMessage = 51;
constexpr unsigned kUnexpectedMessage = 72;

// A box lists this many leftovers at most; the rest is told as "...".
constexpr std::size_t kLeftShown = 12;

std::string ProgramPath()
{
    char szPath[MAX_PATH] = "";
    const DWORD nLength = GetModuleFileNameA(nullptr, szPath, sizeof szPath);
    return nLength > 0 && nLength < sizeof szPath ? std::string(szPath, nLength) : std::string();
}

// False after telling the user why the log cannot be used.
bool LoadLog(const std::string& strLogPath, UninstallLogContent& log)
{
    unsigned nCause = 0;
    try {
        CPlainFile file;
        log = LoadUninstallLog(file, strLogPath);
        return true;
    } catch (CPackageException* pError) {
        nCause = pError->m_nCause;
        pError->Delete();
    }
    if (nCause == CAUSE_NO_MEMORY)
        MessageBoxByNumber(kNoMemoryMessage, MB_ICONHAND);
    else
        ShowUninstallerMessage(nCause == CAUSE_OPEN_FILE ? IDS_UNINSTALL_LOG_MISSING : IDS_UNINSTALL_LOG_DAMAGED,
                               strLogPath, MB_ICONHAND);
    return false;
}

std::string LeftList(const std::vector<std::string>& vecLeft)
{
    std::string strList;
    for (std::size_t i = 0; i < vecLeft.size() && i < kLeftShown; ++i)
        strList += (i > 0 ? "\n" : "") + vecLeft[i];
    if (vecLeft.size() > kLeftShown)
        strList += "\n...";
    return strList;
}

int Uninstall(const UninstallArguments& arguments)
{
    UninstallLogContent log;
    if (!LoadLog(arguments.strLogPath, log))
        return kExitRefused;
    if (!arguments.bSilent &&
        ShowUninstallerMessage(IDS_UNINSTALL_CONFIRM, log.strName, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return kExitDeclined;

    CUninstall uninstall(log, arguments.strLogPath, arguments.bSilent);
    uninstall.Run();
    // The program belongs to the installation it removes; running, it can at best be
    // deleted at the next start. While its log still names something, it stays to be run
    // again.
    const std::string strProgram = ProgramPath();
    if (uninstall.IsFinished() && !strProgram.empty())
        RemoveFileOrDefer(strProgram);

    if (!uninstall.GetLeft().empty()) {
        ShowUninstallerMessage(IDS_UNINSTALL_LEFT_OVER, LeftList(uninstall.GetLeft()), MB_ICONEXCLAMATION);
        return kExitIncomplete;
    }
    if (!arguments.bSilent)
        ShowUninstallerMessage(uninstall.GetAtRestart().empty() ? IDS_UNINSTALL_DONE : IDS_UNINSTALL_DONE_AT_RESTART,
                               log.strName, MB_ICONINFORMATION);
    return kExitDone;
}
} // namespace

int RunUninstaller(const std::string& strArguments)
{
    UninstallArguments arguments;
    if (!ParseUninstallArguments(strArguments, arguments)) {
        ShowUninstallerMessage(IDS_UNINSTALL_USAGE, std::string(), MB_ICONHAND);
        return kExitRefused;
    }
    try {
        return Uninstall(arguments);
    } catch (const std::bad_alloc&) {
        MessageBoxByNumber(kNoMemoryMessage, MB_ICONHAND);
    } catch (CException* pError) {
        pError->Delete();
        MessageBoxByNumber(kUnexpectedMessage, MB_ICONHAND);
    }
    return kExitIncomplete;
}
