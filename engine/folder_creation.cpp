#include "engine/folder_creation.h"

#include "app/setup_thread_link.h"
#include "engine/entry_name_check.h"
#include "engine/file_helpers.h"
#include "engine/folder_tree.h"
#include "engine/root_folders.h"
#include "format/uninstall_log.h"
#include "framework/message_box.h"
#include "sys/message_text.h"
#include "sys/my_exception.h"

#include <algorithm>

namespace {
constexpr unsigned kFolderExistsMessage = 169;

// A folder of the table that is already there: the user may use it, or stop the setup.
// It stays out of createdFolders, so neither a roll-back nor the uninstaller removes it.
void ConfirmExistingFolder(const std::string& strFolder)
{
    std::string strText;
    FormatOne(strText, kFolderExistsMessage, strFolder.c_str());
    if (ShowMessageBox(strText, MB_YESNO | MB_ICONEXCLAMATION) == IDNO)
        ThrowSetupException(PHASE_FOLDERS, CAUSE_CANNOT_PROCEED);
}
} // namespace

void CreatePackageFolders(const std::string& strDestination, const std::vector<DirectoryEntry>& directoryTable,
                          const CRootFolders& rootFolders, CSetupThreadLink& link,
                          std::vector<std::string>& createdFolders)
{
    // A damaged table creates nothing at all, not even the destination.
    for (const DirectoryEntry& entry : directoryTable)
        CheckDirectoryEntryPath(TrimDirectoryPath(entry.strPath));

    // Every folder created is named whole in the uninstall log: one that would not fit is
    // refused before it is created.
    if (!FolderFitsInLog(strDestination))
        ThrowSetupException(PHASE_FOLDERS, CAUSE_UNEXPECTED);
    if (!CreateRecordedFolder(strDestination, createdFolders))
        ThrowSetupException(PHASE_FOLDERS, CAUSE_CREATE_FOLDER);

    // The stored paths are compared as they are, before trimming; a stable sort orders
    // them exactly as a bubble sort that swaps only misordered neighbours would.
    std::vector<DirectoryEntry> sorted = directoryTable;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.strPath < b.strPath; });

    for (const DirectoryEntry& entry : sorted) {
        link.CheckCancel();
        const std::string strFolder =
            rootFolders.FolderOf(entry.root, PHASE_FOLDERS) + "\\" + TrimDirectoryPath(entry.strPath);
        if (FolderExists(strFolder)) {
            ConfirmExistingFolder(strFolder);
            continue;
        }
        if (!FolderFitsInLog(strFolder))
            ThrowSetupException(PHASE_FOLDERS, CAUSE_UNEXPECTED);
        if (!CreateFolderTree(strFolder, &createdFolders)) {
            // The table holds no text for this: the path alone tells the user which folder.
            ShowMessageBox(strFolder, MB_OK);
            ThrowSetupException(PHASE_FOLDERS, CAUSE_CREATE_FOLDER);
        }
    }
}
