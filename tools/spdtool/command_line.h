// The little argument parsing the commands share.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ParsedArgs {
    std::vector<std::string> vecPositional;
    std::string strOutput;            // -o / --output
    std::uint64_t nVolumeSize = 0;    // --volume-size
    bool bJson = false;               // --json
    std::string strUninstaller;       // --uninstaller
    bool bNoUninstaller = false;      // --no-uninstaller
    std::string strSetup;             // --setup
    bool bDisks = false;              // --disks
    bool bHelp = false;               // -h / --help
};

// Accepts the options named in strAllowed (e.g. "-o --volume-size"); throws CToolError with
// exit code 2 and strUsage for anything else.
ParsedArgs ParseArgs(const std::vector<std::string>& vecArgs, const std::string& strAllowed, const std::string& strUsage);

// Prints strUsage on standard output when the command was asked for --help.
bool ShowHelpIfAsked(const ParsedArgs& args, const std::string& strUsage);
