#include "tools/spdtool/uninstaller_choice.h"

#include "tools/spdtool/tool_error.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {
// Set by CMake: the project's 32-bit and 64-bit uninstaller.exe relative to the folder
// the spdtool program is built into.
const char* const kBuiltUninstallers[] = {LUMIDROP_BUILT_UNINSTALLER_32, LUMIDROP_BUILT_UNINSTALLER_64};

bool IsFile(const std::string& strPath)
{
    std::error_code error;
    return fs::is_regular_file(strPath, error);
}

std::string Named(const std::string& strPath, const char* pszWhere)
{
    if (!IsFile(strPath))
        throw CToolError(std::string("the uninstaller named by ") + pszWhere + " is not a file: " + strPath);
    return strPath;
}
} // namespace

std::vector<std::string> DefaultUninstallers(const std::string& strProgramFolder)
{
    if (strProgramFolder.empty())
        return {};
    const fs::path folder(strProgramFolder);
    std::vector<std::string> vecCandidates = {(folder / "uninstaller.exe").lexically_normal().string()};
    for (const char* pszRelative : kBuiltUninstallers)
        vecCandidates.push_back((folder / pszRelative).lexically_normal().string());
    return vecCandidates;
}

std::string ChooseUninstaller(const std::string& strOption, const std::string& strManifest,
                              const std::vector<std::string>& vecDefaults)
{
    if (!strOption.empty())
        return Named(strOption, "--uninstaller");
    if (!strManifest.empty())
        return Named(strManifest, "the manifest");
    for (const std::string& strCandidate : vecDefaults)
        if (IsFile(strCandidate))
            return strCandidate;
    std::string strTried;
    for (const std::string& strCandidate : vecDefaults)
        strTried += "\n  " + strCandidate;
    throw CToolError("no uninstaller program for _setup.spd: give --uninstaller PATH or an \"uninstaller =\" line, "
                     "put uninstaller.exe beside spdtool, or build the uninstaller (cmake --build build/win32 "
                     "--target uninstaller); pack --no-uninstaller writes no _setup.spd. Looked for:" +
                     (strTried.empty() ? std::string(" nothing (spdtool's own folder is unknown)") : strTried));
}
