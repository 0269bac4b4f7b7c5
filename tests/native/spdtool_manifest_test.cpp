// spdtool's manifest parser and the path gate of extract.
#include "tools/spdtool/entry_path.h"
#include "tools/spdtool/manifest.h"

#include <gtest/gtest.h>

namespace {

TEST(SpdtoolManifest, ParsesEveryKey)
{
    PackageManifest manifest = ParseManifest(
        "# a comment\n"
        "name = Lumidrop Aurora\r\n"
        "id = {00112233-4455-6677-8899-AABBCCDDEEFF}\n"
        "default-folder = Aurora\n"
        "\n"
        "directory = destination | Data\\Images\n"
        "file = Destination | | aurora.scr | bin/aurora.scr | Screensaver, Vital\n"
        "file = System | Sub | a.dll | /abs/a.dll | shared config\n"
        "file = Windows | | b.txt | b.txt\n"
        "uninstaller = bin/unin.exe\n",
        "base", "m.txt");
    EXPECT_EQ(manifest.contents.strName, "Lumidrop Aurora");
    EXPECT_TRUE(manifest.bHasId);
    EXPECT_EQ(manifest.contents.packageId[0], 0x33);
    EXPECT_EQ(manifest.contents.strDefaultFolder, "Aurora");
    ASSERT_EQ(manifest.contents.vecDirectories.size(), 1u);
    EXPECT_EQ(manifest.contents.vecDirectories[0].root, Destination);
    EXPECT_EQ(manifest.contents.vecDirectories[0].strPath, "Data\\Images");
    ASSERT_EQ(manifest.contents.vecFiles.size(), 3u);
    EXPECT_EQ(manifest.contents.vecFiles[0].flags, Screensaver | Vital);
    EXPECT_EQ(manifest.contents.vecFiles[0].strFolder, "");
    EXPECT_EQ(manifest.contents.vecFiles[0].strSourcePath, "base/bin/aurora.scr");
    EXPECT_EQ(manifest.contents.vecFiles[1].root, System);
    EXPECT_EQ(manifest.contents.vecFiles[1].flags, Shared | Config);
    EXPECT_EQ(manifest.contents.vecFiles[1].strSourcePath, "/abs/a.dll");
    EXPECT_EQ(manifest.contents.vecFiles[2].flags, 0);
    EXPECT_EQ(manifest.strUninstaller, "base/bin/unin.exe");
}

TEST(SpdtoolManifest, ErrorsNameTheLine)
{
    auto errorOf = [](const std::string& strText) {
        try {
            ParseManifest(strText, "", "m.txt");
        } catch (const CManifestError& error) {
            return std::string(error.what());
        }
        return std::string("no error");
    };
    const std::string strName = "name = X\n";
    const std::string strFile = "file = Destination | | a | a\n";
    EXPECT_EQ(errorOf(strName + "bogus line\n" + strFile).rfind("m.txt:2: expected", 0), 0u);
    EXPECT_EQ(errorOf(strName + strFile + "colour = red\n").rfind("m.txt:3: unknown key", 0), 0u);
    EXPECT_EQ(errorOf(strName + "file = Desktop | | a | a\n").rfind("m.txt:2: unknown root", 0), 0u);
    EXPECT_EQ(errorOf(strName + "file = Destination | | a | a | Hidden\n").rfind("m.txt:2: unknown flag", 0), 0u);
    EXPECT_EQ(errorOf(strName + "file = Destination | a\n").rfind("m.txt:2: expected", 0), 0u);
    EXPECT_EQ(errorOf(strName + "id = 1234\n" + strFile).rfind("m.txt:2: id", 0), 0u);
    EXPECT_EQ(errorOf("name = " + std::string(64, 'n') + "\n" + strFile).rfind("m.txt:1: the package name is longer", 0), 0u);
    EXPECT_EQ(errorOf(strName + strName + strFile).rfind("m.txt:2: name given twice", 0), 0u);
    EXPECT_EQ(errorOf(strName + "directory = Windows |\n" + strFile).rfind("m.txt:2: the directory path is empty", 0), 0u);
    EXPECT_EQ(errorOf(strFile).rfind("m.txt: no \"name", 0), 0u);
    EXPECT_EQ(errorOf(strName).rfind("m.txt: no \"file", 0), 0u);
}

TEST(SpdtoolEntryPath, AcceptsRelativeNames)
{
    std::vector<std::string> vecParts;
    std::string strWhy;
    ASSERT_TRUE(SplitEntryPath("Data\\Images/./x\\\\y", vecParts, strWhy));
    EXPECT_EQ(vecParts, (std::vector<std::string>{"Data", "Images", "x", "y"}));
    ASSERT_TRUE(SplitEntryPath("", vecParts, strWhy));
    EXPECT_TRUE(vecParts.empty());
    ASSERT_TRUE(SplitEntryPath("a..b", vecParts, strWhy));
}

TEST(SpdtoolEntryPath, RefusesNamesThatLeaveTheirFolder)
{
    std::vector<std::string> vecParts;
    std::string strWhy;
    for (const char* pszBad : {"..", "..\\evil", "a\\..\\..\\b", "a/../b", "\\Windows\\evil", "/etc/passwd", "C:\\evil",
                               "c:evil", "name:stream", "a\x01" "b"}) {
        EXPECT_FALSE(SplitEntryPath(pszBad, vecParts, strWhy)) << pszBad;
        EXPECT_FALSE(strWhy.empty());
    }
    FileRecord record;
    SetFieldText(record.folder, "Data");
    EXPECT_FALSE(SplitFileEntry(record, vecParts, strWhy)) << "an empty name";
    SetFieldText(record.fileName, "x.dat");
    ASSERT_TRUE(SplitFileEntry(record, vecParts, strWhy));
    EXPECT_EQ(vecParts, (std::vector<std::string>{"Data", "x.dat"}));
}

} // namespace
