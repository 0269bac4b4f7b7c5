// The start-up steps that gather the setup configuration, apart from the dialog so
// that each can run on its own.
#pragma once

#include "app/setup_config.h"

#include <string>

// Where the system keeps "ProgramFilesDir", below HKEY_LOCAL_MACHINE.
constexpr const char* kSystemFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion";

// The message shown when start-up cannot go on.
constexpr unsigned kStartupFailedMessage = 148;

// Platform (m_bWin9x) and user language (m_wLanguage).
void ReadPlatformFacts(CSetupConfig& config);

// The folder of the running program, without a trailing backslash.
std::string GetModuleFolder();

// Reads the package header of "user.spd" in m_strSourceDir, the Program Files folder
// from pszSystemKey, and forms the default destination. False, with the configuration
// partly filled, when the header is missing, short or of another version, or the
// Program Files folder cannot be read: start-up must then end with its message.
bool ReadPackageFacts(CSetupConfig& config, const char* pszSystemKey);
