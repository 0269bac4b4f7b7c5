// spdtool end to end: the built program packs, lists, verifies and extracts, and refuses
// damaged packages and escaping names with the right exit codes.
#include "engine/package_writer.h"
#include "tests/native/package_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

struct SRun {
    int nExit;
    std::string strOut;
    std::string strErr;
};

std::string Quote(const std::string& strText)
{
    std::string strOut = "'";
    for (char c : strText)
        strOut += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return strOut + "'";
}

class SpdtoolCli : public ::testing::Test {
protected:
    SRun Run(const std::string& strArgs)
    {
        std::string strCommand = Quote(SPDTOOL_PATH) + " " + strArgs + " >" + Quote(m_folder.File("out.txt")) + " 2>" +
                                 Quote(m_folder.File("err.txt"));
        int nStatus = std::system(strCommand.c_str());
        Bytes out = ReadAll(m_folder.File("out.txt"));
        Bytes err = ReadAll(m_folder.File("err.txt"));
        return SRun{WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1, std::string(out.begin(), out.end()),
                    std::string(err.begin(), err.end())};
    }
    std::string Path(const std::string& strName) { return Quote(m_folder.File(strName)); }

    // Source files and a manifest for a package with every kind of entry.
    void MakeSources()
    {
        fs::create_directories(m_folder.Path() / "src");
        m_random = RandomBytes(400000, 7);
        m_text = TextBytes(900000);
        WriteAll(m_folder.File("src/aurora.scr"), m_random);
        WriteAll(m_folder.File("src/readme.txt"), m_text);
        WriteAll(m_folder.File("src/empty.dat"), Bytes());
        WriteAll(m_folder.File("src/unin.exe"), TextBytes(3000));
        WriteAll(m_folder.File("m.txt"), ToBytes("name = Lumidrop Aurora\n"
                                                 "id = {00112233-4455-6677-8899-AABBCCDDEEFF}\n"
                                                 "default-folder = Aurora\n"
                                                 "directory = Destination | Data\\Images\n"
                                                 "file = Destination | | aurora.scr | src/aurora.scr | Screensaver, Vital\n"
                                                 "file = Destination | Docs\\En | readme.txt | src/readme.txt | Config\n"
                                                 "file = System | | empty.dat | src/empty.dat | Shared\n"
                                                 "uninstaller = src/unin.exe\n"));
    }
    static Bytes ToBytes(const std::string& strText) { return Bytes(strText.begin(), strText.end()); }

    void ExpectExtracted(const std::string& strDir)
    {
        EXPECT_TRUE(ReadAll(m_folder.File(strDir + "/Destination/aurora.scr")) == m_random);
        EXPECT_TRUE(ReadAll(m_folder.File(strDir + "/Destination/Docs/En/readme.txt")) == m_text);
        EXPECT_TRUE(fs::is_regular_file(m_folder.Path() / strDir / "System" / "empty.dat"));
        EXPECT_EQ(fs::file_size(m_folder.Path() / strDir / "System" / "empty.dat"), 0u);
        EXPECT_TRUE(fs::is_directory(m_folder.Path() / strDir / "Destination" / "Data" / "Images"));
    }

    CTempFolder m_folder;
    Bytes m_random;
    Bytes m_text;
};

