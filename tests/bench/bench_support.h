// What the benchmarks run under Wine share: Win32 file handling that fails loudly, a
// stopwatch, scratch folders, the generated bench package (mixed data, fixed seed), and
// the floor passes: the least work a setup's passes need, written against Win32 and zlib.
#pragma once

#include "format/package_records.h"
#include "framework/handle.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

constexpr const char* kBenchSetupFileName = "_setup.spd";
constexpr const char* kBenchPackageFileName = "user.spd";

[[noreturn]] void Fail(const std::string& strWhat);
// Called in a catch (...) block: prints what was thrown, after pszProgram, and returns
// the exit code of a failed run.
int ReportBenchFailure(const char* pszProgram);
std::string WithBackslash(std::string strFolder);
double MiB(std::uint64_t n);
// This process's peak working set, in bytes.
std::size_t PeakWorkingSet();

// Seconds since the last lap (or since it was made).
class CStopwatch {
public:
    CStopwatch();
    double Lap();

private:
    std::int64_t m_nFrequency = 1;
    std::int64_t m_nLast = 0;
};

// A fresh folder (any earlier one of that name removed first), removed with everything
// in it on destruction.
class CScratchFolder {
public:
    explicit CScratchFolder(std::string strPath);
    ~CScratchFolder();
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;
    // With a trailing backslash.
    std::string Path() const { return m_strPath + "\\"; }

private:
    std::string m_strPath;
};

CHandle OpenForReading(const std::string& strPath);
CHandle CreateForWriting(const std::string& strPath);

// The package a benchmark installs or extracts: nFileCount files, every third one text
// that deflate shrinks to under half, the others random bytes, in widely varying sizes,
// spread over 20 folders; split into volumes of nVolumeSize, nVolumes of them.
struct BenchPackageShape {
    unsigned nFileCount;
    std::uint64_t nRandomBytes;
    std::uint64_t nTextBytes;
    std::uint64_t nVolumeSize;
    unsigned nVolumes;
};

// Makes the package in strPackage (a folder, with a trailing backslash), its sources in
// strWork's "src" meanwhile; _setup.spd holds this program as the uninstaller.
void MakeBenchPackage(const BenchPackageShape& shape, const std::string& strWork, const std::string& strPackage);

// File n's place below the destination: "dNN\fNNNNN.bin", NN being n modulo
// kBenchFolderCount.
constexpr unsigned kBenchFolderCount = 20;
std::string BenchFilePath(unsigned nFile);

SetupHeader ReadBenchHeader(const std::string& strPackage);
// _setup.spd, user.spd and the continuation volumes.
std::vector<std::string> PackageFileNames(const SetupHeader& header);
// The bytes of user.spd and its continuation volumes.
std::uint64_t PackageBytes(const std::string& strPackage, const SetupHeader& header);

// The floor's passes. Join: the volumes' data into one file, left open for reading as a
// setup keeps its stream. Verify: the stream read with Adler-32 and checked against the
// header. Extract: from the file section on, each file n inflated (two 256 KiB buffers,
// only full buffers written until the end) into the file outputOf(n) names, which is then
// handed to afterEach.
CHandle FloorJoin(const std::vector<std::string>& vecVolumes, const std::string& strJoined);
void FloorVerify(const CHandle& stream, const SetupHeader& header);
void FloorExtract(const CHandle& stream, const SetupHeader& header, const std::function<std::string(unsigned)>& outputOf,
                  const std::function<void(unsigned, const std::string&)>& afterEach);
