// Which programs `spdtool pack` ships with a package: the uninstaller it packs into
// _setup.spd, and the setup program it lays beside user.spd.
#pragma once

#include <string>
#include <vector>

// The places looked at for strFileName ("uninstaller.exe", "setup.exe") when the command
// line does not name the program, in order: beside spdtool, then in the project's own
// builds (32-bit first, since it runs on every Windows), relative to spdtool's folder.
std::vector<std::string> DefaultPrograms(const std::string& strProgramFolder, const std::string& strFileName);

// strOption (--uninstaller) if given, else strManifest (the manifest's "uninstaller ="),
// else the first default candidate that is a regular file. A path that was named but is
// not a file, or no candidate at all, raises CToolError naming what was tried.
std::string ChooseUninstaller(const std::string& strOption, const std::string& strManifest,
                              const std::vector<std::string>& vecDefaults);

// strOption (--setup) if given, else the first default candidate that is a regular file;
// CToolError as ChooseUninstaller.
std::string ChooseSetupProgram(const std::string& strOption, const std::vector<std::string>& vecDefaults);

// The folder of the running spdtool program; empty when the system does not say.
std::string ProgramFolder();
