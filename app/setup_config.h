// The one piece of state that the dialog, the pages and the setup thread share.
//
// Reference-counted across the process: every user acquires it for one operation and
// releases it at the end, error paths included. The application holds the first
// reference from start-up to exit. Fields are plain values without a lock; one writer
// per field at a time, ordered by the phase messages.
#pragma once

#include <windows.h>

#include <string>

class CSetupConfig {
public:
    CSetupConfig() = default;
    CSetupConfig(const CSetupConfig&) = delete;
    CSetupConfig& operator=(const CSetupConfig&) = delete;
    virtual ~CSetupConfig() = default;

    std::string m_strDefaultDest;
    BOOL m_bOldVersionFound = 0;
    BOOL m_bWin9x = 0;
    BOOL m_bRestart = 0;
    BOOL m_bShowProperties = 0;
    LONG m_nPhase = -1;
    std::string m_strUninstaller;
    BOOL m_bRestartNeeded = 0;
    std::string m_strDestination;
    std::string m_strName;
    std::string m_strSourceDir;
    WORD m_wLanguage = 0;
    std::string m_strProgramFiles;
};

// Creates the configuration on first use and counts one more user.
CSetupConfig* AcquireSetupConfig();

// Counts one user less; the last release destroys the configuration.
void ReleaseSetupConfig(CSetupConfig* pConfig);
