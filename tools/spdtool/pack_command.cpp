// spdtool pack: a manifest in, user.spd (+ volumes) and _setup.spd out.
#include "tools/spdtool/commands.h"

#include "format/package_writer.h"
#include "tools/spdtool/command_line.h"
#include "tools/spdtool/manifest.h"
#include "tools/spdtool/tool_error.h"
#include "tools/spdtool/uninstaller_choice.h"

#include <cstdio>
#include <filesystem>

namespace {

const char kPackUsage[] =
    "usage: spdtool pack MANIFEST -o DIR [--volume-size BYTES] [--uninstaller PROGRAM | --no-uninstaller]\n"
    "  Builds user.spd (and user.001, user.002, ... when --volume-size splits it) and\n"
    "  _setup.spd, the packed uninstaller, in DIR.\n"
    "  --volume-size BYTES     largest size of each volume file (at least 256; default: one volume)\n"
    "  --uninstaller PROGRAM   the uninstaller to pack; default: the manifest's \"uninstaller =\",\n"
    "                          else uninstaller.exe beside spdtool, else the project's build\n"
    "                          (build/win32/uninstaller.exe, then build/win64/uninstaller.exe)\n"
    "  --no-uninstaller        write no _setup.spd (the setup program cannot install without it)\n";

} // namespace

int RunPack(const std::vector<std::string>& vecArgs)
{
    ParsedArgs args = ParseArgs(vecArgs, "-o --volume-size --uninstaller --no-uninstaller", kPackUsage);
    if (ShowHelpIfAsked(args, kPackUsage))
        return kExitOk;
    if (args.vecPositional.size() != 1 || args.strOutput.empty())
        throw CToolError(std::string("pack needs a manifest and -o DIR\n") + kPackUsage, kExitUsage);
    if (args.nVolumeSize != 0 && args.nVolumeSize < kMinVolumeSize)
        throw CToolError("--volume-size must be at least " + std::to_string(kMinVolumeSize) + "\n" + kPackUsage, kExitUsage);
    if (args.bNoUninstaller && !args.strUninstaller.empty())
        throw CToolError(std::string("--uninstaller and --no-uninstaller exclude each other\n") + kPackUsage, kExitUsage);

    PackageManifest manifest;
    try {
        manifest = LoadManifest(args.vecPositional[0]);
    } catch (const CManifestError& error) {
        throw CToolError(error.what());
    }
    // Chosen before anything is written: a package without its uninstaller is no package.
    const std::string strUninstaller =
        args.bNoUninstaller ? std::string()
                            : ChooseUninstaller(args.strUninstaller, manifest.strUninstaller,
                                                DefaultUninstallers(ProgramFolder()));
    if (!manifest.bHasId) {
        GeneratePackageId(manifest.contents.packageId);
        std::fprintf(stderr, "spdtool: the manifest has no id; generated id = %s (add it to the manifest to keep it)\n",
                     FormatPackageId(manifest.contents.packageId).c_str());
    }
    std::error_code error;
    std::filesystem::create_directories(args.strOutput, error);
    if (error)
        throw CToolError("cannot create " + args.strOutput + ": " + error.message());
    try {
        PackageWriteResult result = WritePackage(manifest.contents, args.strOutput, args.nVolumeSize);
        for (const std::string& strPath : result.vecVolumePaths)
            std::printf("wrote %s\n", strPath.c_str());
        std::printf("%u files, %u directories, %u bytes in %zu volume(s)\n", static_cast<unsigned>(result.header.fileCount),
                    static_cast<unsigned>(result.header.directoryCount), static_cast<unsigned>(result.header.totalSize),
                    result.vecVolumePaths.size());
        if (!strUninstaller.empty()) {
            std::string strSetup = (std::filesystem::path(args.strOutput) / "_setup.spd").string();
            WriteUninstallerFile(strUninstaller, strSetup);
            std::printf("wrote %s (uninstaller %s)\n", strSetup.c_str(), strUninstaller.c_str());
        }
    } catch (const CPackageWriteError& writeError) {
        throw CToolError(writeError.what());
    }
    return kExitOk;
}
