// The uninstall log: the worked example's byte counts and record order read straight from
// the file's bytes, the round trip through the reader, and one refusal per reader check.
#include "format/package_exception.h"
#include "format/package_records.h"
#include "format/plain_file.h"
#include "format/uninstall_log.h"
#include "format/uninstall_log_file.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// Header fields at their offsets as the data model gives them, read here by hand so that
// a slip in the code's own offset table cannot hide.
enum HeaderAt : std::size_t {
    kPackedSize = 68, kGrossSize = 72, kChecksum = 76, kVersion = 80, kFileBytes = 84, kFileOffset = 88,
    kFolderBytes = 92, kFolderOffset = 96, kRegistryBytes = 100, kRegistryOffset = 104, kBody = 108
};

std::uint32_t Le32(const Bytes& bytes, std::size_t nAt)
{
    return static_cast<std::uint32_t>(bytes[nAt] | bytes[nAt + 1] << 8 | bytes[nAt + 2] << 16) |
           static_cast<std::uint32_t>(bytes[nAt + 3]) << 24;
}

void SetLe32(Bytes& bytes, std::size_t nAt, std::uint32_t n)
{
    for (int i = 0; i < 4; ++i)
        bytes[nAt + i] = static_cast<unsigned char>(n >> (8 * i));
}

std::string TextAt(const Bytes& bytes, std::size_t nAt)
{
    return reinterpret_cast<const char*>(bytes.data() + nAt);
}

RegistryEntry Entry(const std::string& strSubKey, const std::string& strValueName = "")
{
    RegistryEntry entry;
    EXPECT_TRUE(MakeRegistryEntry(strSubKey, strValueName, entry));
    return entry;
}

// The worked example: three installed files and the log, one kept shared file, two
// created folders, the three registry entries of a full run.
UninstallLogContent Example()
{
    UninstallLogContent content;
    content.strName = "Aqua";
    content.placedFiles = {"D:\\Savers\\Aqua\\Aqua.scr", "D:\\Savers\\Aqua\\Data\\Aqua.ini",
                           "C:\\WINDOWS\\SYSTEM\\AquaGL.dll", "D:\\Savers\\Aqua\\Unscr.log"};
    content.keptSharedFiles = {"C:\\WINDOWS\\SYSTEM\\lumicore.dll"};
    content.createdFolders = {"D:\\Savers\\Aqua", "D:\\Savers\\Aqua\\Data"};
    content.registryEntries = {Entry("Software\\Lumidrop Screensaver\\C:/WINDOWS/SYSTEM/AQUA~1.SCR"),
                               Entry("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Aqua"),
                               Entry("Software\\Lumidrop Screensaver", "AQUA")};
    return content;
}

Bytes PackedExample()
{
    return PackUninstallLog(BuildUninstallLogImage(Example()));
}

Bytes Inflate(const Bytes& file)
{
    Bytes body(Le32(file, kGrossSize) - 2 * kBody);
    uLongf nOut = static_cast<uLongf>(body.size());
    EXPECT_EQ(uncompress(body.data(), &nOut, file.data() + kBody, static_cast<uLong>(file.size() - kBody)), Z_OK);
    EXPECT_EQ(nOut, body.size());
    return body;
}

// The file again around a changed body, with checksum and packedSize made to match, so
// that only the record checks can catch the change.
Bytes Repack(const Bytes& file, const std::function<void(Bytes& image)>& change)
{
    Bytes image(file.begin(), file.begin() + kBody);
    const Bytes body = Inflate(file);
    image.insert(image.end(), body.begin(), body.end());
    change(image);
    Bytes out(image.begin(), image.begin() + kBody);
    uLongf nPacked = compressBound(static_cast<uLong>(image.size() - kBody));
    out.resize(kBody + nPacked);
    EXPECT_EQ(compress(out.data() + kBody, &nPacked, image.data() + kBody, static_cast<uLong>(image.size() - kBody)),
              Z_OK);
    out.resize(kBody + nPacked);
    SetLe32(out, kPackedSize, static_cast<std::uint32_t>(out.size()));
    SetLe32(out, kChecksum,
            static_cast<std::uint32_t>(adler32(1, image.data() + kBody, static_cast<uInt>(image.size() - kBody))));
    return out;
}

