// spdtool end to end: the built program packs, lists, verifies and extracts, and refuses
// damaged packages and escaping names with the right exit codes; a refused extract leaves
// its target as it was.
#include "format/package_reader.h"
#include "format/package_writer.h"
#include "format/plain_file.h"
#include "format/uninstall_log.h"
#include "tests/native/package_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>
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
    SRun Run(const std::string& strArgs, const std::string& strProgram = SPDTOOL_PATH)
    {
        std::string strCommand = Quote(strProgram) + " " + strArgs + " >" + Quote(m_folder.File("out.txt")) + " 2>" +
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

    // A fresh folder pkg holding the package.
    void WriteSmallPackage(const PackageContents& contents)
    {
        fs::remove_all(m_folder.Path() / "pkg");
        fs::create_directories(m_folder.Path() / "pkg");
        WritePackage(contents, m_folder.File("pkg"));
    }

    // Everything under the test folder, links not followed, with what each path holds;
    // the program's own out.txt and err.txt are left out.
    std::map<std::string, std::string> Snapshot() const
    {
        std::map<std::string, std::string> mapTree;
        for (auto it = fs::recursive_directory_iterator(m_folder.Path()); it != fs::recursive_directory_iterator(); ++it) {
            std::string strPath = it->path().lexically_relative(m_folder.Path()).string();
            if (strPath == "out.txt" || strPath == "err.txt")
                continue;
            if (it->is_symlink()) {
                mapTree[strPath] = "link to " + fs::read_symlink(it->path()).string();
            } else if (it->is_directory()) {
                mapTree[strPath] = "folder";
            } else {
                Bytes content = ReadAll(it->path().string());
                mapTree[strPath] = std::string(content.begin(), content.end());
            }
        }
        return mapTree;
    }

    // The paths added, removed or changed since the snapshot, one a line.
    std::string ChangesSince(const std::map<std::string, std::string>& before) const
    {
        std::map<std::string, std::string> after = Snapshot();
        std::string strChanges;
        for (const auto& entry : after) {
            auto it = before.find(entry.first);
            if (it == before.end())
                strChanges += "added " + entry.first + "\n";
            else if (it->second != entry.second)
                strChanges += "changed " + entry.first + "\n";
        }
        for (const auto& entry : before) {
            if (after.count(entry.first) == 0)
                strChanges += "removed " + entry.first + "\n";
        }
        return strChanges;
    }

    CTempFolder m_folder;
    Bytes m_random;
    Bytes m_text;
};

PackageFileEntry SmallFile(std::uint8_t root, const std::string& strFolder, const std::string& strName, Bytes content)
{
    PackageFileEntry file;
    file.root = root;
    file.strFolder = strFolder;
    file.strFileName = strName;
    file.content = std::move(content);
    return file;
}

// Every kind of entry in a few bytes: a directory entry, a file in a folder, files in two roots.
PackageContents SmallContents()
{
    PackageContents contents;
    contents.strName = "Small";
    contents.vecDirectories = {{Destination, "Data\\Images"}};
    contents.vecFiles = {SmallFile(Destination, "", "aurora.scr", TextBytes(300)),
                         SmallFile(Destination, "Docs\\En", "readme.txt", TextBytes(50)),
                         SmallFile(System, "", "empty.dat", Bytes())};
    return contents;
}

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

// Bytes before the file section that only the stream's checksum covers: the section's own
// checksum cannot see them, so extract must compare dataChecksum itself before it commits.
TEST_F(SpdtoolCli, DamageOnlyTheStreamChecksumSeesIsNotExtracted)
{
    struct SDamage {
        const char* pszWhere;
        void (*pfnDamage)(Bytes& image);
    };
    const SDamage kDamage[] = {
        {"dataChecksum of the setup header",
         [](Bytes& image) {
             SetupHeader header = DecodeSetupHeader(image.data());
             header.dataChecksum ^= 0x100;
             EncodeSetupHeader(header, image.data());
         }},
        {"tag of the directory block header",
         [](Bytes& image) {
             BlockHeader block = DecodeBlockHeader(image.data() + kSetupHeaderSize);
             block.tag = 'X';
             EncodeBlockHeader(block, image.data() + kSetupHeaderSize);
         }},
        {"unused size of the file section header",
         [](Bytes& image) {
             std::size_t nSection = DecodeSetupHeader(image.data()).fileSectionOffset;
             BlockHeader block = DecodeBlockHeader(image.data() + nSection);
             block.storedSize ^= 1;
             EncodeBlockHeader(block, image.data() + nSection);
         }},
    };
    for (const SDamage& damage : kDamage) {
        WriteSmallPackage(SmallContents());
        Bytes image = ReadAll(m_folder.File("pkg/user.spd"));
        damage.pfnDamage(image);
        WriteAll(m_folder.File("pkg/user.spd"), image);
        SRun extract = Run("extract " + Path("pkg") + " -o " + Path("x"));
        EXPECT_EQ(extract.nExit, 1) << damage.pszWhere;
        EXPECT_NE(extract.strErr.find("phase 1"), std::string::npos) << damage.pszWhere << ": " << extract.strErr;
        EXPECT_NE(extract.strErr.find("cause 3"), std::string::npos) << damage.pszWhere << ": " << extract.strErr;
        EXPECT_FALSE(fs::exists(m_folder.Path() / "x")) << damage.pszWhere;
    }
}

