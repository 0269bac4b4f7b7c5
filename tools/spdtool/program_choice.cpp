#include "tools/spdtool/program_choice.h"

#include "tools/spdtool/tool_error.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {
// Set by CMake: the project's 32-bit and 64-bit build folders relative to the folder the
// spdtool program is built into.
const char* const kBuildFolders[] = {LUMIDROP_BUILD_FOLDER_32, LUMIDROP_BUILD_FOLDER_64};

bool IsFile(const std::string& strPath)
{
    std::error_code error;
    return fs::is_regular_file(strPath, error);
}

std::string Named(const std::string& strPath, const std::string& strWhat, const char* pszWhere)
{
    if (!IsFile(strPath))
        throw CToolError("the " + strWhat + " named by " + pszWhere + " is not a file: " + strPath);
    return strPath;
}

// The first candidate that is a file; else CToolError with strHelp and every place tried.
std::string FirstFile(const std::vector<std::string>& vecDefaults, const std::string& strHelp)
{
    for (const std::string& strCandidate : vecDefaults)
        if (IsFile(strCandidate))
            return strCandidate;
    std::string strTried;
    for (const std::string& strCandidate : vecDefaults)
        strTried += "\n  " + strCandidate;
    throw CToolError(strHelp + " Looked for:" +
                     (strTried.empty() ? std::string(" nothing (spdtool's own folder is unknown)") : strTried));
}
} // namespace

std::vector<std::string> DefaultPrograms(const std::string& strProgramFolder, const std::string& strFileName)
{
    if (strProgramFolder.empty())
        return {};
    const fs::path folder(strProgramFolder);
    std::vector<std::string> vecCandidates = {(folder / strFileName).lexically_normal().string()};
    for (const char* pszRelative : kBuildFolders)
        vecCandidates.push_back((folder / pszRelative / strFileName).lexically_normal().string());
    return vecCandidates;
}

std::string ChooseUninstaller(const std::string& strOption, const std::string& strManifest,
                              const std::vector<std::string>& vecDefaults)
{
    if (!strOption.empty())
        return Named(strOption, "uninstaller", "--uninstaller");
    if (!strManifest.empty())
        return Named(strManifest, "uninstaller", "the manifest");
    return FirstFile(vecDefaults, "no uninstaller program for _setup.spd: give --uninstaller PATH or an \"uninstaller =\" "
                                  "line, put uninstaller.exe beside spdtool, or build the uninstaller (cmake --build "
                                  "build/win32 --target uninstaller); pack --no-uninstaller writes no _setup.spd.");
}

std::string ChooseSetupProgram(const std::string& strOption, const std::vector<std::string>& vecDefaults)
{
    if (!strOption.empty())
        return Named(strOption, "setup program", "--setup");
    return FirstFile(vecDefaults, "no setup program for the package: give --setup PATH, put setup.exe beside spdtool, "
                                  "or build it (cmake --build build/win32 --target setup).");
}
