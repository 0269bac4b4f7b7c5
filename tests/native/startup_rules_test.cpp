// The start-up rules for the program's folder, the default destination and the language.
#include "app/startup_rules.h"

#include <gtest/gtest.h>

TEST(DefaultDestination, JoinsProgramFilesWithOneBackslash)
{
    EXPECT_EQ(MakeDefaultDestination("C:\\Program Files\\", "Saver"), "C:\\Program Files\\Saver");
    EXPECT_EQ(MakeDefaultDestination("C:\\Program Files", "Saver"), "C:\\Program Files\\Saver");
}

TEST(DefaultDestination, DropsTrailingBackslashOfTheFolder)
{
    EXPECT_EQ(MakeDefaultDestination("C:\\Program Files\\", "Saver\\"), "C:\\Program Files\\Saver");
    EXPECT_EQ(MakeDefaultDestination("C:\\Program Files\\", "Saver\\\\\\"), "C:\\Program Files\\Saver");
}

TEST(DefaultDestination, TrimsWhiteSpaceBeforeBackslashes)
{
    EXPECT_EQ(MakeDefaultDestination("C:\\Program Files\\ \t", "Saver\\ "), "C:\\Program Files\\Saver");
    // White space before a backslash is not at the end, so it stays.
    EXPECT_EQ(MakeDefaultDestination("C:\\Program Files \\", "Saver"), "C:\\Program Files \\Saver");
}

TEST(DefaultDestination, EmptyFolderGivesEmptyDestination)
{
    EXPECT_EQ(MakeDefaultDestination("C:\\Program Files", ""), "");
}

TEST(DefaultDestination, KeepsInnerFoldersAndHighBytes)
{
    EXPECT_EQ(MakeDefaultDestination("C:\\Programme", "Lumidrop\\\xE9\x63ran\\"), "C:\\Programme\\Lumidrop\\\xE9\x63ran");
    // 0xA0 is a no-break space in code page 1252 but not white space to the trim.
    EXPECT_EQ(MakeDefaultDestination("C:\\P", "Saver\xA0"), "C:\\P\\Saver\xA0");
}

TEST(ModuleFolder, CutsBeforeLastBackslash)
{
    EXPECT_EQ(FolderOfModulePath("C:\\Disk 1\\setup.exe"), "C:\\Disk 1");
    EXPECT_EQ(FolderOfModulePath("A:\\setup.exe"), "A:");
    EXPECT_EQ(FolderOfModulePath("setup.exe"), "setup.exe");
}

TEST(PrimaryLanguage, KeepsTheLowTenBits)
{
    const struct {
        std::uint16_t nId, nPrimary;
    } cases[] = {{0x0409, 0x09}, {0x0807, 0x07}, {0x040C, 0x0C}, {0x0000, 0x00}, {0xFFFF, 0x3FF}, {0x0DFF, 0x1FF}};
    for (const auto& c : cases)
        EXPECT_EQ(PrimaryLanguageOf(c.nId), c.nPrimary) << std::hex << c.nId;
}
