#include "uninstaller/uninstall.h"

#include "format/package_records.h"
#include "engine/registry_rollback.h"
#include "framework/box_styles.h"
#include "uninstaller/removal_order.h"
#include "uninstaller/shared_count.h"
#include "uninstaller/uninstaller_box.h"
#include "uninstaller/uninstaller_resource.h"

CUninstall::CUninstall(const UninstallLogContent& log, std::string strLogPath, bool bSilent)
    : m_log(log), m_strLogPath(std::move(strLogPath)), m_bSilent(bSilent)
{
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
    for (const std::string& strPath : vecLogRecords)
        ReleaseFile(strPath, false);
    RemoveFolders();
}

void CUninstall::ReleaseFile(const std::string& strPath, bool bKept)
{
    // A file written here goes unless other installations still count on it; a file that
    // was there before goes only when nobody counts on it any more and the user agrees.
    const SharedCount count = ReleaseSharedCount(strPath);
    const bool bRemove = bKept ? count == SharedCount::Released && MayRemoveUnusedSharedFile(strPath)
                               : count != SharedCount::StillUsed;
    if (bRemove)
        RemoveFile(strPath);
}

bool CUninstall::MayRemoveUnusedSharedFile(const std::string& strPath) const
{
    // Keeping is the safe answer, so it is the default button and the silent choice.
    constexpr unsigned kStyle = MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2;
    return !m_bSilent && ShowUninstallerMessage(IDS_UNINSTALL_SHARED_UNUSED, strPath, kStyle) == IDYES;
}

void CUninstall::RemoveFile(const std::string& strPath)
{
    Account(RemoveFileOrDefer(strPath), strPath);
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
    if (RemoveRegistryEntry(entry))
        return;
    std::string strName = "HKEY_LOCAL_MACHINE\\" + FieldText(entry.subKey);
    if (!entry.IsWholeKey())
        strName += ": " + FieldText(entry.valueName);
    m_vecLeft.push_back(strName);
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
