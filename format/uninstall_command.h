// The command lines that start the uninstaller: written by the setup into the registry,
// read back by the uninstaller. Both sides use these two functions, so they cannot drift.
//
//   "%s \"%s\""     uninstaller path, blank, the log's full path in double quotes
//   "%s \"%s\" s"   the same for a newer setup of the same screensaver, which wants the
//                   old installation gone without questions
#pragma once

#include <string>

std::string MakeUninstallCommand(const std::string& strUninstaller, const std::string& strLogPath, bool bSilent);

struct UninstallArguments {
    std::string strLogPath;
    bool bSilent = false;
};

// Reads what follows the program's name: the log path, in double quotes or up to the first
// blank, then nothing or the single word s (either case), blanks and tabs around them.
// False for anything else (no path, an unclosed quote, other words): the uninstaller
// then removes nothing.
bool ParseUninstallArguments(const std::string& strArguments, UninstallArguments& arguments);
