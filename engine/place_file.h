// Putting each extracted file of a run at its target: the target path from the record,
// the decision about a file already there, and a pending copy for the next system start
// when the target cannot be written.
#pragma once

#include "engine/replacement_policy.h"

#include <optional>
#include <string>

class CRootFolders;
class CSetupConfig;
class CSetupThreadLink;
struct CInstallationLists;
struct FileRecord;

// One per run: the answers the user asked to be remembered hold for every later file of
// the same run, and for no other run.
class CFilePlacement {
public:
    // strTempFolder, the run's own temporary folder with a trailing backslash, holds the
    // copies of the targets it overwrites until the run ends.
    CFilePlacement(const CRootFolders& rootFolders, CSetupConfig& config, CSetupThreadLink& link,
                   CInstallationLists& lists, const std::string& strTempFolder);
    CFilePlacement(const CFilePlacement&) = delete;
    CFilePlacement& operator=(const CFilePlacement&) = delete;

    // Places the file extracted to strExtracted (left where it is) at the target record
    // names: root folder, backslash, folder as stored and a backslash when it has one, file
    // name. Remembers the target as the screensaver or config path and in sharedFiles as
    // the flags say. A target that exists (and is not the screensaver module) is replaced
    // only when DecideReplacement says so; a kept Shared target goes to keptSharedFiles.
    // A missing folder on the target's path is created first, each level it creates listed
    // in createdFolders, and a delete of the target still pending from an earlier
    // uninstaller is taken back. An existing target is copied into the temporary folder
    // just before it is overwritten, and listed with that copy in replacedFiles.
    // An existing target that cannot be kept or written gets a pending copy in the system's
    // temporary folder, an entry in deferredReplacements and m_bRestartNeeded set (a copy
    // that failed part way gets the kept copy back first); it counts as placed like a
    // written one. Every file, kept or placed, steps the progress bar once.
    //
    // Raises phase 3 with cause 3 when the record's names would leave its root (before
    // anything is recorded or written), cause 7 when its root has no folder, cause 2 when
    // a new target or the pending copy cannot be written; phase 2, cause 8 when the
    // target's folder cannot be created;
    // CMyException when the run is cancelled before the copy. The decision's own failures
    // pass through.
    void PlaceFile(const std::string& strExtracted, const FileRecord& record);

private:
    void RememberFlags(unsigned nFlags, const std::string& strTarget);
    void MakeTargetFolder(const std::string& strFolder);

    const CRootFolders& m_rootFolders;
    CSetupConfig& m_config;
    CSetupThreadLink& m_link;
    CInstallationLists& m_lists;
    const std::string m_strTempFolder;
    RememberedAnswers m_rememberedAnswers = {};
    // Asked once, at the first file placed: the run itself schedules nothing before its
    // files are all placed, and an older installation's uninstaller has run by then.
    std::optional<bool> m_bAnythingPending;
    std::string m_strFolderThere; // the last target folder found or made
};
