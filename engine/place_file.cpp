#include "engine/place_file.h"

#include "app/setup_config.h"
#include "app/setup_thread_link.h"
#include "engine/deferred_entry.h"
#include "engine/deferred_replacement.h"
#include "engine/entry_name_check.h"
#include "engine/file_helpers.h"
#include "engine/folder_tree.h"
#include "engine/installation_lists.h"
#include "engine/replaced_files.h"
#include "format/package_records.h"
#include "engine/replacement_win32.h"
#include "engine/root_folders.h"
#include "format/uninstall_log.h"
#include "sys/my_exception.h"

#include <windows.h>

namespace {
constexpr unsigned kPendingNameLength = 8;

// The system's temporary folder without its trailing backslash.
std::string SystemTempFolder()
{
    char szTemp[MAX_PATH] = "";
    const DWORD nLength = GetTempPathA(sizeof szTemp, szTemp);
    std::string strFolder = nLength < sizeof szTemp ? std::string(szTemp, nLength) : std::string();
    if (!strFolder.empty() && strFolder.back() == '\\')
        strFolder.pop_back();
    return strFolder;
}

// A copy of strExtracted under a new name in the system's temporary folder, which outlives
// the run's own folder and waits there for the next start to move it over its target.
std::string MakePendingCopy(const std::string& strExtracted)
{
    const std::string strFolder = SystemTempFolder();
    std::string strPending;
    std::string strName;
    do {
        MakeRandomName(strName, kPendingNameLength);
        strPending = strFolder + "\\" + strName + ".tmp";
    } while (FileExists(strPending));
    if (!CopyOneFile(strExtracted, strPending, false))
        ThrowSetupException(PHASE_FILES, CAUSE_FILE_ERROR);
    return strPending;
}

// "%s\%s", or the root alone without a folder. A record's folder is joined as stored,
// unlike a directory-table path, which is trimmed first.
std::string TargetFolderOf(const std::string& strRootFolder, const FileRecord& record)
{
    const std::string strFolder = FieldText(record.folder);
    return strFolder.empty() ? strRootFolder : strRootFolder + "\\" + strFolder;
}
} // namespace

CFilePlacement::CFilePlacement(const CRootFolders& rootFolders, CSetupConfig& config, CSetupThreadLink& link,
                               CInstallationLists& lists, const std::string& strTempFolder)
    : m_rootFolders(rootFolders), m_config(config), m_link(link), m_lists(lists), m_strTempFolder(strTempFolder)
{
}

void CFilePlacement::RememberFlags(unsigned nFlags, const std::string& strTarget)
{
    if ((nFlags & Screensaver) != 0)
        m_lists.m_strScreensaverPath = strTarget;
    if ((nFlags & Config) != 0)
        m_lists.m_strConfigPath = strTarget;
    if ((nFlags & Shared) != 0)
        m_lists.sharedFiles.push_back(strTarget);
}

void CFilePlacement::MakeTargetFolder(const std::string& strFolder)
{
    // Files of one folder come one after the other: the folder is looked at once for them.
    if (strFolder == m_strFolderThere)
        return;
    // Every level is named in the uninstall log; each is no longer than the whole path.
    if (!FolderExists(strFolder) &&
        (!FolderFitsInLog(strFolder) || !CreateFolderTree(strFolder, &m_lists.createdFolders)))
        ThrowSetupException(PHASE_FOLDERS, CAUSE_CREATE_FOLDER);
    m_strFolderThere = strFolder;
}

void CFilePlacement::PlaceFile(const std::string& strExtracted, const FileRecord& record)
{
    CheckFileEntryNames(record);
    const std::string strFolder = TargetFolderOf(m_rootFolders.FolderOf(record.root, PHASE_FILES), record);
    const std::string strTarget = strFolder + "\\" + FieldText(record.fileName);
    // The uninstall log holds every target whole: one that would not fit is refused before
    // it is written, never cut, so that the uninstaller cannot delete another file.
    if (!FileFitsInLog(strTarget))
        ThrowSetupException(PHASE_FILES, CAUSE_UNEXPECTED);
    RememberFlags(record.flags, strTarget);

    // The screensaver module always replaces what is there: it is what is being installed.
    // Held open without sharing, a target is there all the same. Both come from one look:
    // under Wine each look for a missing name reads the whole folder.
    bool bTargetThere = false;
    const bool bTargetExists = FileExists(strTarget, &bTargetThere);
    if ((record.flags & Screensaver) == 0 && bTargetExists) {
        const CReplacementInputs inputs = {strExtracted, strTarget, record.flags, m_config.m_wLanguage};
        if (!DecideReplacement(inputs, m_rememberedAnswers)) {
            if ((record.flags & Shared) != 0)
                m_lists.keptSharedFiles.push_back(strTarget);
            m_link.StepProgress();
            return;
        }
    }

    m_link.CheckCancel();
    MakeTargetFolder(strFolder);
    const std::string& strWindowsFolder = m_rootFolders.FolderOf(Windows, PHASE_FILES);
    if (!m_bAnythingPending)
        m_bAnythingPending = AnythingPendingAtNextStart(m_config, strWindowsFolder);
    if (*m_bAnythingPending)
        DropPendingDeletes(m_config, strWindowsFolder, strTarget, {m_lists, m_strTempFolder});
    // A target whose copy cannot be kept (held for writing, the temporary drive full) is
    // not overwritten now: it is treated as in use.
    const bool bKept = !bTargetThere || KeepExistingFile(m_lists.replacedFiles, strTarget, m_strTempFolder);
    if (!bKept || !CopyOneFile(strExtracted, strTarget, false)) {
        // A new file that cannot be written is no file in use: a restart would not help.
        if (!bTargetThere) {
            DeleteFileA(strTarget.c_str());
            ThrowSetupException(PHASE_FILES, CAUSE_FILE_ERROR);
        }
        // In use, locked or read-only: the next start puts the file in place instead, and
        // the target gets back what a copy that failed part way cut.
        GiveBackKeptCopy(m_lists.replacedFiles, strTarget);
        m_lists.deferredReplacements.push_back(MakeDeferredEntry(MakePendingCopy(strExtracted), strTarget));
        m_config.m_bRestartNeeded = 1;
    }
    m_lists.placedFiles.push_back(strTarget);
    m_link.StepProgress();
}
