// The uninstaller's two command lines: written as the registry keeps them, read back by
// the uninstaller, and anything else refused.
#include "format/uninstall_command.h"

#include <gtest/gtest.h>

TEST(UninstallCommand, QuotesTheLogAndAddsSForANewerSetup)
{
    EXPECT_EQ(MakeUninstallCommand("C:\\WINDOWS\\UnSc0472.exe", "D:\\Savers\\Aqua\\Unscr.log", false),
              "C:\\WINDOWS\\UnSc0472.exe \"D:\\Savers\\Aqua\\Unscr.log\"");
    EXPECT_EQ(MakeUninstallCommand("C:\\WINDOWS\\UnSc0472.exe", "D:\\Savers\\Aqua\\Unscr.log", true),
              "C:\\WINDOWS\\UnSc0472.exe \"D:\\Savers\\Aqua\\Unscr.log\" s");
}

TEST(UninstallCommand, ArgumentsAreReadBack)
{
    const struct {
        const char* pszArguments;
        bool bAccepted;
        const char* pszLogPath;
        bool bSilent;
    } kCases[] = {
        {"\"D:\\Savers\\Aqua Blue\\Unscr.log\"", true, "D:\\Savers\\Aqua Blue\\Unscr.log", false},
        {"\"D:\\Savers\\Aqua Blue\\Unscr.log\" s", true, "D:\\Savers\\Aqua Blue\\Unscr.log", true},
        {"  \"D:\\a\\Unscr.log\"\tS  ", true, "D:\\a\\Unscr.log", true},
        {"D:\\a\\Unscr.log s", true, "D:\\a\\Unscr.log", true},
        {"D:\\a\\Unscr.log", true, "D:\\a\\Unscr.log", false},
        {"", false, "", false},
        {"   ", false, "", false},
        {"\"\" s", false, "", false},
        {"\"D:\\a\\Unscr.log", false, "", false},
        {"\"D:\\a\\Unscr.log\"s", false, "", false},
        {"\"D:\\a\\Unscr.log\" silent", false, "", false},
        {"\"D:\\a\\Unscr.log\" s s", false, "", false},
        {"\"D:\\a\\Unscr.log\" x", false, "", false},
    };
    for (const auto& test : kCases) {
        UninstallArguments arguments;
        arguments.strLogPath = "before";
        EXPECT_EQ(ParseUninstallArguments(test.pszArguments, arguments), test.bAccepted) << test.pszArguments;
        EXPECT_EQ(arguments.strLogPath, test.bAccepted ? test.pszLogPath : "before") << test.pszArguments;
        if (test.bAccepted) {
            EXPECT_EQ(arguments.bSilent, test.bSilent) << test.pszArguments;
        }
    }
}

TEST(UninstallCommand, WhatIsWrittenIsReadBack)
{
    for (bool bSilent : {false, true}) {
        const std::string strCommand =
            MakeUninstallCommand("C:\\WINDOWS\\UnSc0472.exe", "D:\\My Savers\\Unscr.log", bSilent);
        UninstallArguments arguments;
        ASSERT_TRUE(ParseUninstallArguments(strCommand.substr(strCommand.find(' ')), arguments));
        EXPECT_EQ(arguments.strLogPath, "D:\\My Savers\\Unscr.log");
        EXPECT_EQ(arguments.bSilent, bSilent);
    }
}