// Entries that would put a file anywhere but below its root's folder: a root outside 1
// to 5, directory and folder names that climb out. Nothing at all is written, inside the
// target or beside it.
TEST_F(SpdtoolCli, BadRootsAndClimbingNamesWriteNothing)
{
    struct SCase {
        std::uint8_t root;          // of the last file
        const char* pszFolder;      // of the last file
        const char* pszDirectory;   // a second directory entry, or null
        const char* pszRefusal;
    };
    const SCase kCases[] = {
        {0, "", nullptr, "root 0 is not 1 to 5"},
        {6, "", nullptr, "root 6 is not 1 to 5"},
        {255, "Docs", nullptr, "root 255 is not 1 to 5"},
        {Destination, "", "..\\evil", "refused: directory 1"},
        {Destination, "", "Data\\..\\..\\evil", "refused: directory 1"},
        {Destination, "", "Data/../../evil", "refused: directory 1"},
        {Destination, "", "\\\\evil", "refused: directory 1"}, // one leading backslash is dropped, not two
        {Destination, "", "/evil", "refused: directory 1"},
        {Destination, "", "C:\\evil", "refused: directory 1"},
        {Destination, "..\\..", nullptr, "refused: file 3"},
        {Destination, "Docs\\..\\..\\..", nullptr, "refused: file 3"},
        {Windows, "\\evil", nullptr, "refused: file 3"},
    };
    for (const SCase& test : kCases) {
        std::string strCase = std::to_string(test.root) + " | " + test.pszFolder + " | " +
                              (test.pszDirectory != nullptr ? test.pszDirectory : "");
        PackageContents contents = SmallContents();
        if (test.pszDirectory != nullptr)
            contents.vecDirectories.push_back({Destination, test.pszDirectory});
        contents.vecFiles.push_back(SmallFile(test.root, test.pszFolder, "evil.txt", TextBytes(20)));
        WriteSmallPackage(contents);
        std::map<std::string, std::string> before = Snapshot();

        SRun extract = Run("extract " + Path("pkg") + " -o " + Path("x"));
        EXPECT_EQ(extract.nExit, 1) << strCase;
        EXPECT_NE(extract.strErr.find(test.pszRefusal), std::string::npos) << strCase << ": " << extract.strErr;
        EXPECT_EQ(ChangesSince(before), "") << strCase;
    }
}

// A symbolic link already in the target, for a root, a folder, a directory entry's folder
// or a file, is neither written through nor replaced.
TEST_F(SpdtoolCli, NothingIsWrittenThroughSymbolicLinks)
{
    struct SCase {
        const char* pszLink; // in the target
        const char* pszTo;   // beside the target
    };
    const SCase kCases[] = {
        {"Destination", "outside"},
        {"System", "outside"},
        {"Destination/Docs", "outside"},
        {"Destination/Data", "outside"},
        {"Destination/aurora.scr", "outside/keep.txt"},
    };
    WriteSmallPackage(SmallContents());
    for (const SCase& test : kCases) {
        fs::remove_all(m_folder.Path() / "x");
        fs::remove_all(m_folder.Path() / "outside");
        fs::create_directories(m_folder.Path() / "outside");
        WriteAll(m_folder.File("outside/keep.txt"), TextBytes(10));
        fs::path link = m_folder.Path() / "x" / test.pszLink;
        fs::create_directories(link.parent_path());
        fs::create_symlink(m_folder.Path() / test.pszTo, link);
        std::map<std::string, std::string> before = Snapshot();

        SRun extract = Run("extract " + Path("pkg") + " -o " + Path("x"));
        EXPECT_EQ(extract.nExit, 1) << test.pszLink;
        EXPECT_NE(extract.strErr.find("symbolic link"), std::string::npos) << test.pszLink << ": " << extract.strErr;
        EXPECT_EQ(ChangesSince(before), "") << test.pszLink;
    }
}

