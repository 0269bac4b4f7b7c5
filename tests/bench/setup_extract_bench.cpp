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
#include "engine/file_extraction.h"
#include "format/package_exception.h"
#include "format/package_reader.h"
#include "format/package_records.h"
#include "format/package_writer.h"
#include "format/plain_file.h"
#include "engine/scripted_disk_prompt.h"
#include "engine/setup_file_copies.h"
#include "engine/setup_package_stream.h"
#include "engine/volume_search.h"
#include "framework/exception.h"
#include "framework/handle.h"

#include <windows.h>
#include <psapi.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr const char* kSetupFileName = "_setup.spd";
constexpr const char* kPackageFileName = "user.spd";
constexpr unsigned kFileCount = 384;
// Random bytes pack to their own size, this text to under half of it: about 570 MiB
// packed, in three volumes of 200 MiB.
constexpr std::uint64_t kRandomBytes = 500ull << 20;
constexpr std::uint64_t kTextBytes = 150ull << 20;
constexpr std::uint64_t kVolumeSize = 200ull << 20;
constexpr unsigned kSeed = 20240601;
constexpr int kRuns = 3;
constexpr std::size_t kJoinChunk = 0x80000;
constexpr std::size_t kInflateChunk = 0x40000;

enum Pass { PASS_COPY, PASS_JOIN, PASS_VERIFY, PASS_EXTRACT, PASS_COUNT };
const char* const kPassNames[PASS_COUNT] = {"copy", "join", "verify", "extract"};

struct PassTimes {
    double seconds[PASS_COUNT] = {};
    double Total() const { return seconds[0] + seconds[1] + seconds[2] + seconds[3]; }
};

[[noreturn]] void Fail(const std::string& strWhat)
{
    throw std::runtime_error(strWhat);
}

std::string WithBackslash(std::string strFolder)
{
    if (strFolder.empty() || strFolder.back() != '\\')
        strFolder += '\\';
    return strFolder;
}

std::size_t PeakWorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters;
    std::memset(&counters, 0, sizeof counters);
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return 0;
    return counters.PeakWorkingSetSize;
}

double MiB(std::uint64_t n)
{
    return static_cast<double>(n) / (1 << 20);
}

// Seconds since the last lap (or since it was made).
class CStopwatch {
public:
    CStopwatch()
    {
        QueryPerformanceFrequency(&m_frequency);
        QueryPerformanceCounter(&m_last);
    }
    double Lap()
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        const double seconds = static_cast<double>(now.QuadPart - m_last.QuadPart) / static_cast<double>(m_frequency.QuadPart);
        m_last = now;
        return seconds;
    }

private:
    LARGE_INTEGER m_frequency;
    LARGE_INTEGER m_last;
};

// A FindFirstFileA search handle, closed with FindClose.
class CFindHandle {
public:
    explicit CFindHandle(HANDLE hFind) : m_hFind(hFind) {}
    ~CFindHandle()
    {
        if (m_hFind != INVALID_HANDLE_VALUE)
            FindClose(m_hFind);
    }
    CFindHandle(const CFindHandle&) = delete;
    CFindHandle& operator=(const CFindHandle&) = delete;
    HANDLE Get() const { return m_hFind; }

private:
    HANDLE m_hFind;
};

void RemoveTree(const std::string& strFolder)
{
    {
        WIN32_FIND_DATAA data;
        CFindHandle find(FindFirstFileA((strFolder + "\\*").c_str(), &data));
        if (find.Get() != INVALID_HANDLE_VALUE) {
            do {
                const std::string strName = data.cFileName;
                if (strName == "." || strName == "..")
                    continue;
                const std::string strPath = strFolder + "\\" + strName;
                if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
                    RemoveTree(strPath);
                else
                    DeleteFileA(strPath.c_str());
            } while (FindNextFileA(find.Get(), &data));
        }
    }
    RemoveDirectoryA(strFolder.c_str());
}

// A fresh folder (any earlier one of that name removed first), removed with everything
// in it on destruction.
class CScratchFolder {
public:
    explicit CScratchFolder(std::string strPath) : m_strPath(std::move(strPath))
    {
        RemoveTree(m_strPath);
        if (!CreateDirectoryA(m_strPath.c_str(), nullptr))
            Fail("cannot create " + m_strPath);
    }
    ~CScratchFolder() { RemoveTree(m_strPath); }
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;
    // With a trailing backslash.
    std::string Path() const { return m_strPath + "\\"; }

private:
    std::string m_strPath;
};

