// spdtool pack: a manifest in, user.spd (+ volumes) and _setup.spd out, with the setup
// program beside them and the volumes on their disks when asked.
#include "tools/spdtool/commands.h"

#include "format/package_writer.h"
#include "tools/spdtool/command_line.h"
#include "tools/spdtool/manifest.h"
#include "tools/spdtool/package_location.h"
#include "tools/spdtool/program_choice.h"
#include "tools/spdtool/tool_error.h"

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

const char kPackUsage[] =
    "usage: spdtool pack MANIFEST -o DIR [--volume-size BYTES] [--disks] [--setup PROGRAM]\n"
    "                    [--uninstaller PROGRAM | --no-uninstaller]\n"
    "  Builds user.spd (and user.001, user.002, ... when --volume-size splits it) and\n"
    "  _setup.spd, the packed uninstaller, in DIR.\n"
    "  --volume-size BYTES     largest size of each volume file (at least 256; default: one volume)\n"
    "  --disks                 lays the package out as a set of disks, ready to ship: DIR/Disk 1\n"
    "                          holds setup.exe, user.spd and _setup.spd, DIR/Disk 2 holds user.001,\n"
    "                          DIR/Disk 3 user.002, ...\n"
    "  --setup PROGRAM         the setup program, copied as setup.exe beside user.spd; default with\n"
    "                          --disks: setup.exe beside spdtool, else the project's build\n"
    "                          (build/win32/setup.exe, then build/win64/setup.exe)\n"
    "  --uninstaller PROGRAM   the uninstaller to pack; default: the manifest's \"uninstaller =\",\n"
    "                          else uninstaller.exe beside spdtool, else the project's build\n"
    "                          (build/win32/uninstaller.exe, then build/win64/uninstaller.exe)\n"
    "  --no-uninstaller        write no _setup.spd (the setup program cannot install without it)\n";

const char kSetupProgramName[] = "setup.exe";

// Moves the continuation volumes from "Disk 1", where they were written with user.spd, to
// the disk folders beside it, and returns every volume's final path.
std::vector<std::string> SpreadOverDisks(const std::vector<std::string>& vecWritten, const fs::path& output)
{
    std::vector<std::string> vecPaths(vecWritten.begin(), vecWritten.begin() + (vecWritten.empty() ? 0 : 1));
    for (std::size_t nVolume = 1; nVolume < vecWritten.size(); ++nVolume) {
        const fs::path written(vecWritten[nVolume]);
        const fs::path disk = output / DiskFolderName(static_cast<unsigned>(nVolume));
        const fs::path target = disk / written.filename();
        std::error_code error;
        fs::create_directories(disk, error);
        // An older package's volume may be there; rename does not replace on every system.
        if (!error)
            fs::remove(target, error);
        if (!error)
            fs::rename(written, target, error);
        if (error)
            throw CToolError("cannot move " + written.string() + " to " + target.string() + ": " + error.message());
        vecPaths.push_back(target.string());
    }
    return vecPaths;
}

} // namespace

int RunPack(const std::vector<std::string>& vecArgs)
{
    ParsedArgs args = ParseArgs(vecArgs, "-o --volume-size --disks --setup --uninstaller --no-uninstaller", kPackUsage);
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
                                                DefaultPrograms(ProgramFolder(), "uninstaller.exe"));
    // So is the setup program: a set of disks is of no use without it.
    const std::string strSetupProgram =
        args.bDisks || !args.strSetup.empty()
            ? ChooseSetupProgram(args.strSetup, DefaultPrograms(ProgramFolder(), kSetupProgramName))
            : std::string();
    if (!manifest.bHasId) {
        GeneratePackageId(manifest.contents.packageId);
        std::fprintf(stderr, "spdtool: the manifest has no id; generated id = %s (add it to the manifest to keep it)\n",
                     FormatPackageId(manifest.contents.packageId).c_str());
    }
    const fs::path output(args.strOutput);
    const fs::path folder = args.bDisks ? output / DiskFolderName(0) : output;
    std::error_code error;
    fs::create_directories(folder, error);
    if (error)
        throw CToolError("cannot create " + folder.string() + ": " + error.message());
    try {
        PackageWriteResult result = WritePackage(manifest.contents, folder.string(), args.nVolumeSize);
        if (args.bDisks)
            result.vecVolumePaths = SpreadOverDisks(result.vecVolumePaths, output);
        for (const std::string& strPath : result.vecVolumePaths)
            std::printf("wrote %s\n", strPath.c_str());
        std::printf("%u files, %u directories, %u bytes in %zu volume(s)\n", static_cast<unsigned>(result.header.fileCount),
                    static_cast<unsigned>(result.header.directoryCount), static_cast<unsigned>(result.header.totalSize),
                    result.vecVolumePaths.size());
        if (!strUninstaller.empty()) {
            std::string strSetup = (folder / "_setup.spd").string();
            WriteUninstallerFile(strUninstaller, strSetup);
            std::printf("wrote %s (uninstaller %s)\n", strSetup.c_str(), strUninstaller.c_str());
        }
    } catch (const CPackageWriteError& writeError) {
        throw CToolError(writeError.what());
    }
    if (!strSetupProgram.empty()) {
        const fs::path target = folder / kSetupProgramName;
        fs::copy_file(strSetupProgram, target, fs::copy_options::overwrite_existing, error);
        if (error)
            throw CToolError("cannot copy " + strSetupProgram + " to " + target.string() + ": " + error.message());
        std::printf("wrote %s (setup program %s)\n", target.string().c_str(), strSetupProgram.c_str());
    }
    return kExitOk;
}