TEST_F(SpdtoolCli, PackListVerifyExtractSingleVolume)
{
    MakeSources();
    SRun pack = Run("pack " + Path("m.txt") + " -o " + Path("pkg"));
    ASSERT_EQ(pack.nExit, 0) << pack.strErr;
    EXPECT_TRUE(fs::exists(m_folder.Path() / "pkg" / "_setup.spd"));
    EXPECT_FALSE(fs::exists(m_folder.Path() / "pkg" / "user.001"));

    SRun list = Run("list " + Path("pkg"));
    ASSERT_EQ(list.nExit, 0) << list.strErr;
    EXPECT_NE(list.strOut.find("Lumidrop Aurora"), std::string::npos);
    EXPECT_NE(list.strOut.find("{00112233-4455-6677-8899-AABBCCDDEEFF}"), std::string::npos);
    EXPECT_NE(list.strOut.find("Destination\\Docs\\En\\readme.txt  flags=Config  stored="), std::string::npos);
    EXPECT_NE(list.strOut.find("System\\empty.dat  flags=Shared  stored=0 unpacked=0 checksum=0x00000001"), std::string::npos);
    SRun json = Run("list " + Path("pkg/user.spd") + " --json");
    ASSERT_EQ(json.nExit, 0) << json.strErr;
    EXPECT_NE(json.strOut.find("\"name\": \"aurora.scr\", \"flags\": 6, \"flagNames\": \"Vital,Screensaver\""), std::string::npos);
    EXPECT_NE(json.strOut.find("\"unpackedSize\": 900000"), std::string::npos);

    SRun verify = Run("verify " + Path("pkg"));
    EXPECT_EQ(verify.nExit, 0) << verify.strErr;
    EXPECT_EQ(verify.strOut.rfind("OK: Lumidrop Aurora", 0), 0u);

    SRun extract = Run("extract " + Path("pkg") + " -o " + Path("x"));
    ASSERT_EQ(extract.nExit, 0) << extract.strErr;
    ExpectExtracted("x");
    // Nothing but the roots is left in the target: the staging folder is gone.
    std::size_t nEntries = 0;
    for (const auto& entry : fs::directory_iterator(m_folder.Path() / "x")) {
        (void)entry;
        ++nEntries;
    }
    EXPECT_EQ(nEntries, 2u);
}

TEST_F(SpdtoolCli, VolumesInDiskFolders)
{
    MakeSources();
    ASSERT_EQ(Run("pack " + Path("m.txt") + " -o " + Path("pkg") + " --volume-size 200000").nExit, 0);
    ASSERT_TRUE(fs::exists(m_folder.Path() / "pkg" / "user.002"));
    fs::create_directories(m_folder.Path() / "cd" / "Disk 1");
    fs::rename(m_folder.Path() / "pkg" / "user.spd", m_folder.Path() / "cd" / "Disk 1" / "user.spd");
    for (unsigned k = 1; fs::exists(m_folder.Path() / "pkg" / VolumeFileName(k)); ++k) {
        fs::path disk = m_folder.Path() / "cd" / ("Disk " + std::to_string(k + 1));
        fs::create_directories(disk);
        fs::rename(m_folder.Path() / "pkg" / VolumeFileName(k), disk / VolumeFileName(k));
    }
    SRun verify = Run("verify " + Path("cd/Disk 1"));
    EXPECT_EQ(verify.nExit, 0) << verify.strErr;
    SRun extract = Run("extract " + Path("cd/Disk 1/user.spd") + " -o " + Path("x"));
    ASSERT_EQ(extract.nExit, 0) << extract.strErr;
    ExpectExtracted("x");

    // A missing volume is named.
    fs::remove(m_folder.Path() / "cd" / "Disk 3" / "user.002");
    SRun missing = Run("verify " + Path("cd/Disk 1"));
    EXPECT_EQ(missing.nExit, 1);
    EXPECT_NE(missing.strErr.find("user.002"), std::string::npos) << missing.strErr;
}

