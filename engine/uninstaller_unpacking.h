// The uninstaller program of an installation: its fresh name in the Windows folder, and
// its bytes unpacked from _setup.spd.
#pragma once

#include <string>

// "<folder>\UnSc" + four digits + ".exe", each digit the C runtime generator's next number
// modulo 10, drawn again until no file of that name exists.
std::string NewUninstallerPath(const std::string& strWindowsFolder);

// Reads the program from strSetupFile with every check and writes it to strTarget. False
// when anything fails, and then nothing is left at strTarget: the failure is nobody's
// concern but the uninstall log's, which stays empty.
bool UnpackUninstaller(const std::string& strSetupFile, const std::string& strTarget);