// Changes one byte count by nDelta in the header alone, moving the offsets of the later
// records and grossSize with it, so that the header stays consistent in itself.
void ShiftRecordsEnd(Bytes& file, std::size_t nField, std::int64_t nDelta)
{
    SetLe32(file, nField, static_cast<std::uint32_t>(Le32(file, nField) + nDelta));
    for (std::size_t nAfter : {kFolderOffset, kRegistryOffset})
        if (nAfter > nField + 4) // past the field's own offset
            SetLe32(file, nAfter, static_cast<std::uint32_t>(Le32(file, nAfter) + nDelta));
    SetLe32(file, kGrossSize, static_cast<std::uint32_t>(Le32(file, kGrossSize) + nDelta));
}

struct CDeleteException {
    void operator()(CSetupException* pError) const { pError->Delete(); }
};
template <class TException>
using Caught = std::unique_ptr<TException, CDeleteException>;

// The exception a call raises, or null when it raises none.
template <class TException, class TCall>
Caught<TException> CatchFrom(TCall call)
{
    try {
        call();
    } catch (TException* pError) {
        return Caught<TException>(pError);
    }
    return nullptr;
}

void ExpectSameEntries(const std::vector<RegistryEntry>& actual, const std::vector<RegistryEntry>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].rootKey, expected[i].rootKey);
        EXPECT_EQ(FieldText(actual[i].subKey), FieldText(expected[i].subKey));
        EXPECT_EQ(FieldText(actual[i].valueName), FieldText(expected[i].valueName));
    }
}

} // namespace

TEST(UninstallLog, WorkedExampleHasTheKnownCountsAndOffsets)
{
    const Bytes file = PackedExample();
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "trne");
    EXPECT_EQ(TextAt(file, 4), "Aqua");
    EXPECT_EQ(Le32(file, kPackedSize), file.size());
    EXPECT_EQ(Le32(file, kGrossSize), 3605u);
    EXPECT_EQ(file[kVersion], 16);
    EXPECT_EQ(file[kVersion + 1], 0);
    EXPECT_EQ(Le32(file, 82) & 0xFFFF, 0u);
    EXPECT_EQ(Le32(file, kFileBytes), 1305u);
    EXPECT_EQ(Le32(file, kFileOffset), 108u);
    EXPECT_EQ(Le32(file, kFolderBytes), 512u);
    EXPECT_EQ(Le32(file, kFolderOffset), 1413u);
    EXPECT_EQ(Le32(file, kRegistryBytes), 1572u);
    EXPECT_EQ(Le32(file, kRegistryOffset), 1925u);

    const Bytes body = Inflate(file);
    ASSERT_EQ(body.size(), 3605u - 216u);
    EXPECT_EQ(Le32(file, kChecksum), adler32(1, body.data(), static_cast<uInt>(body.size())));
}