TEST_F(SpdtoolCli, DamagedPackageIsReportedAndNothingIsExtracted)
{
    MakeSources();
    ASSERT_EQ(Run("pack " + Path("m.txt") + " -o " + Path("pkg") + " --volume-size 200000").nExit, 0);
    Bytes volume = ReadAll(m_folder.File("pkg/user.001"));
    ASSERT_GT(volume.size(), 5000u);
    volume[5000] ^= 0x5A; // inside aurora.scr's data
    WriteAll(m_folder.File("pkg/user.001"), volume);
    SRun verify = Run("verify " + Path("pkg"));
    EXPECT_EQ(verify.nExit, 1);
    EXPECT_NE(verify.strErr.find("cause 3"), std::string::npos) << verify.strErr;
    EXPECT_NE(verify.strErr.find("aurora.scr"), std::string::npos) << verify.strErr;
    EXPECT_NE(verify.strErr.find("user."), std::string::npos) << verify.strErr;
    SRun extract = Run("extract " + Path("pkg") + " -o " + Path("x"));
    EXPECT_EQ(extract.nExit, 1);
    EXPECT_FALSE(fs::exists(m_folder.Path() / "x"));
    // An existing target is left as it was.
    fs::create_directories(m_folder.Path() / "y");
    EXPECT_EQ(Run("extract " + Path("pkg") + " -o " + Path("y")).nExit, 1);
    EXPECT_TRUE(fs::is_empty(m_folder.Path() / "y"));
}

TEST_F(SpdtoolCli, EscapingNamesAreRefused)
{
    for (const char* pszName : {"..\\..\\evil.txt", "C:\\evil.txt", "\\evil.txt", "a:b"}) {
        PackageContents contents;
        contents.strName = "Evil";
        PackageFileEntry good;
        good.strFileName = "good.txt";
        good.content = TextBytes(10);
        contents.vecFiles.push_back(good);
        PackageFileEntry bad;
        bad.strFileName = pszName;
        bad.content = TextBytes(10);
        contents.vecFiles.push_back(bad);
        fs::remove_all(m_folder.Path() / "pkg");
        fs::create_directories(m_folder.Path() / "pkg");
        WritePackage(contents, m_folder.File("pkg"));
        SRun extract = Run("extract " + Path("pkg") + " -o " + Path("x/y"));
        EXPECT_EQ(extract.nExit, 1) << pszName;
        EXPECT_NE(extract.strErr.find("refused"), std::string::npos) << extract.strErr;
        EXPECT_FALSE(fs::exists(m_folder.Path() / "x" / "y")) << pszName;
        EXPECT_FALSE(fs::exists(m_folder.Path() / "evil.txt"));
        EXPECT_FALSE(fs::exists(m_folder.Path() / "x" / "evil.txt"));
        // verify accepts it (the setup would) but warns.
        SRun verify = Run("verify " + Path("pkg"));
        EXPECT_EQ(verify.nExit, 0);
        EXPECT_NE(verify.strErr.find("warning"), std::string::npos);
    }
}

TEST_F(SpdtoolCli, UsageAndHelp)
{
    EXPECT_EQ(Run("").nExit, 2);
    EXPECT_EQ(Run("frobnicate").nExit, 2);
    EXPECT_EQ(Run("verify").nExit, 2);
    EXPECT_EQ(Run("verify a b").nExit, 2);
    EXPECT_EQ(Run("pack m.txt").nExit, 2);
    EXPECT_EQ(Run("pack m.txt -o d --volume-size 12x").nExit, 2);
    EXPECT_EQ(Run("pack m.txt -o d --volume-size 100").nExit, 2);
    EXPECT_EQ(Run("extract pkg").nExit, 2);
    EXPECT_EQ(Run("list --bogus pkg").nExit, 2);
    for (const char* pszCommand : {"pack", "list", "verify", "extract"}) {
        SRun help = Run(std::string(pszCommand) + " --help");
        EXPECT_EQ(help.nExit, 0);
        EXPECT_EQ(help.strOut.rfind(std::string("usage: spdtool ") + pszCommand, 0), 0u) << help.strOut;
    }
    EXPECT_EQ(Run("verify " + Path("nowhere")).nExit, 1);
    WriteAll(m_folder.File("bad.txt"), ToBytes("name = X\nfile = Nowhere | | a | a\n"));
    SRun pack = Run("pack " + Path("bad.txt") + " -o " + Path("out"));
    EXPECT_EQ(pack.nExit, 1);
    EXPECT_NE(pack.strErr.find("bad.txt:2: unknown root"), std::string::npos) << pack.strErr;
}

} // namespace
