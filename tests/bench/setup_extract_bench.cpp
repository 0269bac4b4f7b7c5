// The setup's extraction path timed under Wine against the least work its passes need
// (run by hand through tests/bench/setup_extract_bench_wine).
//   setup_extract_bench FOLDER
// Makes FOLDER\package (user.spd, user.001, user.002, _setup.spd: a few hundred files of
// mixed data, fixed seed) when it is missing, then, three times, runs both on it:
//   setup  the setup's own code: copies into a temporary folder with the volume search,
//          the joined stream, the stream's checks and directory table, every file
//          extracted into a temporary file (deleted at once, as placement moves it away)
//   floor  CopyFileA of each file, a ReadFile/WriteFile join, an Adler-32 read of the
//          joined stream, zlib inflating each file's data into a file
// and prints the best time of each pass, the totals, their ratio (target <= 1.25), the
// peak working set after the setup path against that of an empty run, and the
// architecture.
#include "app/setup_thread_link.h"
#include "tests/bench/bench_support.h"
#include "engine/file_extraction.h"
#include "format/package_reader.h"
#include "format/package_records.h"
#include "format/plain_file.h"
#include "engine/scripted_disk_prompt.h"
#include "engine/setup_file_copies.h"
#include "engine/setup_package_stream.h"
#include "engine/volume_search.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Random bytes pack to their own size, this text to under half of it: about 570 MiB
// packed, in three volumes of 200 MiB.
constexpr BenchPackageShape kShape = {384, 500ull << 20, 150ull << 20, 200ull << 20, 3};
constexpr int kRuns = 3;

enum Pass { PASS_COPY, PASS_JOIN, PASS_VERIFY, PASS_EXTRACT, PASS_COUNT };
const char* const kPassNames[PASS_COUNT] = {"copy", "join", "verify", "extract"};

struct PassTimes {
    double seconds[PASS_COUNT] = {};
    double Total() const { return seconds[0] + seconds[1] + seconds[2] + seconds[3]; }
};

// ---- The setup's path ----

PassTimes RunSetupPath(const std::string& strPackage, const std::string& strTempFolder)
{
    PassTimes times;
    CSetupThreadLink link; // no windows: cancel checks and progress steps only
    CScriptedDiskPrompt prompt;
    std::vector<std::string> tempFiles;
    std::vector<std::string> volumeCopies;
    CStopwatch watch;

    const SetupHeader header = ReadBenchHeader(strPackage);
    CopyIntoTempFolder(strPackage + kBenchSetupFileName, strTempFolder, tempFiles);
    volumeCopies.push_back(CopyIntoTempFolder(strPackage + kBenchPackageFileName, strTempFolder, tempFiles));
    CVolumeSearch search(header, strPackage, prompt);
    GatherVolumes(search, header.volumeCount, strTempFolder, link, tempFiles, volumeCopies);
    times.seconds[PASS_COPY] = watch.Lap();

    link.CheckCancel();
    std::unique_ptr<CPlainFile> pStream = BuildPackageStream(volumeCopies, strTempFolder, link, tempFiles);
    times.seconds[PASS_JOIN] = watch.Lap();

    CPackageReader reader(*pStream, header);
    reader.VerifyStream();
    pStream->Seek(kSetupHeaderSize);
    reader.ReadDirectoryTable();
    times.seconds[PASS_VERIFY] = watch.Lap();

    reader.BeginFileSection();
    while (reader.GetFilesLeft() > 0) {
        link.CheckCancel();
        FileRecord record;
        reader.ReadNextFileEntry(record);
        const std::string strFileName = FieldText(record.fileName);
        link.Notify(FALSE, CSetupThreadLink::PHASE_COPYING, reinterpret_cast<LPARAM>(strFileName.c_str()));
        const std::string strExtracted = ExtractFile(*pStream, strTempFolder, link, tempFiles);
        // Placement moves the file away at once; here it goes.
        DeleteFileA(strExtracted.c_str());
    }
    times.seconds[PASS_EXTRACT] = watch.Lap();
    if (!prompt.m_vecQuestions.empty())
        Fail("the volume search asked for a disk");
    pStream->Close();
    return times;
}

// ---- The floor ----

PassTimes RunFloor(const std::string& strPackage, const SetupHeader& header, const std::string& strTempFolder)
{
    PassTimes times;
    CStopwatch watch;
    std::vector<std::string> vecVolumes;
    for (const std::string& strName : PackageFileNames(header)) {
        const std::string strCopy = strTempFolder + strName;
        if (!CopyFileA((strPackage + strName).c_str(), strCopy.c_str(), TRUE))
            Fail("floor: cannot copy " + strName);
        if (strName != kBenchSetupFileName)
            vecVolumes.push_back(strCopy);
    }
    times.seconds[PASS_COPY] = watch.Lap();
    const CHandle joined = FloorJoin(vecVolumes, strTempFolder + "joined.tmp");
    times.seconds[PASS_JOIN] = watch.Lap();
    FloorVerify(joined, header);
    times.seconds[PASS_VERIFY] = watch.Lap();
    const std::string strOutput = strTempFolder + "file.tmp";
    FloorExtract(
        joined, header, [&](unsigned) { return strOutput; },
        [](unsigned, const std::string& strFile) { DeleteFileA(strFile.c_str()); });
    times.seconds[PASS_EXTRACT] = watch.Lap();
    return times;
}

