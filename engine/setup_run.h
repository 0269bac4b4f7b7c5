// One installation from the setup files to the registered screensaver, with everything it
// holds and changes while it runs; the setup thread runs it and then cleans it up.
#pragma once

#include "engine/installation_lists.h"
#include "format/package_records.h"
#include "format/plain_file.h"
#include "engine/root_folders.h"

#include <memory>
#include <string>
#include <vector>

class CSetupConfig;
class CSetupThreadLink;
class IDiskPrompt;

class CSetupRun {
public:
    CSetupRun(CSetupThreadLink& link, IDiskPrompt& diskPrompt);
    CSetupRun(const CSetupRun&) = delete;
    CSetupRun& operator=(const CSetupRun&) = delete;
    ~CSetupRun();

    // The whole installation. It never returns: a run that succeeded sets its success flag
    // and raises a plain CMyException, so that every run leaves through the same clean-up.
    [[noreturn]] void Perform();

    // Releases what the run holds, undoes its changes unless it succeeded, and removes
    // its temporary files and folder in every case. Never raises.
    void CleanUp() noexcept;

    bool Succeeded() const { return m_bSuccess; }

private:
    void MakeTempFolder();
    void MapRootFolders();
    void CheckSetupFiles();
    void CopySetupFiles();
    void PlaceFiles(class CPackageReader& reader);
    void Finish();
    void RollBack() noexcept;

    CSetupThreadLink& m_link;
    IDiskPrompt& m_diskPrompt;
    CSetupConfig* m_pConfig = nullptr;
    std::string m_strSourceFolder; // with a trailing backslash
    std::string m_strTempFolder;   // with a trailing backslash
    std::string m_strWindowsFolder;
    CRootFolders m_rootFolders;
    SetupHeader m_header;
    std::string m_strSetupCopy; // the copy of _setup.spd, for the uninstaller
    std::vector<std::string> m_tempFiles;
    std::vector<std::string> m_tempFolders;
    std::vector<std::string> m_volumeCopies;
    std::unique_ptr<CPlainFile> m_pStream;
    // Its m_bCreatesProductKey: the run's first key also created "Software\Lumidrop
    // Screensaver", which the roll-back removes again once it is empty.
    CInstallationLists m_lists;
    bool m_bSuccess = false;
};
