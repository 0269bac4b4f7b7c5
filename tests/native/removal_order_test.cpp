// The uninstaller's path decisions: folders deepest first, the log's own record found
// whatever the case and slashes, and what lies inside a folder.
#include "uninstaller/removal_order.h"

#include <gtest/gtest.h>

TEST(RemovalOrder, FoldersGoDeepestFirstAndEqualDepthsLatestFirst)
{
    const std::vector<std::string> vecCreated = {"D:\\Savers\\Aqua", "D:\\Savers\\Aqua\\Data\\Deep\\", "D:\\Other",
                                                 "D:\\Savers\\Aqua\\Data", "D:\\Savers\\Aqua/Media"};
    const std::vector<std::string> vecExpected = {"D:\\Savers\\Aqua\\Data\\Deep\\", "D:\\Savers\\Aqua/Media",
                                                  "D:\\Savers\\Aqua\\Data", "D:\\Savers\\Aqua", "D:\\Other"};
    EXPECT_EQ(DeepestFirst(vecCreated), vecExpected);
}

TEST(RemovalOrder, SamePathIgnoresCaseAndSlashDirection)
{
    const struct {
        const char* pszFirst;
        const char* pszSecond;
        bool bSame;
    } kCases[] = {{"D:\\Savers\\Aqua\\Unscr.log", "d:/savers/AQUA/unscr.LOG", true},
                  {"D:\\Savers\\Aqua\\Unscr.log", "D:\\Savers\\Aqua\\Unscr.lo", false},
                  {"D:\\Savers\\Aqua\\Unscr.log", "D:\\Savers\\Aqua2\\Unscr.log", false},
                  {"", "", true}};
    for (const auto& test : kCases)
        EXPECT_EQ(SamePath(test.pszFirst, test.pszSecond), test.bSame) << test.pszFirst << " / " << test.pszSecond;
}

TEST(RemovalOrder, InsideFolderMeansBelowIt)
{
    const struct {
        const char* pszPath;
        const char* pszFolder;
        bool bInside;
    } kCases[] = {{"D:\\Aqua\\a.scr", "D:\\Aqua", true},     {"d:/aqua/Data/a.ini", "D:\\Aqua\\", true},
                  {"D:\\Aqua2\\a.scr", "D:\\Aqua", false},   {"D:\\Aqua", "D:\\Aqua", false},
                  {"D:\\Aqua\\", "D:\\Aqua", false},         {"D:\\Aqua\\a.scr", "", false}};
    for (const auto& test : kCases)
        EXPECT_EQ(IsInsideFolder(test.pszPath, test.pszFolder), test.bInside)
            << test.pszPath << " in " << test.pszFolder;
}