// ---- The report ----

PassTimes Best(const std::vector<PassTimes>& runs)
{
    PassTimes best = runs.front();
    for (const PassTimes& run : runs)
        for (int n = 0; n < PASS_COUNT; ++n)
            best.seconds[n] = std::min(best.seconds[n], run.seconds[n]);
    return best;
}

double BestTotal(const std::vector<PassTimes>& runs)
{
    double best = runs.front().Total();
    for (const PassTimes& run : runs)
        best = std::min(best, run.Total());
    return best;
}

// A package made in this process has touched memory the setup path never needs: the
// measured runs then happen in a fresh process of this same program.
int RunAgainInNewProcess(const std::string& strFolder)
{
    char szSelf[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, szSelf, sizeof szSelf);
    std::string strCommand = "\"" + std::string(szSelf) + "\" \"" + strFolder + "\"";
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    if (!CreateProcessA(szSelf, &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        Fail("cannot start the measured run");
    CHandle process(info.hProcess);
    CHandle thread(info.hThread);
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD nExitCode = 1;
    GetExitCodeProcess(process.Get(), &nExitCode);
    return static_cast<int>(nExitCode);
}

int Run(const std::string& strFolder, std::size_t nEmptyPeak)
{
    const std::string strWork = WithBackslash(strFolder);
    const std::string strPackage = strWork + "package\\";
    if (GetFileAttributesA((strPackage + kBenchPackageFileName).c_str()) == INVALID_FILE_ATTRIBUTES) {
        MakeBenchPackage(kShape, strWork, strPackage);
        return RunAgainInNewProcess(strFolder);
    }
    const SetupHeader header = ReadBenchHeader(strPackage);
    std::printf("package: %.0f MiB in %u volumes, %u files; %d-bit program\n", MiB(PackageBytes(strPackage, header)),
                header.volumeCount, header.fileCount, static_cast<int>(sizeof(void*) * 8));
    std::fflush(stdout);

    std::vector<PassTimes> setupRuns;
    std::vector<PassTimes> floorRuns;
    std::size_t nSetupPeak = 0;
    for (int nRun = 1; nRun <= kRuns; ++nRun) {
        // The one that runs second pays for the first one's writes still being flushed:
        // the order alternates, so that both pay alike.
        for (int nTurn = 0; nTurn < 2; ++nTurn) {
            if ((nTurn == 0) == (nRun % 2 == 1)) {
                CScratchFolder temp(strWork + "run-setup");
                setupRuns.push_back(RunSetupPath(strPackage, temp.Path()));
                if (nRun == 1)
                    nSetupPeak = PeakWorkingSet();
            } else {
                CScratchFolder temp(strWork + "run-floor");
                floorRuns.push_back(RunFloor(strPackage, header, temp.Path()));
            }
        }
        std::printf("run %d/%d: setup %.2f s, floor %.2f s\n", nRun, kRuns, setupRuns.back().Total(), floorRuns.back().Total());
        std::fflush(stdout);
    }

    const PassTimes setup = Best(setupRuns);
    const PassTimes floorBest = Best(floorRuns);
    std::printf("best of %d     setup     floor   ratio\n", kRuns);
    for (int n = 0; n < PASS_COUNT; ++n)
        std::printf("  %-9s %7.2f s %7.2f s  %5.2f\n", kPassNames[n], setup.seconds[n], floorBest.seconds[n],
                    setup.seconds[n] / floorBest.seconds[n]);
    const double setupTotal = BestTotal(setupRuns);
    const double floorTotal = BestTotal(floorRuns);
    const double ratio = setupTotal / floorTotal;
    std::printf("  %-9s %7.2f s %7.2f s  %5.2f\n", "total", setupTotal, floorTotal, ratio);
    std::printf("memory: peak working set %.1f MiB after the setup path, %.1f MiB for an empty run (+%.1f MiB)\n",
                MiB(nSetupPeak), MiB(nEmptyPeak), MiB(nSetupPeak - std::min(nSetupPeak, nEmptyPeak)));
    std::printf("architecture: %d-bit; target (total ratio <= 1.25): %s\n", static_cast<int>(sizeof(void*) * 8),
                ratio <= 1.25 ? "met" : "NOT met");
    return ratio <= 1.25 ? 0 : 2;
}

} // namespace

int main(int argc, char** argv)
{
    // Before anything of the benchmark is allocated: what an empty run peaks at.
    const std::size_t nEmptyPeak = PeakWorkingSet();
    if (argc != 2) {
        std::fprintf(stderr, "usage: setup_extract_bench FOLDER\n");
        return 1;
    }
    try {
        return Run(argv[1], nEmptyPeak);
    } catch (...) {
        return ReportBenchFailure("setup_extract_bench");
    }
}
