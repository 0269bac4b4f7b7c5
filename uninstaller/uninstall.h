// Removes one installation as its uninstall log lists it, and nothing the log does not name.
//
// Order: the files the installation wrote (a shared one only once its count runs out),
// then the shared files it kept (each only when its count runs out and the user agrees),
// the registry entries, the log itself, and last the folders, deepest first, each only
// when empty. The log goes late so that an uninstall that stops half-way can be run again;
// the folders go after it because the log lies in one of them.
//
// A file this installation wrote (kept 0) that has a shared-file count: the setup raises
// the count of every file it writes that the package marks shared, and the log cannot say
// which those were, so one use is taken off as for a shared file. The file goes only when
// no use is left; a count that stays above 0 keeps it, and a count that reaches 0 is
// deleted, never left at 0 beside a file. When the count cannot be read, nothing is
// changed and the file stays: it is named as left, so that the user hears of it and a
// later run can try again.
//
// When a file or registry entry is left, the log, the folders and the uninstaller stay,
// and the log is written anew with what is left and nothing else: a second run then
// finishes the work without taking a use off a shared count twice. A folder that stays
// because it holds files that are not the installation's is named, but is no reason to
// stay: no second run could remove it.
#pragma once

#include "format/uninstall_log.h"
#include "uninstaller/file_removal.h"
#include "uninstaller/shared_count.h"

#include <string>
#include <vector>

class CUninstall {
public:
    // strLogPath: the log the content was read from; its own record waits until the end.
    // bSilent: asks nothing; a kept shared file whose count runs out then stays.
    CUninstall(const UninstallLogContent& log, std::string strLogPath, bool bSilent);

    void Run();

    // What the log names and is still there afterwards: paths, and registry entries as
    // "HKEY_LOCAL_MACHINE\sub-key" or "HKEY_LOCAL_MACHINE\sub-key: value".
    const std::vector<std::string>& GetLeft() const { return m_vecLeft; }
    // The files and folders the system removes at its next start.
    const std::vector<std::string>& GetAtRestart() const { return m_vecAtRestart; }
    // True when the log is gone or waits for the next start: nothing is left for a
    // second run, and the uninstaller may go too.
    bool IsFinished() const { return m_bFinished; }

private:
    void ReleaseFile(const std::string& strPath, bool bKept);
    bool MayRemoveUnusedSharedFile(const std::string& strPath) const;
    Removal RemoveFile(const std::string& strPath);
    void RemoveRegistry(const RegistryEntry& entry);
    void KeepLogForAnotherRun(const std::vector<std::string>& vecLogRecords);
    void RemoveFolders();
    void Account(Removal removal, const std::string& strPath);

    const UninstallLogContent& m_log;
    std::string m_strLogPath;
    bool m_bSilent;
    std::vector<std::string> m_vecLeft;
    std::vector<std::string> m_vecAtRestart;
    // What a second run still has to do, in the log's own form.
    UninstallLogContent m_rest;
    bool m_bFinished = false;
};
