#include "format/uninstall_command.h"

namespace {
bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

std::size_t SkipBlanks(const std::string& strText, std::size_t nAt)
{
    while (nAt < strText.size() && IsBlank(strText[nAt]))
        ++nAt;
    return nAt;
}
} // namespace

std::string MakeUninstallCommand(const std::string& strUninstaller, const std::string& strLogPath, bool bSilent)
{
    return strUninstaller + " \"" + strLogPath + "\"" + (bSilent ? " s" : "");
}

bool ParseUninstallArguments(const std::string& strArguments, UninstallArguments& arguments)
{
    std::size_t nAt = SkipBlanks(strArguments, 0);
    std::string strPath;
    if (nAt < strArguments.size() && strArguments[nAt] == '"') {
        const std::size_t nClose = strArguments.find('"', nAt + 1);
        if (nClose == std::string::npos)
            return false;
        strPath = strArguments.substr(nAt + 1, nClose - nAt - 1);
        nAt = nClose + 1;
        // "a"b is no path of ours.
        if (nAt < strArguments.size() && !IsBlank(strArguments[nAt]))
            return false;
    } else {
        const std::size_t nStart = nAt;
        while (nAt < strArguments.size() && !IsBlank(strArguments[nAt]))
            ++nAt;
        strPath = strArguments.substr(nStart, nAt - nStart);
    }
    if (strPath.empty())
        return false;

    nAt = SkipBlanks(strArguments, nAt);
    bool bSilent = false;
    if (nAt < strArguments.size()) {
        if (strArguments[nAt] != 's' && strArguments[nAt] != 'S')
            return false;
        bSilent = true;
        if (SkipBlanks(strArguments, nAt + 1) != strArguments.size())
            return false;
    }
    arguments.strLogPath = strPath;
    arguments.bSilent = bSilent;
    return true;
}