// A path cannot be a file and a folder at once: not within the package (a file where a
// directory entry or another file's folder is), nor against what the target holds.
TEST_F(SpdtoolCli, FileFolderClashesWriteNothing)
{
    struct SCase {
        const char* pszWhat;
        std::vector<PackageFileEntry> vecFiles; // added to SmallContents' files, after them
        const char* pszExistingFile;            // already in the target, or null
        const char* pszExistingFolder;          // already in the target, or null
        const char* pszRefusal;
    };
    const SCase kCases[] = {
        {"an empty file where a directory entry is", {SmallFile(Destination, "Data", "Images", Bytes())}, nullptr, nullptr,
         "cannot create"},
        {"an empty file where another file's folder is", {SmallFile(Destination, "Docs", "En", Bytes())}, nullptr, nullptr,
         "cannot create"},
        {"a file's folder where another file is", {SmallFile(Destination, "aurora.scr", "x.txt", TextBytes(5))}, nullptr,
         nullptr, "cannot write"},
        {"a directory entry where the target holds a file", {}, "x/Destination/Data", nullptr, "is not a folder"},
        {"a root where the target holds a file", {}, "x/System", nullptr, "is not a folder"},
        {"a file where the target holds a folder", {}, nullptr, "x/Destination/aurora.scr", "is a folder"},
        {"an empty file where the target holds a folder", {}, nullptr, "x/System/empty.dat", "is a folder"},
    };
    for (const SCase& test : kCases) {
        PackageContents contents = SmallContents();
        contents.vecFiles.insert(contents.vecFiles.end(), test.vecFiles.begin(), test.vecFiles.end());
        WriteSmallPackage(contents);
        fs::remove_all(m_folder.Path() / "x");
        fs::create_directories(m_folder.Path() / "x");
        if (test.pszExistingFile != nullptr) {
            fs::create_directories((m_folder.Path() / test.pszExistingFile).parent_path());
            WriteAll(m_folder.File(test.pszExistingFile), TextBytes(10));
        }
        if (test.pszExistingFolder != nullptr)
            fs::create_directories(m_folder.Path() / test.pszExistingFolder);
        std::map<std::string, std::string> before = Snapshot();

        SRun extract = Run("extract " + Path("pkg") + " -o " + Path("x"));
        EXPECT_EQ(extract.nExit, 1) << test.pszWhat;
        EXPECT_NE(extract.strErr.find(test.pszRefusal), std::string::npos) << test.pszWhat << ": " << extract.strErr;
        EXPECT_EQ(ChangesSince(before), "") << test.pszWhat;
    }
}

