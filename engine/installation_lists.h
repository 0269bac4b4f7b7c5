// What one run changes on the target system, in the order it happened: the roll-back
// undoes it, the uninstall log records it, the shared-file counts and the replacements at
// the next start are taken from it. The setup thread owns one for each run.
#pragma once

#include "format/registry_entry.h"

#include <windows.h>

#include <string>
#include <vector>

// A target the run overwrote, and the copy of what was there before, kept in the run's
// temporary folder so that a roll-back can put the user's file back.
struct CReplacedFile {
    std::string strKeptCopy;
    std::string strTarget;
};

// What a registry value held before the run first changed it (its type and bytes, or that
// it was not there), or a key the run created; the roll-back gives these back latest first.
struct CRegistryBefore {
    HKEY hRoot = nullptr;
    std::string strSubKey;
    std::string strValueName; // empty for a key
    bool bKey = false;        // a key, noted only when the run created it
    bool bExisted = false;    // for a value
    DWORD nType = 0;
    std::vector<unsigned char> data;
};

struct CInstallationLists {
    std::vector<std::string> createdFolders;       // folders this run created
    std::vector<std::string> placedFiles;          // targets written, or given a pending copy
    std::vector<std::string> keptSharedFiles;      // Shared targets whose old copy stayed
    std::vector<std::string> sharedFiles;          // every Shared target, kept or replaced
    std::vector<std::string> deferredReplacements; // "pending copy\ntarget" (MakeDeferredEntry)
    std::vector<CReplacedFile> replacedFiles;      // existing targets overwritten, for the roll-back only
    std::vector<RegistryEntry> registryEntries;    // keys and values the installation owns, for the log
    std::vector<CRegistryBefore> registryBefore;   // every registry change, for the roll-back only
    std::vector<std::string> unloggedFiles;        // files the run made that the log does not list
    bool m_bCreatesProductKey = false;             // the run made "Software\Lumidrop Screensaver"
    bool m_bWininitKept = false;                   // wininit.ini's state before the run is noted
    std::string m_strScreensaverPath;              // target of the last Screensaver file
    std::string m_strConfigPath;                   // target of the last Config file
};
