// The texts of the system's operations at the next start: which pending deletes go, and
// where wininit.ini's rename lines land.
#include "engine/pending_operations.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
std::vector<unsigned char> Data(const std::string& strText)
{
    return std::vector<unsigned char>(strText.begin(), strText.end());
}
} // namespace

// Only a delete (empty target) of the path goes, in any letter case; a move from or onto
// the same path stays, and so does the empty text inside the list.
TEST(PendingOperations, OnlyThePathsDeletePairGoes)
{
    using namespace std::string_literals;
    const std::string strKept = "\\??\\C:\\A.TMP\0!\\??\\C:\\DIR\\SAVER.SCR\0\\??\\C:\\DIR\\OTHER.DLL\0\0"s;
    const std::string strList = "\\??\\c:\\dir\\saver.scr\0\0"s + strKept + '\0';
    std::vector<std::string> vecPairs = SplitMultiString(Data(strList));
    ASSERT_EQ(vecPairs.size(), 6u);
    EXPECT_TRUE(DropPendingDeletePairs(vecPairs, {"C:\\Dir\\Saver.scr"}));
    EXPECT_EQ(JoinMultiString(vecPairs), Data(strKept + '\0'));
    EXPECT_FALSE(DropPendingDeletePairs(vecPairs, {"C:\\Dir\\Saver.scr"}));
}

TEST(PendingOperations, OnlyNulLinesOfRenameSectionsGo)
{
    std::string strIni = "[boot]\r\nNUL=C:\\SAVER.SCR\r\n[Rename]\r\nnul = c:\\saver.scr\r\nC:\\SAVER.SCR=C:\\A.TMP\r\n";
    EXPECT_TRUE(DropPendingDeleteLines(strIni, {"C:\\SAVER.SCR"}));
    EXPECT_EQ(strIni, "[boot]\r\nNUL=C:\\SAVER.SCR\r\n[Rename]\r\nC:\\SAVER.SCR=C:\\A.TMP\r\n");
}

TEST(PendingOperations, RenameLinesGoToATrailingRenameSection)
{
    const struct {
        const char* pszIni;
        const char* pszAfter;
    } kCases[] = {
        {"", "[rename]\r\nT=P"},
        {"[rename]\r\nNUL=X", "[rename]\r\nNUL=X\r\nT=P"},
        {"[rename]\r\nNUL=X\r\n[boot]\r\nA=1\r\n", "[rename]\r\nNUL=X\r\n[boot]\r\nA=1\r\n\r\n[rename]\r\nT=P"},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(WithRenameLines(c.pszIni, {"T=P"}), c.pszAfter) << c.pszIni;
}