// pack always ships an uninstaller: --uninstaller, else the manifest's, else uninstaller.exe
// beside spdtool (here a copy of the program in a folder of its own, where the build's
// uninstallers are out of reach); none at all stops it before anything is written.
TEST_F(SpdtoolCli, PackChoosesTheUninstallerItShips)
{
    const fs::path bin = m_folder.Path() / "bin";
    fs::create_directories(bin);
    fs::copy_file(SPDTOOL_PATH, bin / "spdtool");
    WriteAll(m_folder.File("beside.exe"), ToBytes("the one beside spdtool"));
    WriteAll(m_folder.File("named.exe"), ToBytes("the manifest's"));
    WriteAll(m_folder.File("option.exe"), ToBytes("the command line's"));
    WriteAll(m_folder.File("a.txt"), ToBytes("a"));
    const struct {
        const char* pszCase;
        bool bBeside;
        bool bManifestLine;
        std::string strOptions;
        int nExit;
        const char* pszPacked; // null: no _setup.spd
    } kCases[] = {
        {"beside spdtool", true, false, "", 0, "the one beside spdtool"},
        {"the manifest's first", true, true, "", 0, "the manifest's"},
        {"the option's first", true, true, " --uninstaller " + Path("option.exe"), 0, "the command line's"},
        {"none anywhere", false, false, "", 1, nullptr},
        {"an option naming no file", true, false, " --uninstaller " + Path("missing.exe"), 1, nullptr},
        {"none asked for", false, false, " --no-uninstaller", 0, nullptr},
    };
    for (const auto& test : kCases) {
        SCOPED_TRACE(test.pszCase);
        fs::remove_all(m_folder.Path() / "pkg");
        fs::remove(bin / "uninstaller.exe");
        if (test.bBeside)
            fs::copy_file(m_folder.File("beside.exe"), bin / "uninstaller.exe");
        WriteAll(m_folder.File("m.txt"), ToBytes(std::string("name = Choice\nfile = Destination | | a.txt | a.txt\n") +
                                                 (test.bManifestLine ? "uninstaller = named.exe\n" : "")));
        const SRun pack = Run("pack " + Path("m.txt") + " -o " + Path("pkg") + test.strOptions, (bin / "spdtool").string());
        ASSERT_EQ(pack.nExit, test.nExit) << pack.strErr;
        if (test.nExit != 0) {
            EXPECT_NE(pack.strErr.find("uninstaller"), std::string::npos) << pack.strErr;
            EXPECT_FALSE(fs::exists(m_folder.Path() / "pkg")) << "refused before anything was written";
            continue;
        }
        EXPECT_TRUE(fs::exists(m_folder.Path() / "pkg" / "user.spd"));
        ASSERT_EQ(fs::exists(m_folder.Path() / "pkg" / "_setup.spd"), test.pszPacked != nullptr);
        if (test.pszPacked == nullptr)
            continue;
        CPlainFile setup;
        const std::vector<unsigned char> program = ReadUninstaller(setup, m_folder.File("pkg/_setup.spd"));
        EXPECT_EQ(std::string(program.begin(), program.end()), test.pszPacked);
    }
}

// --disks lays the package out as the setup program looks for it: setup.exe, user.spd and
// _setup.spd in "Disk 1", user.00k alone in "Disk k+1". The setup program is the one
// --setup names, else setup.exe beside spdtool; with neither, nothing is written.
TEST_F(SpdtoolCli, PackDisksLaysOutASetWithTheSetupProgram)
{
    MakeSources();
    const fs::path bin = m_folder.Path() / "bin";
    fs::create_directories(bin);
    fs::copy_file(SPDTOOL_PATH, bin / "spdtool");
    WriteAll(m_folder.File("option.exe"), ToBytes("the command line's"));
    const struct {
        const char* pszCase;
        const char* pszBeside; // null: no setup.exe beside spdtool
        std::string strOption;
        const char* pszShipped; // null: refused
    } kCases[] = {
        {"named by --setup", "the one beside spdtool", " --setup " + Path("option.exe"), "the command line's"},
        {"beside spdtool", "the one beside spdtool", "", "the one beside spdtool"},
        {"none anywhere", nullptr, "", nullptr},
    };
    for (const auto& test : kCases) {
        SCOPED_TRACE(test.pszCase);
        fs::remove_all(m_folder.Path() / "cd");
        fs::remove(bin / "setup.exe");
        if (test.pszBeside != nullptr)
            WriteAll((bin / "setup.exe").string(), ToBytes(test.pszBeside));
        const SRun pack = Run("pack " + Path("m.txt") + " -o " + Path("cd") + " --disks --volume-size 200000" + test.strOption,
                              (bin / "spdtool").string());
        if (test.pszShipped == nullptr) {
            EXPECT_EQ(pack.nExit, 1);
            EXPECT_NE(pack.strErr.find("setup.exe"), std::string::npos) << pack.strErr;
            EXPECT_FALSE(fs::exists(m_folder.Path() / "cd")) << "refused before anything was written";
            continue;
        }
        ASSERT_EQ(pack.nExit, 0) << pack.strErr;
        std::map<std::string, std::set<std::string>> mapDisks;
        for (const auto& disk : fs::directory_iterator(m_folder.Path() / "cd"))
            for (const auto& file : fs::directory_iterator(disk.path()))
                mapDisks[disk.path().filename().string()].insert(file.path().filename().string());
        ASSERT_GE(mapDisks.size(), 3u);
        EXPECT_EQ(mapDisks["Disk 1"], (std::set<std::string>{"_setup.spd", "setup.exe", "user.spd"}));
        for (unsigned k = 1; k < mapDisks.size(); ++k)
            EXPECT_EQ(mapDisks["Disk " + std::to_string(k + 1)], std::set<std::string>{VolumeFileName(k)});
        Bytes shipped = ReadAll(m_folder.File("cd/Disk 1/setup.exe"));
        EXPECT_EQ(std::string(shipped.begin(), shipped.end()), test.pszShipped);
        EXPECT_EQ(Run("verify " + Path("cd/Disk 1")).nExit, 0);
    }
}

