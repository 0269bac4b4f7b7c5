// An earlier installation of the same screensaver, found before anything is changed, and
// the user's choice to uninstall it first.
#pragma once

#include <string>

class CSetupConfig;
class CSetupThreadLink;

// Where each installation leaves the command that uninstalls it, under HKEY_LOCAL_MACHINE.
constexpr const char* kOlderVersionKey = "Software\\Lumidrop Screensaver";
constexpr unsigned kOlderVersionMessage = 226;

// Looks for the value named by strPackageName in upper case and sets
// config.m_bOldVersionFound. When it is there, asks message 226: Yes runs the stored
// command and waits for it to end through the link (a command that cannot be started is
// passed over), No goes on, Cancel raises CMyException.
void DetectOlderVersion(const std::string& strPackageName, CSetupConfig& config, CSetupThreadLink& link);
