#include "uninstaller/uninstall.h"

#include "engine/older_version.h"
#include "engine/registry_rollback.h"
#include "format/package_records.h"
#include "format/plain_file.h"
#include "framework/box_styles.h"
#include "framework/exception.h"
#include "uninstaller/removal_order.h"
#include "uninstaller/uninstaller_box.h"
#include "uninstaller/uninstaller_resource.h"

#include <windows.h>

namespace {
// The key every installation keeps its uninstall command in belongs to all of them: a
// run that created it logs it, and it goes only once no screensaver has anything in it.
bool IsCommonKey(const RegistryEntry& entry)
{
    return entry.IsWholeKey() && lstrcmpiA(FieldText(entry.subKey).c_str(), kOlderVersionKey) == 0;
}
} // namespace

CUninstall::CUninstall(const UninstallLogContent& log, std::string strLogPath, bool bSilent)
    : m_log(log), m_strLogPath(std::move(strLogPath)), m_bSilent(bSilent)
{
    m_rest.strName = m_log.strName;
}

void CUninstall::Run()
{
    std::vector<std::string> vecLogRecords;
    for (const std::string& strPath : m_log.placedFiles) {
        if (SamePath(strPath, m_strLogPath))
            vecLogRecords.push_back(strPath);
        else
            ReleaseFile(strPath, false);
    }
    for (const std::string& strPath : m_log.keptSharedFiles)
        ReleaseFile(strPath, true);
    for (const RegistryEntry& entry : m_log.registryEntries)
        RemoveRegistry(entry);
    if (!m_rest.placedFiles.empty() || !m_rest.keptSharedFiles.empty() || !m_rest.registryEntries.empty()) {
        KeepLogForAnotherRun(vecLogRecords);
        return;
    }
    m_bFinished = true;
    for (const std::string& strPath : vecLogRecords)
        m_bFinished = RemoveFile(strPath) != Removal::Failed && m_bFinished;
    RemoveFolders();
}

void CUninstall::ReleaseFile(const std::string& strPath, bool bKept)
{
    // A file written here goes unless other installations still count on it; a file that
    // was there before goes only when nobody counts on it any more and the user agrees.
    const SharedCount count = ReleaseSharedCount(strPath);
    if (count == SharedCount::Unreadable) {
        m_vecLeft.push_back(strPath);
        (bKept ? m_rest.keptSharedFiles : m_rest.placedFiles).push_back(strPath);
        return;
    }
    const bool bRemove = bKept ? count == SharedCount::Released && MayRemoveUnusedSharedFile(strPath)
                               : count != SharedCount::StillUsed;
    // Its count is gone by now: a second run removes it as a file of its own, without
    // asking again.
    if (bRemove && RemoveFile(strPath) == Removal::Failed)
        m_rest.placedFiles.push_back(strPath);
}

bool CUninstall::MayRemoveUnusedSharedFile(const std::string& strPath) const
{
    // Keeping is the safe answer, so it is the default button and the silent choice.
    constexpr unsigned kStyle = MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2;
    return !m_bSilent && ShowUninstallerMessage(IDS_UNINSTALL_SHARED_UNUSED, strPath, kStyle) == IDYES;
}

Removal CUninstall::RemoveFile(const std::string& strPath)
{
    const Removal removal = RemoveFileOrDefer(strPath);
    Account(removal, strPath);
    return removal;
}

void CUninstall::Account(Removal removal, const std::string& strPath)
{
    if (removal == Removal::AtRestart)
        m_vecAtRestart.push_back(strPath);
    else if (removal == Removal::Failed)
        m_vecLeft.push_back(strPath);
}

void CUninstall::RemoveRegistry(const RegistryEntry& entry)
{
    if (IsCommonKey(entry)) {
        // Another screensaver's values or keys in it are not this installation's to remove.
        RemoveKeyIfEmpty(RegistryRootKey(entry.rootKey), FieldText(entry.subKey).c_str());
        return;
    }
    if (RemoveRegistryEntry(entry))
        return;
    std::string strName = "HKEY_LOCAL_MACHINE\\" + FieldText(entry.subKey);
    if (!entry.IsWholeKey())
        strName += ": " + FieldText(entry.valueName);
    m_vecLeft.push_back(strName);
    m_rest.registryEntries.push_back(entry);
}

void CUninstall::KeepLogForAnotherRun(const std::vector<std::string>& vecLogRecords)
{
    // The folders hold the log and what is left; all of them wait for the second run.
    m_rest.placedFiles.insert(m_rest.placedFiles.end(), vecLogRecords.begin(), vecLogRecords.end());
    m_rest.createdFolders = m_log.createdFolders;
    try {
        const std::vector<unsigned char> file = PackUninstallLog(BuildUninstallLogImage(m_rest));
        CPlainFile log;
        if (log.Create(m_strLogPath)) {
            log.Write(file.data(), file.size());
            log.Close();
        }
    } catch (CException* pError) {
        // The old log stays, or a damaged one that a second run refuses whole: what is
        // left is named to the user either way.
        pError->Delete();
    }
}

void CUninstall::RemoveFolders()
{
    // A folder that cannot go now waits for the next start only when something in it
    // waits too; one that holds files of the user's own stays, and is named as left.
    for (const std::string& strFolder : DeepestFirst(m_log.createdFolders)) {
        bool bWaiting = false;
        for (const std::string& strPath : m_vecAtRestart)
            bWaiting = bWaiting || IsInsideFolder(strPath, strFolder);
        Account(RemoveFolderOrDefer(strFolder, bWaiting), strFolder);
    }
}
