// Orderings of path lists and the texts of deferred replacements.
#include "engine/deferred_entry.h"
#include "engine/sort_texts.h"

#include <gtest/gtest.h>

TEST(SortTexts, ComparesBytesWithCase)
{
    // 0xE9 sorts after every ASCII byte; upper case before lower case.
    const std::vector<std::string> kAscending = {"C:\\X", "C:\\X\\Y", "C:\\X\\Y\\Z", "C:\\Xa", "C:\\a", "C:\\\xE9"};
    std::vector<std::string> vecTexts = {"C:\\X\\Y", "C:\\\xE9", "C:\\a", "C:\\X", "C:\\Xa", "C:\\X\\Y\\Z"};
    SortTexts(vecTexts, false);
    EXPECT_EQ(vecTexts, kAscending);
    SortTexts(vecTexts, true);
    EXPECT_EQ(vecTexts, std::vector<std::string>(kAscending.rbegin(), kAscending.rend()));
}

TEST(DeferredEntry, PendingCopyBeforeTheFirstLineFeed)
{
    const std::string strEntry = MakeDeferredEntry("C:\\TEMP\\abcdefgh.tmp", "C:\\WINDOWS\\lumi.dll");
    EXPECT_EQ(strEntry, "C:\\TEMP\\abcdefgh.tmp\nC:\\WINDOWS\\lumi.dll");
    std::string strPending;
    std::string strTarget;
    SplitDeferredEntry(strEntry, strPending, strTarget);
    EXPECT_EQ(strPending, "C:\\TEMP\\abcdefgh.tmp");
    EXPECT_EQ(strTarget, "C:\\WINDOWS\\lumi.dll");
    SplitDeferredEntry("C:\\TEMP\\only.tmp", strPending, strTarget);
    EXPECT_EQ(strPending, "C:\\TEMP\\only.tmp");
    EXPECT_EQ(strTarget, "");

    std::vector<std::string> vecEntries = {strEntry, "a\nb\nc", "plain"};
    // The roll-back leaves a target that only got a pending copy, every time it is named.
    std::vector<std::string> vecPlaced = {"C:\\WINDOWS\\lumi.dll", "C:\\Saver\\a.scr", "C:\\WINDOWS\\lumi.dll"};
    ForgetDeferredTargets(vecPlaced, vecEntries);
    EXPECT_EQ(vecPlaced, std::vector<std::string>{"C:\\Saver\\a.scr"});

    KeepPendingCopies(vecEntries);
    EXPECT_EQ(vecEntries, (std::vector<std::string>{"C:\\TEMP\\abcdefgh.tmp", "a", "plain"}));
}
