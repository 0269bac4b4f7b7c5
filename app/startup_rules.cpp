#include "app/startup_rules.h"

namespace {
// White space as the C library's isspace sees it in the "C" locale; a byte of the
// ANSI code page above 0x7F is never white space.
bool IsWhiteSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}
} // namespace

std::string FolderOfModulePath(const std::string& strModulePath)
{
    const std::size_t nSlash = strModulePath.rfind('\\');
    if (nSlash == std::string::npos)
        return strModulePath;
    return strModulePath.substr(0, nSlash);
}

std::string TrimFolderEnd(std::string strPath)
{
    while (!strPath.empty() && IsWhiteSpace(strPath.back()))
        strPath.pop_back();
    while (!strPath.empty() && strPath.back() == '\\')
        strPath.pop_back();
    return strPath;
}

std::string MakeDefaultDestination(const std::string& strProgramFiles, const std::string& strDefaultFolder)
{
    if (strDefaultFolder.empty())
        return std::string();
    return TrimFolderEnd(TrimFolderEnd(strProgramFiles) + "\\" + strDefaultFolder);
}

std::uint16_t PrimaryLanguageOf(std::uint16_t nLanguageId)
{
    return static_cast<std::uint16_t>(nLanguageId & 0x3FF);
}