TEST(UninstallLog, RecordsFollowInTheirOrderWithoutGaps)
{
    const Bytes file = PackedExample();
    Bytes image(file.begin(), file.begin() + kBody);
    const Bytes body = Inflate(file);
    image.insert(image.end(), body.begin(), body.end());

    const struct {
        const char* pszPath;
        unsigned nKept;
    } kFiles[] = {{"D:\\Savers\\Aqua\\Aqua.scr", 0},
                  {"D:\\Savers\\Aqua\\Data\\Aqua.ini", 0},
                  {"C:\\WINDOWS\\SYSTEM\\AquaGL.dll", 0},
                  {"D:\\Savers\\Aqua\\Unscr.log", 0},
                  {"C:\\WINDOWS\\SYSTEM\\lumicore.dll", 1}};
    for (std::size_t i = 0; i < 5; ++i) {
        const std::size_t nAt = 108 + 261 * i;
        EXPECT_EQ(TextAt(image, nAt), kFiles[i].pszPath) << i;
        EXPECT_EQ(image[nAt + 260], kFiles[i].nKept) << i;
        // Zero-padded: nothing but zeros between the text and the kept byte.
        for (std::size_t n = nAt + std::strlen(kFiles[i].pszPath); n < nAt + 260; ++n)
            ASSERT_EQ(image[n], 0) << i << " at " << n;
    }
    EXPECT_EQ(TextAt(image, 1413), "D:\\Savers\\Aqua");
    EXPECT_EQ(TextAt(image, 1413 + 256), "D:\\Savers\\Aqua\\Data");

    const struct {
        const char* pszSubKey;
        const char* pszValue;
    } kEntries[] = {{"Software\\Lumidrop Screensaver\\C:/WINDOWS/SYSTEM/AQUA~1.SCR", ""},
                    {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Aqua", ""},
                    {"Software\\Lumidrop Screensaver", "AQUA"}};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::size_t nAt = 1925 + 524 * i;
        EXPECT_EQ(Le32(image, nAt), 0x80000002u) << i;
        EXPECT_EQ(TextAt(image, nAt + 4), kEntries[i].pszSubKey) << i;
        EXPECT_EQ(TextAt(image, nAt + 264), kEntries[i].pszValue) << i;
    }
    EXPECT_EQ(image.size(), 1925u + 3 * 524u);
}

TEST(UninstallLog, PackageWithoutSharedFilesHasNoKeptRecords)
{
    UninstallLogContent content = Example();
    content.keptSharedFiles.clear();
    const Bytes file = PackUninstallLog(BuildUninstallLogImage(content));
    EXPECT_EQ(Le32(file, kFileBytes), 4u * 261u);
    EXPECT_EQ(Le32(file, kFolderOffset), 108u + 4u * 261u);
    const Bytes body = Inflate(file);
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(body[261 * i + 260], 0) << i;
}

TEST(UninstallLog, ImageHeaderWaitsForPackedSize)
{
    const Bytes image = BuildUninstallLogImage(Example());
    ASSERT_EQ(image.size(), 3605u - 108u);
    EXPECT_EQ(Le32(image, kPackedSize), 0u);
    EXPECT_EQ(Le32(image, kGrossSize), 3605u);
}

TEST(UninstallLog, ReaderGivesBackWhatWasWritten)
{
    const UninstallLogContent written = Example();
    const Bytes file = PackUninstallLog(BuildUninstallLogImage(written));
    UninstallLogHeader header;
    const UninstallLogContent read = ReadUninstallLog(file.data(), file.size(), &header);
    EXPECT_EQ(read.strName, written.strName);
    EXPECT_EQ(read.placedFiles, written.placedFiles);
    EXPECT_EQ(read.keptSharedFiles, written.keptSharedFiles);
    EXPECT_EQ(read.createdFolders, written.createdFolders);
    ExpectSameEntries(read.registryEntries, written.registryEntries);
    EXPECT_EQ(header.registryOffset, 1925u);
    EXPECT_EQ(header.packedSize, file.size());
}

TEST(UninstallLog, LogWithoutRecordsIsRead)
{
    UninstallLogContent empty;
    empty.strName = "Nothing";
    const Bytes file = PackUninstallLog(BuildUninstallLogImage(empty));
    EXPECT_EQ(Le32(file, kGrossSize), 216u);
    const UninstallLogContent read = ReadUninstallLog(file.data(), file.size());
    EXPECT_EQ(read.strName, "Nothing");
    EXPECT_TRUE(read.placedFiles.empty() && read.createdFolders.empty() && read.registryEntries.empty());
}