// log shows what the installation recorded, as text and as JSON that parses back to the
// same texts (a quote and a Latin-1 byte in them), and refuses a log whose sizes or
// checksum are wrong with exit code 1 and what is wrong.
TEST_F(SpdtoolCli, LogShowsTheRecordsAndRefusesADamagedLog)
{
    UninstallLogContent content;
    content.strName = "Caf\xe9 Drops";
    content.placedFiles = {"C:\\Savers\\Drops\\drops.scr", "C:\\Savers\\Drops\\Unscr.log"};
    content.keptSharedFiles = {"C:\\WINDOWS\\SYSTEM\\lumidrop_fx.dll"};
    content.createdFolders = {"C:\\Savers\\Drops"};
    content.registryEntries.resize(2);
    ASSERT_TRUE(MakeRegistryEntry("Software\\Lumidrop Screensaver", "", content.registryEntries[0]));
    ASSERT_TRUE(MakeRegistryEntry("Software\\Lumidrop Screensaver", "say \"hi\"", content.registryEntries[1]));
    const Bytes log = PackUninstallLog(BuildUninstallLogImage(content));
    WriteAll(m_folder.File("Unscr.log"), log);

    const SRun text = Run("log " + Path("Unscr.log"));
    ASSERT_EQ(text.nExit, 0) << text.strErr;
    for (const std::string& strShown :
         {content.strName, content.placedFiles[1], content.keptSharedFiles[0], content.createdFolders[0],
          std::string("HKLM\\Software\\Lumidrop Screensaver  (key)"),
          std::string("HKLM\\Software\\Lumidrop Screensaver  value say \"hi\"")})
        EXPECT_NE(text.strOut.find(strShown), std::string::npos) << strShown << "\n" << text.strOut;

    const SRun json = Run("log --json " + Path("Unscr.log"));
    ASSERT_EQ(json.nExit, 0) << json.strErr;
    WriteAll(m_folder.File("log.json"), ToBytes(json.strOut));
    const char kReadBack[] =
        "import json, sys\n"
        "d = json.load(open(sys.argv[1], encoding='utf-8'))\n"
        "rows = [str(d['packedSize']), d['name']] + d['files'] + d['keptSharedFiles'] + d['folders']\n"
        "rows += [r['root'] + '|' + r['key'] + '|' + str(r['value']) for r in d['registry']]\n"
        "sys.stdout.buffer.write('\\n'.join(rows).encode('latin-1'))\n";
    ASSERT_EQ(std::system(("python3 -c " + Quote(kReadBack) + " " + Path("log.json") + " >" + Path("parsed.txt")).c_str()), 0)
        << json.strOut;
    const Bytes parsed = ReadAll(m_folder.File("parsed.txt"));
    EXPECT_EQ(std::string(parsed.begin(), parsed.end()),
              std::to_string(log.size()) + "\n" + content.strName + "\n" + content.placedFiles[0] + "\n" +
                  content.placedFiles[1] + "\n" + content.keptSharedFiles[0] + "\n" + content.createdFolders[0] +
                  "\nHKLM|Software\\Lumidrop Screensaver|None\nHKLM|Software\\Lumidrop Screensaver|say \"hi\"");

    const struct {
        const char* pszCase;
        std::size_t nAt; // header byte changed
        const char* pszSaid;
    } kDamages[] = {
        {"packed size", 68, "packedSize"},
        {"body checksum", 76, "Adler-32"},
    };
    for (const auto& damage : kDamages) {
        SCOPED_TRACE(damage.pszCase);
        Bytes damaged = log;
        damaged[damage.nAt] ^= 0x01;
        WriteAll(m_folder.File("Unscr.log"), damaged);
        const SRun refused = Run("log " + Path("Unscr.log"));
        EXPECT_EQ(refused.nExit, 1);
        EXPECT_EQ(refused.strOut, "");
        EXPECT_EQ(refused.strErr.rfind("spdtool: damaged log: " + m_folder.File("Unscr.log") + ": phase 4", 0), 0u)
            << refused.strErr;
        EXPECT_NE(refused.strErr.find(damage.pszSaid), std::string::npos) << refused.strErr;
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
    EXPECT_EQ(Run("log").nExit, 2);
    for (const char* pszCommand : {"pack", "list", "verify", "extract", "log"}) {
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
