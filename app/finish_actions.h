// What the finish step does with the finish page's two choices: show the screensaver
// properties (at once, or after the restart through RunOnce) and restart the computer.
//
// Starting a program and restarting go through IFinishActions, so that tests record
// them instead of starting programs or restarting Wine; the RunOnce value is written
// for real.
#pragma once

#include <windows.h>

class CSetupConfig;

// The screensaver tab of the display properties.
constexpr const char* kPropertiesCommand = "rundll32.exe shell32.dll,Control_RunDLL desk.cpl,,1";
// Below HKEY_LOCAL_MACHINE: run once at the next logon.
constexpr const char* kRunOnceKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr const char* kRunOnceValue = "Show Screensaver Properties";

class IFinishActions {
public:
    virtual ~IFinishActions() = default;
    // Starts pszCommandLine shown normally; whether it starts is not reported.
    virtual void StartProgram(const char* pszCommandLine) = 0;
    // Asks the system to restart; bEnablePrivilege on the NT family, which refuses a
    // process whose shutdown privilege is not enabled. A refusal is not reported.
    virtual void RestartSystem(BOOL bEnablePrivilege) = 0;
};

// The real calls: WinExec with SW_SHOW, ExitWindowsEx with EWX_REBOOT.
class CSystemFinishActions : public IFinishActions {
public:
    void StartProgram(const char* pszCommandLine) override;
    void RestartSystem(BOOL bEnablePrivilege) override;
};

// Carries out m_bRestart and m_bShowProperties of config: both → the RunOnce value and
// the restart; the properties alone → the properties command at once; the restart
// alone → the restart; neither → nothing. A RunOnce key that does not open, or a value
// that cannot be written, changes nothing else.
void CarryOutFinishChoices(const CSetupConfig& config, IFinishActions& actions);
