// The floor of a whole installation, and the packages the installation benchmark uses
// (run by hand through tests/bench/install_bench_wine, which times this program and
// engine_runner alike, each as its own Wine process).
//   install_bench make FOLDER
//       makes FOLDER\package (user.spd, user.001, user.002, _setup.spd: some thousands of
//       files of mixed data, fixed seed, over 1 GiB packed), FOLDER\small (the same over
//       2000 files of 128 KiB on average, where what each file costs shows) and
//       FOLDER\empty (one small file) where they are missing
//   install_bench floor PACKAGE DEST
//       the passes an installation is made of, with nothing else: the setup files copied
//       into a new folder in the system's temporary folder, the volumes joined, the stream read with Adler-32, the
//       package's folders made below DEST, each file inflated into a temporary file of
//       its own and copied to its target, the temporary folder removed; prints the time
//       of each pass
#include "tests/bench/bench_support.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {
// Random bytes pack to their own size, this text to under half of it: about 1.1 GiB
// packed, in three volumes of 400 MiB.
constexpr BenchPackageShape kShape = {3000, 850ull << 20, 550ull << 20, 400ull << 20, 3};
// 250 MiB in 2000 files, about 200 MiB packed, in three volumes of 80 MiB.
constexpr BenchPackageShape kSmallFilesShape = {2000, 170ull << 20, 80ull << 20, 80ull << 20, 3};
constexpr BenchPackageShape kEmptyShape = {1, 0, 64, 400ull << 20, 1};

bool Exists(const std::string& strPath)
{
    return GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int Make(const std::string& strFolder)
{
    const std::string strWork = WithBackslash(strFolder);
    CreateDirectoryA(strFolder.c_str(), nullptr);
    for (const auto& [pszName, shape] : {std::make_pair("package", kShape), std::make_pair("small", kSmallFilesShape),
                                         std::make_pair("empty", kEmptyShape)}) {
        const std::string strPackage = strWork + pszName + "\\";
        if (!Exists(strPackage + kBenchPackageFileName))
            MakeBenchPackage(shape, strWork, strPackage);
        const SetupHeader header = ReadBenchHeader(strPackage);
        std::printf("%s: %.0f MiB in %u volumes, %u files\n", pszName, MiB(PackageBytes(strPackage, header)),
                    header.volumeCount, header.fileCount);
    }
    return 0;
}

// A folder below the system's temporary folder, where the installation makes its own.
std::string TempFolder()
{
    char szTemp[MAX_PATH] = "";
    const DWORD nLength = GetTempPathA(sizeof szTemp, szTemp);
    if (nLength == 0 || nLength >= sizeof szTemp)
        Fail("no temporary folder");
    return WithBackslash(szTemp) + "lumifloor";
}

int Floor(const std::string& strPackageFolder, const std::string& strDestination)
{
    const std::string strPackage = WithBackslash(strPackageFolder);
    const std::string strDest = WithBackslash(strDestination);
    CStopwatch watch;
    const SetupHeader header = ReadBenchHeader(strPackage);
    double seconds[5] = {};
    {
        CScratchFolder temp(TempFolder());
        std::vector<std::string> vecVolumes;
        for (const std::string& strName : PackageFileNames(header)) {
            const std::string strCopy = temp.Path() + strName;
            if (!CopyFileA((strPackage + strName).c_str(), strCopy.c_str(), TRUE))
                Fail("floor: cannot copy " + strName);
            if (strName != kBenchSetupFileName)
                vecVolumes.push_back(strCopy);
        }
        seconds[0] = watch.Lap();
        const CHandle joined = FloorJoin(vecVolumes, temp.Path() + "joined.tmp");
        seconds[1] = watch.Lap();
        FloorVerify(joined, header);
        seconds[2] = watch.Lap();
        CreateDirectoryA(strDestination.c_str(), nullptr);
        for (unsigned n = 0; n < header.fileCount && n < kBenchFolderCount; ++n) {
            const std::string strPath = BenchFilePath(n);
            CreateDirectoryA((strDest + strPath.substr(0, strPath.find('\\'))).c_str(), nullptr);
        }
        FloorExtract(
            joined, header, [&](unsigned n) { return temp.Path() + std::to_string(n) + ".tmp"; },
            [&](unsigned n, const std::string& strFile) {
                if (!CopyFileA(strFile.c_str(), (strDest + BenchFilePath(n)).c_str(), FALSE))
                    Fail("floor: cannot copy to " + BenchFilePath(n));
            });
        seconds[3] = watch.Lap();
    }
    seconds[4] = watch.Lap(); // the temporary files and folder removed
    std::printf("floor copy %.2f join %.2f verify %.2f extract+place %.2f cleanup %.2f\n", seconds[0], seconds[1],
                seconds[2], seconds[3], seconds[4]);
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    try {
        const std::string strMode = argc > 1 ? argv[1] : "";
        if (strMode == "make" && argc == 3)
            return Make(argv[2]);
        if (strMode == "floor" && argc == 4)
            return Floor(argv[2], argv[3]);
        std::fprintf(stderr, "usage: install_bench make FOLDER | install_bench floor PACKAGE DEST\n");
        return 2;
    } catch (...) {
        return ReportBenchFailure("install_bench");
    }
}
