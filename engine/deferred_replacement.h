// The system's operations at the next start: handing it the pending copies of files that
// were in use, to be moved over their targets, and taking back a delete it would make of
// a file the run has just placed. Every change is noted first, so that a roll-back gives
// the lists back as the run found them.
#pragma once

#include <string>
#include <vector>

class CSetupConfig;
struct CInstallationLists;

// Where the run notes its changes: the lists, and its temporary folder (with a trailing
// backslash) for the copy of wininit.ini as it was.
struct CNextStartNotes {
    CInstallationLists& lists;
    const std::string& strTempFolder;
};

// Does nothing unless config.m_bRestartNeeded. On Windows 9x (config.m_bWin9x) adds a line
// "target=pending copy" (short forms) per entry of lists.deferredReplacements to the
// [rename] section that ends wininit.ini in strWindowsFolder: the last section when it is
// one, else a new one (a new file too). Elsewhere registers one delayed move with
// replace-existing per entry. Raises phase 3, cause 2 when wininit.ini cannot be read or
// written, or the system refuses a move: a replacement that would never happen is a
// failure, not a restart.
void ScheduleDeferredReplacements(const CSetupConfig& config, const std::string& strWindowsFolder,
                                  const CNextStartNotes& notes);

// True when the system holds any operation for the next start (NT's pending list, or a
// wininit.ini with any text). Without one, no placed file can have a delete to take back.
bool AnythingPendingAtNextStart(const CSetupConfig& config, const std::string& strWindowsFolder);

// Takes out of the system's list every delete at the next start of strTarget (in its long
// or short form), which an earlier uninstaller may have left for a file that was in use:
// the file the run places there must stay. Every other operation stays. Raises phase 3,
// cause 2 when wininit.ini holds such a line and cannot be rewritten.
void DropPendingDeletes(const CSetupConfig& config, const std::string& strWindowsFolder, const std::string& strTarget,
                        const CNextStartNotes& notes);