TEST(UninstallLog, LongNameIsCutToItsField)
{
    UninstallLogContent content = Example();
    content.strName = std::string(70, 'n');
    const Bytes file = PackUninstallLog(BuildUninstallLogImage(content));
    EXPECT_EQ(TextAt(file, 4), std::string(63, 'n'));
    EXPECT_EQ(ReadUninstallLog(file.data(), file.size()).strName, std::string(63, 'n'));
}

TEST(UninstallLog, PathsThatDoNotFitAreRefusedNeverCut)
{
    const struct {
        std::size_t nLength;
        bool bFile;
        bool bFits;
    } kCases[] = {{259, true, true}, {260, true, false}, {255, false, true}, {256, false, false}};
    for (const auto& test : kCases) {
        const std::string strPath = "C:\\" + std::string(test.nLength - 3, 'p');
        EXPECT_EQ((test.bFile ? FileFitsInLog : FolderFitsInLog)(strPath), test.bFits) << test.nLength;
        UninstallLogContent content = Example();
        (test.bFile ? content.keptSharedFiles : content.createdFolders).push_back(strPath);
        if (test.bFits) {
            const Bytes file = PackUninstallLog(BuildUninstallLogImage(content));
            const UninstallLogContent read = ReadUninstallLog(file.data(), file.size());
            EXPECT_EQ((test.bFile ? read.keptSharedFiles : read.createdFolders).back(), strPath);
            continue;
        }
        const auto pError = CatchFrom<CPackageException>([&] { BuildUninstallLogImage(content); });
        ASSERT_NE(pError, nullptr) << test.nLength << "-byte path accepted";
        EXPECT_EQ(pError->m_nPhase, 3u);
        EXPECT_EQ(pError->m_nCause, 7u);
        EXPECT_NE(pError->m_strProblem.find(std::to_string(test.nLength) + " bytes"), std::string::npos)
            << pError->m_strProblem;
    }
}

TEST(UninstallLog, OnlyFullPathsOnADriveAreWritten)
{
    const struct {
        const char* pszPath;
        bool bFull;
    } kCases[] = {{"c:\\Aqua", true},       {"Z:\\", true},         {"Aqua\\Aqua.scr", false}, {"\\Aqua", false},
                  {"C:Aqua", false},        {"C:/Aqua", false},     {"\\\\server\\share", false}, {"1:\\Aqua", false}};
    for (const auto& test : kCases) {
        EXPECT_EQ(IsFullDrivePath(test.pszPath), test.bFull) << test.pszPath;
        UninstallLogContent content = Example();
        content.createdFolders.push_back(test.pszPath);
        EXPECT_EQ(CatchFrom<CPackageException>([&] { BuildUninstallLogImage(content); }) == nullptr, test.bFull)
            << test.pszPath;
    }
}

TEST(UninstallLog, EmptyPathIsRefused)
{
    UninstallLogContent content = Example();
    content.placedFiles.insert(content.placedFiles.begin(), "");
    EXPECT_NE(CatchFrom<CPackageException>([&] { BuildUninstallLogImage(content); }), nullptr);
}

namespace {
int FailingCompress(unsigned char*, unsigned long*, const unsigned char*, unsigned long)
{
    return Z_MEM_ERROR;
}

unsigned long g_nOfferedCapacity = 0;
int RecordingCompress(unsigned char* pDest, unsigned long* pnDest, const unsigned char* pSource, unsigned long nSource)
{
    g_nOfferedCapacity = *pnDest;
    return compress(pDest, pnDest, pSource, nSource);
}
} // namespace

TEST(UninstallLog, FailedCompressionIsPhase3Cause10)
{
    const auto pError =
        CatchFrom<CSetupException>([] { PackUninstallLog(BuildUninstallLogImage(Example()), FailingCompress); });
    ASSERT_NE(pError, nullptr);
    EXPECT_EQ(pError->m_nPhaseMessage, 63u);
    EXPECT_EQ(pError->m_nCauseMessage, 199u);
}

