// The uninstaller's run, from the arguments after its name to its exit code.
#pragma once

#include <string>

enum UninstallerExit : int {
    kExitDone = 0,       // everything the log names is gone, or waits for the next start
    kExitDeclined = 1,   // the user said No: nothing was touched
    kExitRefused = 2,    // bad arguments, or a log missing, unreadable or damaged: nothing was touched
    kExitIncomplete = 3, // some of what the log names is still there (the user was told); when
                         // that is more than folders, the log names just that, and the
                         // program stays to be run again
};

// Reads the log, asks the user (unless silent), removes the installation and then, when
// its log is gone, the program file itself, and tells the user how it went. Silent, it shows nothing but
// errors: a log it cannot use, or what it could not remove.
int RunUninstaller(const std::string& strArguments);