CHandle OpenForReading(const std::string& strPath)
{
    CHandle file(CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        Fail("cannot open " + strPath);
    return file;
}

CHandle CreateForWriting(const std::string& strPath)
{
    CHandle file(CreateFileA(strPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        Fail("cannot create " + strPath);
    return file;
}

DWORD ReadSome(const CHandle& file, unsigned char* p, std::size_t n)
{
    DWORD nRead = 0;
    if (!ReadFile(file.Get(), p, static_cast<DWORD>(n), &nRead, nullptr))
        Fail("read failed");
    return nRead;
}

void ReadExact(const CHandle& file, unsigned char* p, std::size_t n)
{
    if (ReadSome(file, p, n) != n)
        Fail("short read");
}

void WriteExact(const CHandle& file, const unsigned char* p, std::size_t n)
{
    DWORD nWritten = 0;
    if (!WriteFile(file.Get(), p, static_cast<DWORD>(n), &nWritten, nullptr) || nWritten != n)
        Fail("write failed");
}

void Move(const CHandle& file, std::uint64_t n, DWORD nFrom)
{
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(n);
    if (!SetFilePointerEx(file.Get(), distance, nullptr, nFrom))
        Fail("seek failed");
}

void Skip(const CHandle& file, std::uint64_t n)
{
    Move(file, n, FILE_CURRENT);
}

void SeekTo(const CHandle& file, std::uint64_t n)
{
    Move(file, n, FILE_BEGIN);
}

// ---- The package ----

// nTotal bytes shared among nCount files in widely varying sizes.
std::vector<std::uint64_t> SplitSizes(std::mt19937& random, unsigned nCount, std::uint64_t nTotal)
{
    std::vector<std::uint64_t> weights(nCount);
    std::uint64_t nWeights = 0;
    for (auto& w : weights) {
        const std::uint64_t r = random() % 1000;
        w = r * r / 100 + 1; // many small files, a few large ones
        nWeights += w;
    }
    std::vector<std::uint64_t> sizes(nCount);
    std::uint64_t nGiven = 0;
    for (unsigned i = 0; i < nCount; ++i) {
        sizes[i] = i + 1 == nCount ? nTotal - nGiven : nTotal * weights[i] / nWeights;
        nGiven += sizes[i];
    }
    return sizes;
}

// About 2 MiB of words: text that deflate shrinks to under half.
std::vector<unsigned char> TextPool(std::mt19937& random)
{
    std::vector<std::string> words(4000);
    for (auto& word : words) {
        word.resize(2 + random() % 8);
        for (char& c : word)
            c = static_cast<char>('a' + random() % 26);
    }
    std::vector<unsigned char> pool;
    while (pool.size() < (2u << 20)) {
        const std::string& word = words[random() % words.size()];
        pool.insert(pool.end(), word.begin(), word.end());
        pool.push_back(' ');
    }
    return pool;
}

void WriteSourceFile(const std::string& strPath, std::uint64_t nSize, bool bText, const std::vector<unsigned char>& pool,
                     std::mt19937& random)
{
    CHandle file = CreateForWriting(strPath);
    std::vector<unsigned char> buffer(1 << 20);
    std::size_t nPoolAt = random() % pool.size();
    while (nSize > 0) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(nSize, buffer.size()));
        if (bText) {
            for (std::size_t i = 0; i < n; ++i) {
                buffer[i] = pool[nPoolAt];
                nPoolAt = nPoolAt + 1 == pool.size() ? 0 : nPoolAt + 1;
            }
        } else {
            for (std::size_t i = 0; i < n; i += 4) {
                const std::uint32_t r = random();
                for (std::size_t k = 0; k < 4 && i + k < n; ++k)
                    buffer[i + k] = static_cast<unsigned char>(r >> (8 * k));
            }
        }
        WriteExact(file, buffer.data(), n);
        nSize -= n;
    }
}

void MakePackage(const std::string& strWork, const std::string& strPackage)
{
    std::printf("making %u source files (%.0f MiB)...\n", kFileCount, MiB(kRandomBytes + kTextBytes));
    std::fflush(stdout);
    std::mt19937 random(kSeed);
    const std::vector<unsigned char> pool = TextPool(random);
    const unsigned nTextFiles = kFileCount / 3;
    const std::vector<std::uint64_t> randomSizes = SplitSizes(random, kFileCount - nTextFiles, kRandomBytes);
    const std::vector<std::uint64_t> textSizes = SplitSizes(random, nTextFiles, kTextBytes);

    CScratchFolder sources(strWork + "src");
    PackageContents contents;
    contents.strName = "Lumidrop Bench";
    ParsePackageId("{0BADC0DE-0000-4000-8000-00000000BE4C}", contents.packageId);
    contents.strDefaultFolder = "Bench";
    for (unsigned i = 0; i < kFileCount; ++i) {
        const bool bText = i % 3 == 0;
        const std::uint64_t nSize = bText ? textSizes[i / 3] : randomSizes[i - i / 3 - 1];
        char szName[32];
        std::snprintf(szName, sizeof szName, "f%03u.bin", i);
        PackageFileEntry file;
        file.strFolder = "d" + std::to_string(i % 20);
        file.strFileName = szName;
        file.strSourcePath = sources.Path() + szName;
        WriteSourceFile(file.strSourcePath, nSize, bText, pool, random);
        contents.vecFiles.push_back(file);
    }
    std::printf("packing...\n");
    std::fflush(stdout);
    CreateDirectoryA(strPackage.c_str(), nullptr);
    const PackageWriteResult written = WritePackage(contents, strPackage, kVolumeSize);
    if (written.vecVolumePaths.size() != 3)
        Fail("the package took " + std::to_string(written.vecVolumePaths.size()) + " volumes, not 3");
    // The run copies _setup.spd too: this program stands in for the uninstaller.
    char szSelf[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, szSelf, sizeof szSelf);
    WriteUninstallerFile(szSelf, strPackage + kSetupFileName);
}

SetupHeader ReadHeader(const std::string& strPackage)
{
    CPlainFile file;
    return ReadSetupHeader(file, strPackage + kPackageFileName);
}

std::vector<std::string> PackageFileNames(const SetupHeader& header)
{
    std::vector<std::string> names = {kSetupFileName, kPackageFileName};
    for (unsigned n = 1; n < header.volumeCount; ++n)
        names.push_back(VolumeFileName(n));
    return names;
}

std::uint64_t PackageBytes(const std::string& strPackage, const SetupHeader& header)
{
    std::uint64_t nTotal = 0;
    for (const std::string& strName : PackageFileNames(header)) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (strName != kSetupFileName && GetFileAttributesExA((strPackage + strName).c_str(), GetFileExInfoStandard, &data))
            nTotal += (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    return nTotal;
}

// ---- The setup's path ----

PassTimes RunSetupPath(const std::string& strPackage, const std::string& strTempFolder)
{
    PassTimes times;
    CSetupThreadLink link; // no windows: cancel checks and progress steps only
    CScriptedDiskPrompt prompt;
    std::vector<std::string> tempFiles;
    std::vector<std::string> volumeCopies;
    CStopwatch watch;

    const SetupHeader header = ReadHeader(strPackage);
    CopyIntoTempFolder(strPackage + kSetupFileName, strTempFolder, tempFiles);
    volumeCopies.push_back(CopyIntoTempFolder(strPackage + kPackageFileName, strTempFolder, tempFiles));
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

// The joined stream stays open for reading, as the setup keeps it.
CHandle FloorJoin(const std::vector<std::string>& vecVolumes, const std::string& strJoined)
{
    CHandle joined = CreateForWriting(strJoined);
    std::vector<unsigned char> buffer(kJoinChunk);
    for (std::size_t nVolume = 0; nVolume < vecVolumes.size(); ++nVolume) {
        CHandle volume = OpenForReading(vecVolumes[nVolume]);
        std::size_t nSkip = nVolume > 0 ? kVolumeHeaderSize : 0;
        for (;;) {
            const DWORD nRead = ReadSome(volume, buffer.data(), buffer.size());
            if (nRead == 0)
                break;
            const std::size_t nDropped = std::min<std::size_t>(nSkip, nRead);
            WriteExact(joined, buffer.data() + nDropped, nRead - nDropped);
            nSkip = 0;
        }
    }
    return joined;
}

void FloorVerify(const CHandle& stream, const SetupHeader& header)
{
    SeekTo(stream, 0);
    std::vector<unsigned char> buffer(kJoinChunk);
    ReadExact(stream, buffer.data(), kSetupHeaderSize);
    uLong nAdler = adler32(0, nullptr, 0);
    std::uint64_t nLength = kSetupHeaderSize;
    for (;;) {
        const DWORD nRead = ReadSome(stream, buffer.data(), buffer.size());
        if (nRead == 0)
            break;
        nAdler = adler32(nAdler, buffer.data(), nRead);
        nLength += nRead;
    }
    if (nAdler != header.dataChecksum || nLength != header.totalSize)
        Fail("floor: the joined stream does not check");
}

// One zlib state, released on every way out.
class CInflater {
public:
    CInflater()
    {
        std::memset(&m_z, 0, sizeof m_z);
        if (inflateInit(&m_z) != Z_OK)
            Fail("inflateInit");
    }
    ~CInflater() { inflateEnd(&m_z); }
    CInflater(const CInflater&) = delete;
    CInflater& operator=(const CInflater&) = delete;

    z_stream m_z;
};

BlockHeader ReadBlock(const CHandle& stream)
{
    unsigned char bytes[kBlockHeaderSize];
    ReadExact(stream, bytes, sizeof bytes);
    return DecodeBlockHeader(bytes);
}

void FloorInflate(const CHandle& stream, const BlockHeader& block, const std::string& strOutput, std::vector<unsigned char>& in,
                  std::vector<unsigned char>& out)
{
    CHandle file = CreateForWriting(strOutput);
    CInflater inflater;
    z_stream& z = inflater.m_z;
    std::uint64_t nWritten = 0;
    int nStatus = Z_OK;
    std::uint32_t nLeft = block.storedSize;
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    // Only full buffers are written until the end, as the setup does.
    while (nLeft > 0 && nStatus == Z_OK) {
        const std::size_t n = std::min<std::size_t>(nLeft, in.size());
        ReadExact(stream, in.data(), n);
        nLeft -= static_cast<std::uint32_t>(n);
        z.next_in = in.data();
        z.avail_in = static_cast<uInt>(n);
        do {
            if (z.avail_out == 0) {
                WriteExact(file, out.data(), out.size());
                nWritten += out.size();
                z.next_out = out.data();
                z.avail_out = static_cast<uInt>(out.size());
            }
            nStatus = inflate(&z, Z_NO_FLUSH);
        } while (nStatus == Z_OK && z.avail_in > 0);
    }
    const std::size_t nPending = out.size() - z.avail_out;
    WriteExact(file, out.data(), nPending);
    nWritten += nPending;
    if ((block.storedSize > 0 && nStatus != Z_STREAM_END) || nWritten != block.unpackedSize)
        Fail("floor: a file does not inflate");
}

void FloorExtract(const CHandle& stream, const SetupHeader& header, const std::string& strFolder)
{
    SeekTo(stream, header.fileSectionOffset + kBlockHeaderSize);
    std::vector<unsigned char> in(kInflateChunk);
    std::vector<unsigned char> out(kInflateChunk);
    const std::string strOutput = strFolder + "file.tmp";
    for (unsigned i = 0; i < header.fileCount; ++i) {
        Skip(stream, ReadBlock(stream).storedSize); // the FileRecord
        FloorInflate(stream, ReadBlock(stream), strOutput, in, out);
        DeleteFileA(strOutput.c_str());
    }
}

PassTimes RunFloor(const std::string& strPackage, const SetupHeader& header, const std::string& strTempFolder)
{
    PassTimes times;
    CStopwatch watch;
    std::vector<std::string> vecVolumes;
    for (const std::string& strName : PackageFileNames(header)) {
        const std::string strCopy = strTempFolder + strName;
        if (!CopyFileA((strPackage + strName).c_str(), strCopy.c_str(), TRUE))
            Fail("floor: cannot copy " + strName);
        if (strName != kSetupFileName)
            vecVolumes.push_back(strCopy);
    }
    times.seconds[PASS_COPY] = watch.Lap();
    const CHandle joined = FloorJoin(vecVolumes, strTempFolder + "joined.tmp");
    times.seconds[PASS_JOIN] = watch.Lap();
    FloorVerify(joined, header);
    times.seconds[PASS_VERIFY] = watch.Lap();
    FloorExtract(joined, header, strTempFolder);
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
    if (GetFileAttributesA((strPackage + kPackageFileName).c_str()) == INVALID_FILE_ATTRIBUTES) {
        MakePackage(strWork, strPackage);
        return RunAgainInNewProcess(strFolder);
    }
    const SetupHeader header = ReadHeader(strPackage);
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
    } catch (CSetupException* e) {
        const auto* pDetail = dynamic_cast<CPackageException*>(e);
        std::fprintf(stderr, "setup_extract_bench: setup failure, messages %u/%u: %s\n", e->m_nPhaseMessage,
                     e->m_nCauseMessage, pDetail != nullptr ? pDetail->m_strProblem.c_str() : "");
        e->Delete();
    } catch (CFileException* e) {
        std::fprintf(stderr, "setup_extract_bench: %s\n", e->Describe().c_str());
        e->Delete();
    } catch (CException* e) {
        char szText[512] = "";
        e->GetErrorMessage(szText, sizeof szText);
        std::fprintf(stderr, "setup_extract_bench: %s\n", szText);
        e->Delete();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "setup_extract_bench: %s\n", e.what());
    }
    return 1;
}