TEST(UninstallLog, CompressionGetsTheImageLengthTimes1012Plus8)
{
    PackUninstallLog(BuildUninstallLogImage(Example()), RecordingCompress);
    // 3497 x 1.012 + 8 = 3546.96, truncated.
    EXPECT_EQ(g_nOfferedCapacity, 3546u);
}

// One damage per check of the reader; each is refused with its cause and names its field.
TEST(UninstallLog, DamagedLogsAreRefused)
{
    const Bytes good = PackedExample();
    const struct {
        const char* pszDamage;
        std::function<Bytes(Bytes)> damage;
        unsigned nCause;
        const char* pszReason;
    } kCases[] = {
        {"shorter than the header", [](Bytes f) { f.resize(107); return f; }, 3, "less than its 108-byte header"},
        {"wrong magic", [](Bytes f) { f[0] = 'T'; return f; }, 3, "magic"},
        {"wrong version", [](Bytes f) { f[kVersion] = 17; return f; }, 3, "format version 17"},
        {"longer than packedSize", [](Bytes f) { f.push_back(0); return f; }, 3, "packedSize"},
        {"shorter than packedSize", [](Bytes f) { f.pop_back(); return f; }, 3, "packedSize"},
        {"grossSize below two headers", [](Bytes f) { SetLe32(f, kGrossSize, 215); return f; }, 3, "grossSize 215"},
        {"fileOffset", [](Bytes f) { SetLe32(f, kFileOffset, 109); return f; }, 3, "fileOffset 109"},
        {"fileBytes", [](Bytes f) { ShiftRecordsEnd(f, kFileBytes, -1); return f; }, 3, "fileBytes 1304"},
        {"folderBytes", [](Bytes f) { ShiftRecordsEnd(f, kFolderBytes, 1); return f; }, 3, "folderBytes 513"},
        {"registryBytes", [](Bytes f) { ShiftRecordsEnd(f, kRegistryBytes, 2); return f; }, 3, "registryBytes 1574"},
        {"folderOffset", [](Bytes f) { SetLe32(f, kFolderOffset, 1412); return f; }, 3, "folderOffset 1412"},
        {"registryOffset", [](Bytes f) { SetLe32(f, kRegistryOffset, 1926); return f; }, 3, "registryOffset 1926"},
        {"grossSize past the records", [](Bytes f) { SetLe32(f, kGrossSize, 3605 + 524); return f; }, 3, "grossSize"},
        {"body beyond any inflation",
         [](Bytes f) { ShiftRecordsEnd(f, kFileBytes, 261 * 1000000); return f; }, 3, "cannot come from"},
        {"body longer than declared",
         [](Bytes f) { ShiftRecordsEnd(f, kRegistryBytes, -524); return f; }, 5, "more than"},
        {"body shorter than declared",
         [](Bytes f) { ShiftRecordsEnd(f, kRegistryBytes, 524); return f; }, 5, "not the 3913"},
        {"damaged zlib stream", [](Bytes f) { f[kBody] ^= 0xFF; return f; }, 5, "zlib"},
        {"zlib stream cut short",
         [](Bytes f) {
             f.resize(f.size() - 6);
             SetLe32(f, kPackedSize, static_cast<std::uint32_t>(f.size()));
             return f;
         },
         5, "cut short"},
        {"bytes after the stream",
         [](Bytes f) { f.push_back(1); SetLe32(f, kPackedSize, static_cast<std::uint32_t>(f.size())); return f; }, 3,
         "1 bytes follow"},
        {"checksum", [](Bytes f) { f[kChecksum] ^= 1; return f; }, 3, "Adler-32"},
        {"kept byte 2", [](Bytes f) { return Repack(f, [](Bytes& i) { i[108 + 261 * 4 + 260] = 2; }); }, 3,
         "file record 4 has kept byte 2"},
        {"placed after kept",
         [](Bytes f) { return Repack(f, [](Bytes& i) { i[108 + 261 * 3 + 260] = 1; i[108 + 261 * 4 + 260] = 0; }); },
         3, "file record 4 (kept 0) follows"},
        {"file path without zero",
         [](Bytes f) { return Repack(f, [](Bytes& i) { std::memset(&i[108 + 261], 'x', 260); }); }, 3,
         "file record 1 has no terminating zero"},
        {"empty file path", [](Bytes f) { return Repack(f, [](Bytes& i) { i[108 + 261 * 2] = 0; }); }, 3,
         "file record 2 is empty"},
        {"folder path without zero",
         [](Bytes f) { return Repack(f, [](Bytes& i) { std::memset(&i[1413 + 256], 'x', 256); }); }, 3,
         "folder record 1 has no terminating zero"},
        {"empty folder path", [](Bytes f) { return Repack(f, [](Bytes& i) { i[1413] = 0; }); }, 3,
         "folder record 0 is empty"},
        {"relative file path",
         [](Bytes f) { return Repack(f, [](Bytes& i) { std::memcpy(&i[108 + 261], "Aqua.ini", 9); }); }, 3,
         "file record 1 is not a full path on a drive"},
        {"folder path without its drive",
         [](Bytes f) { return Repack(f, [](Bytes& i) { std::memmove(&i[1413], &i[1413 + 2], 254); }); }, 3,
         "folder record 0 is not a full path on a drive"},
        {"registry root", [](Bytes f) { return Repack(f, [](Bytes& i) { SetLe32(i, 1925 + 524, 0x80000001); }); },
         3, "registry record 1 has root key 0x80000001"},
        {"empty sub-key", [](Bytes f) { return Repack(f, [](Bytes& i) { i[1925 + 4] = 0; }); }, 3,
         "registry record 0's sub-key is empty"},
        {"value name without zero",
         [](Bytes f) { return Repack(f, [](Bytes& i) { std::memset(&i[1925 + 2 * 524 + 264], 'v', 260); }); }, 3,
         "registry record 2's value name"},
    };
    for (const auto& test : kCases) {
        const Bytes damaged = test.damage(good);
        const auto pError = CatchFrom<CPackageException>([&] { ReadUninstallLog(damaged.data(), damaged.size()); });
        if (pError == nullptr) {
            ADD_FAILURE() << test.pszDamage << ": accepted";
            continue;
        }
        EXPECT_EQ(pError->m_nPhase, 4u) << test.pszDamage;
        EXPECT_EQ(pError->m_nCause, test.nCause) << test.pszDamage << ": " << pError->m_strProblem;
        EXPECT_NE(pError->m_strProblem.find(test.pszReason), std::string::npos)
            << test.pszDamage << ": " << pError->m_strProblem;
    }
}

TEST(UninstallLogFile, IsReadWholeFromDiskAndAMissingOneIsCause0)
{
    const std::string strPath = ::testing::TempDir() + "lumidrop-uninstall-log-test.log";
    const Bytes file = PackedExample();
    {
        CPlainFile out;
        ASSERT_TRUE(out.Create(strPath));
        out.Write(file.data(), file.size());
        out.Close();
    }
    CPlainFile in;
    EXPECT_EQ(LoadUninstallLog(in, strPath).placedFiles, Example().placedFiles);
    EXPECT_FALSE(in.IsOpen());
    std::remove(strPath.c_str());

    const auto pError = CatchFrom<CPackageException>([&] { LoadUninstallLog(in, strPath); });
    ASSERT_NE(pError, nullptr) << "a missing log was read";
    EXPECT_EQ(pError->m_nCause, 0u);
    EXPECT_NE(pError->m_strProblem.find(strPath), std::string::npos) << pError->m_strProblem;
}
