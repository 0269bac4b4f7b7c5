#include "tests/bench/bench_support.h"

#include "format/package_exception.h"
#include "format/package_reader.h"
#include "format/package_writer.h"
#include "format/plain_file.h"
#include "framework/exception.h"
#include "sys/my_exception.h"
#include "tests/win/temp_folder.h"

#include <windows.h>
#include <psapi.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <stdexcept>

namespace {
constexpr unsigned kSeed = 20240601;
constexpr std::size_t kJoinChunk = 0x80000;
constexpr std::size_t kInflateChunk = 0x40000;

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
} // namespace

void Fail(const std::string& strWhat)
{
    throw std::runtime_error(strWhat);
}

int ReportBenchFailure(const char* pszProgram)
{
    try {
        throw;
    } catch (CSetupException* e) {
        const auto* pDetail = dynamic_cast<CPackageException*>(e);
        std::fprintf(stderr, "%s: setup failure, messages %u/%u: %s\n", pszProgram, e->m_nPhaseMessage,
                     e->m_nCauseMessage, pDetail != nullptr ? pDetail->m_strProblem.c_str() : "");
        e->Delete();
    } catch (CFileException* e) {
        std::fprintf(stderr, "%s: %s\n", pszProgram, e->Describe().c_str());
        e->Delete();
    } catch (CException* e) {
        char szText[512] = "";
        e->GetErrorMessage(szText, sizeof szText);
        std::fprintf(stderr, "%s: %s\n", pszProgram, szText);
        e->Delete();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", pszProgram, e.what());
    }
    return 1;
}

std::string WithBackslash(std::string strFolder)
{
    if (strFolder.empty() || strFolder.back() != '\\')
        strFolder += '\\';
    return strFolder;
}

double MiB(std::uint64_t n)
{
    return static_cast<double>(n) / (1 << 20);
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

CStopwatch::CStopwatch()
{
    LARGE_INTEGER value;
    QueryPerformanceFrequency(&value);
    m_nFrequency = value.QuadPart;
    QueryPerformanceCounter(&value);
    m_nLast = value.QuadPart;
}

double CStopwatch::Lap()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const double seconds = static_cast<double>(now.QuadPart - m_nLast) / static_cast<double>(m_nFrequency);
    m_nLast = now.QuadPart;
    return seconds;
}

CScratchFolder::CScratchFolder(std::string strPath) : m_strPath(std::move(strPath))
{
    CTempFolder::RemoveTree(m_strPath);
    if (!CreateDirectoryA(m_strPath.c_str(), nullptr))
        Fail("cannot create " + m_strPath);
}

CScratchFolder::~CScratchFolder()
{
    CTempFolder::RemoveTree(m_strPath);
}

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

std::string BenchFilePath(unsigned nFile)
{
    char szPath[32];
    std::snprintf(szPath, sizeof szPath, "d%02u\\f%05u.bin", nFile % kBenchFolderCount, nFile);
    return szPath;
}

void MakeBenchPackage(const BenchPackageShape& shape, const std::string& strWork, const std::string& strPackage)
{
    std::printf("making %u source files (%.0f MiB)...\n", shape.nFileCount, MiB(shape.nRandomBytes + shape.nTextBytes));
    std::fflush(stdout);
    std::mt19937 random(kSeed);
    const std::vector<unsigned char> pool = TextPool(random);
    const unsigned nTextFiles = (shape.nFileCount + 2) / 3;
    const std::vector<std::uint64_t> randomSizes = SplitSizes(random, shape.nFileCount - nTextFiles, shape.nRandomBytes);
    const std::vector<std::uint64_t> textSizes = SplitSizes(random, nTextFiles, shape.nTextBytes);

    CScratchFolder sources(strWork + "src");
    PackageContents contents;
    contents.strName = "Lumidrop Bench";
    ParsePackageId("{0BADC0DE-0000-4000-8000-00000000BE4C}", contents.packageId);
    contents.strDefaultFolder = "Bench";
    for (unsigned i = 0; i < shape.nFileCount; ++i) {
        const bool bText = i % 3 == 0;
        const std::uint64_t nSize = bText ? textSizes[i / 3] : randomSizes[i - i / 3 - 1];
        const std::string strPath = BenchFilePath(i);
        const std::size_t nCut = strPath.find('\\');
        PackageFileEntry file;
        file.strFolder = strPath.substr(0, nCut);
        file.strFileName = strPath.substr(nCut + 1);
        file.strSourcePath = sources.Path() + file.strFileName;
        WriteSourceFile(file.strSourcePath, nSize, bText, pool, random);
        contents.vecFiles.push_back(file);
    }
    for (unsigned n = 0; n < std::min(shape.nFileCount, kBenchFolderCount); ++n)
        contents.vecDirectories.push_back({Destination, contents.vecFiles[n].strFolder});
    std::printf("packing...\n");
    std::fflush(stdout);
    CreateDirectoryA(strPackage.c_str(), nullptr);
    const PackageWriteResult written = WritePackage(contents, strPackage, shape.nVolumeSize);
    if (written.vecVolumePaths.size() != shape.nVolumes)
        Fail("the package took " + std::to_string(written.vecVolumePaths.size()) + " volumes, not " +
             std::to_string(shape.nVolumes));
    // The run copies _setup.spd too: this program stands in for the uninstaller.
    char szSelf[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, szSelf, sizeof szSelf);
    WriteUninstallerFile(szSelf, strPackage + kBenchSetupFileName);
}

SetupHeader ReadBenchHeader(const std::string& strPackage)
{
    CPlainFile file;
    return ReadSetupHeader(file, strPackage + kBenchPackageFileName);
}

std::vector<std::string> PackageFileNames(const SetupHeader& header)
{
    std::vector<std::string> names = {kBenchSetupFileName, kBenchPackageFileName};
    for (unsigned n = 1; n < header.volumeCount; ++n)
        names.push_back(VolumeFileName(n));
    return names;
}

std::uint64_t PackageBytes(const std::string& strPackage, const SetupHeader& header)
{
    std::uint64_t nTotal = 0;
    for (const std::string& strName : PackageFileNames(header)) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (strName != kBenchSetupFileName && GetFileAttributesExA((strPackage + strName).c_str(), GetFileExInfoStandard, &data))
            nTotal += (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    return nTotal;
}

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
    Move(stream, 0, FILE_BEGIN);
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

void FloorExtract(const CHandle& stream, const SetupHeader& header, const std::function<std::string(unsigned)>& outputOf,
                  const std::function<void(unsigned, const std::string&)>& afterEach)
{
    Move(stream, header.fileSectionOffset + kBlockHeaderSize, FILE_BEGIN);
    std::vector<unsigned char> in(kInflateChunk);
    std::vector<unsigned char> out(kInflateChunk);
    for (unsigned n = 0; n < header.fileCount; ++n) {
        Move(stream, ReadBlock(stream).storedSize, FILE_CURRENT); // the FileRecord
        const std::string strOutput = outputOf(n);
        FloorInflate(stream, ReadBlock(stream), strOutput, in, out);
        afterEach(n, strOutput);
    }
}
