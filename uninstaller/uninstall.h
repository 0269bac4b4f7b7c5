// Removes one installation as its uninstall log lists it, and nothing the log does not name.
//
// Order: the files the installation wrote (a shared one only once its count runs out),
// then the shared files it kept (each only when its count runs out and the user agrees),
// the registry entries, the log itself, and last the folders, deepest first, each only
// when empty. The log goes late so that an uninstall that stops half-way can be run again;
// the folders go after it because the log lies in one of them.
#pragma once

#include "format/uninstall_log.h"
#include "uninstaller/file_removal.h"

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

private:
    void ReleaseFile(const std::string& strPath, bool bKept);
    void RemoveFile(const std::string& strPath);
    bool MayRemoveUnusedSharedFile(const std::string& strPath) const;
    void RemoveRegistry(const RegistryEntry& entry);
    void RemoveFolders();
    void Account(Removal removal, const std::string& strPath);

    const UninstallLogContent& m_log;
    std::string m_strLogPath;
    bool m_bSilent;
    std::vector<std::string> m_vecLeft;
    std::vector<std::string> m_vecAtRestart;
};
