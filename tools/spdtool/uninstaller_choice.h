// Which uninstaller program `spdtool pack` puts into _setup.spd.
#pragma once

#include <string>
#include <vector>

// The candidates looked at when neither the command line nor the manifest names one, in
// order: uninstaller.exe beside spdtool, then the uninstallers of the project's own builds
// (32-bit first, since it runs on every Windows), as paths relative to spdtool's folder.
std::vector<std::string> DefaultUninstallers(const std::string& strProgramFolder);

// strOption (--uninstaller) if given, else strManifest (the manifest's "uninstaller ="),
// else the first default candidate that is a regular file. A path that was named but is
// not a file, or no candidate at all, raises CToolError naming what was tried.
std::string ChooseUninstaller(const std::string& strOption, const std::string& strManifest,
                              const std::vector<std::string>& vecDefaults);

// The folder of the running spdtool program; empty when the system does not say.
std::string ProgramFolder();
