// ParseArgs: options may come before or after the positional arguments.
#include "tools/spdtool/command_line.h"

#include "tools/spdtool/tool_error.h"

#include <cstdio>

namespace {

bool Allowed(const std::string& strAllowed, const std::string& strOption)
{
    std::string strPadded = " " + strAllowed + " ";
    return strPadded.find(" " + strOption + " ") != std::string::npos;
}

} // namespace

ParsedArgs ParseArgs(const std::vector<std::string>& vecArgs, const std::string& strAllowed, const std::string& strUsage)
{
    ParsedArgs args;
    auto usage = [&](const std::string& strWhy) { throw CToolError(strWhy + "\n" + strUsage, kExitUsage); };
    for (std::size_t i = 0; i < vecArgs.size(); ++i) {
        const std::string& strArg = vecArgs[i];
        if (strArg == "-h" || strArg == "--help") {
            args.bHelp = true;
        } else if ((strArg == "-o" || strArg == "--output") && Allowed(strAllowed, "-o")) {
            if (i + 1 >= vecArgs.size())
                usage(strArg + " needs a folder");
            args.strOutput = vecArgs[++i];
        } else if (strArg == "--volume-size" && Allowed(strAllowed, "--volume-size")) {
            if (i + 1 >= vecArgs.size())
                usage("--volume-size needs a number of bytes");
            const std::string& strValue = vecArgs[++i];
            if (strValue.empty() || strValue.size() > 19 || strValue.find_first_not_of("0123456789") != std::string::npos)
                usage("--volume-size needs a number of bytes, not \"" + strValue + "\"");
            args.nVolumeSize = std::stoull(strValue);
        } else if (strArg == "--json" && Allowed(strAllowed, "--json")) {
            args.bJson = true;
        } else if ((strArg == "--uninstaller" || strArg == "--setup") && Allowed(strAllowed, strArg)) {
            if (i + 1 >= vecArgs.size() || vecArgs[i + 1].empty())
                usage(strArg + " needs a program");
            (strArg == "--setup" ? args.strSetup : args.strUninstaller) = vecArgs[++i];
        } else if (strArg == "--no-uninstaller" && Allowed(strAllowed, "--no-uninstaller")) {
            args.bNoUninstaller = true;
        } else if (strArg == "--disks" && Allowed(strAllowed, "--disks")) {
            args.bDisks = true;
        } else if (strArg.size() > 1 && strArg[0] == '-') {
            usage("unknown option " + strArg);
        } else {
            args.vecPositional.push_back(strArg);
        }
    }
    return args;
}

bool ShowHelpIfAsked(const ParsedArgs& args, const std::string& strUsage)
{
    if (args.bHelp)
        std::fputs(strUsage.c_str(), stdout);
    return args.bHelp;
}
