#include "ui/link_opener.h"

#include "framework/reg_key.h"

#include <shellapi.h>

#include <cstdio>

namespace {
// Results above this are successes, for ShellExecuteA and WinExec alike.
constexpr int kLastError = 32;
constexpr LONG kDefaultValueBytes = 260;
constexpr std::size_t kCommandLineBytes = 520;

struct ResultText {
    int nResult;
    const char* pszText;
};
const ResultText kResultTexts[] = {
    {0, "The operating system is out\nof memory or resources."},
    {2, "The specified file was not found."},
    {3, "The specified path was not found."},
    {5, "The operating system denied\naccess to the specified file."},
    {8, "There was not enough memory to complete the operation."},
    {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
    {26, "A sharing violation occurred. "},
    {27, "The filename association is\nincomplete or invalid."},
    {28, "The DDE transaction could not\nbe completed because the request timed out."},
    {29, "The DDE transaction failed."},
    {30, "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
    {31, "There is no application associated\nwith the given filename extension."},
    {32, "The specified dynamic-link library was not found."},
};
} // namespace

int CLinkOpener::Open(const std::string& strAddress, int nShowCmd)
{
    const int nShellResult = ShellOpen(strAddress, nShowCmd);
    if (nShellResult > kLastError)
        return nShellResult;
    std::string strClass, strCommand, strCommandLine;
    if (!ReadDefault(".htm", strClass) || !ReadDefault(strClass + "\\shell\\open\\command", strCommand))
        return nShellResult;
    // A command line cut short could start something other than the handler: refuse it.
    if (!BuildCommandLine(strCommand, strAddress, strCommandLine))
        return nShellResult;
    return RunCommandLine(strCommandLine, nShowCmd);
}

bool CLinkOpener::BuildCommandLine(const std::string& strCommand, const std::string& strAddress,
                                   std::string& strCommandLine)
{
    std::size_t nCut = strCommand.find("\"%1\"");
    if (nCut == std::string::npos)
        nCut = strCommand.find("%1");
    std::string strLine = strCommand.substr(0, nCut);
    strLine += ' ';
    strLine += strAddress;
    if (strLine.size() >= kCommandLineBytes)
        return false;
    strCommandLine = strLine;
    return true;
}

std::string CLinkOpener::DescribeResult(int nResult)
{
    for (const ResultText& text : kResultTexts) {
        if (text.nResult == nResult)
            return text.pszText;
    }
    char szText[64];
    std::snprintf(szText, sizeof szText, "Unknown Error (%d) occurred.", nResult);
    return szText;
}

int CLinkOpener::ShellOpen(const std::string& strAddress, int nShowCmd)
{
    const HINSTANCE hResult = ShellExecuteA(nullptr, "open", strAddress.c_str(), nullptr, nullptr, nShowCmd);
    return static_cast<int>(reinterpret_cast<INT_PTR>(hResult));
}

int CLinkOpener::RunCommandLine(const std::string& strCommandLine, int nShowCmd)
{
    return static_cast<int>(WinExec(strCommandLine.c_str(), static_cast<UINT>(nShowCmd)));
}

bool CLinkOpener::ReadDefault(const std::string& strSubKey, std::string& strValue) const
{
    CRegKey key;
    return key.Open(m_hClassesRoot, strSubKey.c_str(), KEY_QUERY_VALUE) == ERROR_SUCCESS &&
           key.QueryDefault(strValue, kDefaultValueBytes) == ERROR_SUCCESS;
}
