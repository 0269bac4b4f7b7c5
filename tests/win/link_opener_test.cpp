// Opening a web address: the shell first, then the command line registered for ".htm",
// looked up in a scratch key laid out as the classes root; the real shell and WinExec
// once, with a handler that only writes a file.
#include "ui/link_opener.h"
#include "tests/win/registry_scratch.h"
#include "tests/win/temp_folder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
// An opener whose two ways of starting something answer from the test and keep what
// they were asked.
class CScriptedOpener : public CLinkOpener {
public:
    CScriptedOpener(HKEY hClassesRoot, int nShellResult, int nRunResult)
        : CLinkOpener(hClassesRoot), m_nShellResult(nShellResult), m_nRunResult(nRunResult)
    {
    }

    std::vector<std::pair<std::string, int>> m_vecShellCalls, m_vecRunCalls;

protected:
    int ShellOpen(const std::string& strAddress, int nShowCmd) override
    {
        m_vecShellCalls.emplace_back(strAddress, nShowCmd);
        return m_nShellResult;
    }
    int RunCommandLine(const std::string& strCommandLine, int nShowCmd) override
    {
        m_vecRunCalls.emplace_back(strCommandLine, nShowCmd);
        return m_nRunResult;
    }

private:
    int m_nShellResult, m_nRunResult;
};

constexpr const char* kAddress = "www.lumidrop.example";
constexpr const char* kNone = nullptr;
} // namespace

TEST(LinkOpener, ShellFirstThenTheRegisteredHandler)
{
    // "C:\\b.exe", a blank and this address: 519 bytes, the most that fits with the zero in 520.
    const std::string strLongAddress(510, 'a');
    const struct {
        const char* pszCase;
        const char* pszClass;   // default value of ".htm"; null: no such key
        const char* pszCommand; // default value of the class's open command; null: no such key
        std::string strAddress;
        int nShellResult, nRunResult;
        const char* pszRun; // the command line run; null: none
        int nExpected;
    } cases[] = {
        {"the shell opens it", "Lumidrop.Page", "C:\\b.exe \"%1\"", kAddress, 42, 33, kNone, 42},
        {"quoted placeholder", "Lumidrop.Page", "\"C:\\Browser\\b.exe\" \"%1\" -nohome", kAddress, 31, 33,
         "\"C:\\Browser\\b.exe\"  www.lumidrop.example", 33},
        {"bare placeholder", "Lumidrop.Page", "C:\\b.exe -url %1 -x", kAddress, 31, 40, "C:\\b.exe -url  www.lumidrop.example", 40},
        {"no placeholder", "Lumidrop.Page", "C:\\b.exe -new", kAddress, 2, 33, "C:\\b.exe -new www.lumidrop.example", 33},
        {"32 is still a failure", "Lumidrop.Page", "C:\\b.exe", kAddress, 32, 33, "C:\\b.exe www.lumidrop.example", 33},
        {"the handler fails too", "Lumidrop.Page", "C:\\b.exe", kAddress, 31, 2, "C:\\b.exe www.lumidrop.example", 2},
        {"no page class", kNone, kNone, kAddress, 31, 33, kNone, 31},
        {"no open command", "Lumidrop.Page", kNone, kAddress, 27, 33, kNone, 27},
        {"the longest command line", "Lumidrop.Page", "C:\\b.exe", strLongAddress, 31, 33, "", 33},
        {"one byte too long", "Lumidrop.Page", "C:\\b.exe", strLongAddress + "a", 31, 33, kNone, 31},
    };
    int nCase = 0;
    for (const auto& c : cases) {
        const CScratchKey classes("LinkOpener " + std::to_string(++nCase));
        if (c.pszClass != nullptr) {
            ASSERT_TRUE(classes.SetText(".htm", nullptr, c.pszClass));
        }
        if (c.pszCommand != nullptr) {
            ASSERT_TRUE(classes.SetText(std::string(c.pszClass) + "\\shell\\open\\command", nullptr, c.pszCommand));
        }
        CScriptedOpener opener(classes.Get(), c.nShellResult, c.nRunResult);
        EXPECT_EQ(opener.Open(c.strAddress, SW_SHOWMINIMIZED), c.nExpected) << c.pszCase;
        ASSERT_EQ(opener.m_vecShellCalls.size(), 1u) << c.pszCase;
        EXPECT_EQ(opener.m_vecShellCalls[0].first, c.strAddress) << c.pszCase;
        EXPECT_EQ(opener.m_vecShellCalls[0].second, SW_SHOWMINIMIZED) << c.pszCase;
        if (c.pszRun == nullptr) {
            EXPECT_TRUE(opener.m_vecRunCalls.empty()) << c.pszCase;
            continue;
        }
        ASSERT_EQ(opener.m_vecRunCalls.size(), 1u) << c.pszCase;
        const std::string strRun = *c.pszRun != '\0' ? c.pszRun : std::string(c.pszCommand) + " " + c.strAddress;
        EXPECT_EQ(opener.m_vecRunCalls[0].first, strRun) << c.pszCase;
        EXPECT_EQ(opener.m_vecRunCalls[0].second, SW_SHOWMINIMIZED) << c.pszCase;
    }
}

TEST(LinkOpener, ResultsWithoutATextOfTheirOwnAreNumbered)
{
    EXPECT_EQ(CLinkOpener::DescribeResult(7), "Unknown Error (7) occurred.");
    EXPECT_EQ(CLinkOpener::DescribeResult(-1), "Unknown Error (-1) occurred.");
    EXPECT_EQ(CLinkOpener::DescribeResult(33), "Unknown Error (33) occurred.");
    // The results the shell and WinExec report have texts of their own, each its own.
    const int results[] = {0, 2, 3, 5, 8, 11, 26, 27, 28, 29, 30, 31, 32};
    for (int nFirst : results) {
        EXPECT_EQ(CLinkOpener::DescribeResult(nFirst).find("Unknown"), std::string::npos) << nFirst;
        for (int nSecond : results)
            EXPECT_EQ(nFirst == nSecond, CLinkOpener::DescribeResult(nFirst) == CLinkOpener::DescribeResult(nSecond));
    }
}

// The real shell cannot open a page that does not exist; the registered handler, here a
// command that writes a file, is then started for real.
TEST(LinkOpener, TheSystemStartsTheHandlerWhenTheShellFails)
{
    const CTempFolder folder;
    const std::string strOutput = folder.File("opened.txt");
    const CScratchKey classes("LinkOpener system");
    ASSERT_TRUE(classes.SetText(".htm", nullptr, "Lumidrop.Page"));
    ASSERT_TRUE(classes.SetText("Lumidrop.Page\\shell\\open\\command", nullptr,
                                "cmd.exe /c echo opened>\"" + strOutput + "\""));
    const std::string strAddress = "lumidrop-missing-page-" + std::to_string(GetCurrentProcessId());
    CLinkOpener opener(classes.Get());
    EXPECT_GT(opener.Open(strAddress, SW_HIDE), 32);

    std::string strWritten;
    for (int nTry = 0; nTry < 100 && strWritten.find(strAddress) == std::string::npos; ++nTry) {
        Sleep(100);
        char szText[512] = "";
        DWORD nRead = 0;
        HANDLE hFile = CreateFileA(strOutput.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
        if (hFile == INVALID_HANDLE_VALUE)
            continue;
        ReadFile(hFile, szText, sizeof szText - 1, &nRead, nullptr);
        CloseHandle(hFile);
        strWritten.assign(szText, nRead);
    }
    EXPECT_EQ(strWritten.substr(0, strWritten.find_first_of("\r\n")), "opened " + strAddress);
}
