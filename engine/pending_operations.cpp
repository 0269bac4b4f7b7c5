#include "engine/pending_operations.h"

#include <algorithm>
#include <cctype>

namespace {
constexpr const char* kNtPrefix = "\\??\\";
constexpr const char* kRenameSection = "[rename]";

bool SameText(const std::string& strA, const std::string& strB)
{
    return strA.size() == strB.size() && std::equal(strA.begin(), strA.end(), strB.begin(), [](char a, char b) {
               return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
           });
}

bool NamesOneOf(const std::string& strPath, const std::vector<std::string>& vecPaths)
{
    return std::any_of(vecPaths.begin(), vecPaths.end(),
                       [&strPath](const std::string& strOne) { return SameText(strPath, strOne); });
}

std::string Trimmed(const std::string& strLine)
{
    const std::size_t nStart = strLine.find_first_not_of(" \t\r\n");
    if (nStart == std::string::npos)
        return std::string();
    return strLine.substr(nStart, strLine.find_last_not_of(" \t\r\n") + 1 - nStart);
}

// The lines of strText with their line feeds; the last may have none.
std::vector<std::string> LinesOf(const std::string& strText)
{
    std::vector<std::string> vecLines;
    for (std::size_t nStart = 0; nStart < strText.size();) {
        const std::size_t nEnd = strText.find('\n', nStart);
        const std::size_t nNext = nEnd == std::string::npos ? strText.size() : nEnd + 1;
        vecLines.push_back(strText.substr(nStart, nNext - nStart));
        nStart = nNext;
    }
    return vecLines;
}

bool IsSectionHeader(const std::string& strLine)
{
    const std::string strTrimmed = Trimmed(strLine);
    return !strTrimmed.empty() && strTrimmed.front() == '[';
}
} // namespace

std::vector<std::string> SplitMultiString(const std::vector<unsigned char>& data)
{
    std::vector<std::string> vecStrings;
    std::size_t nStart = 0;
    // Each string ends with a zero, and one more zero ends the list.
    while (nStart < data.size() && !(nStart + 1 == data.size() && data[nStart] == 0)) {
        const auto itEnd = std::find(data.begin() + static_cast<std::ptrdiff_t>(nStart), data.end(), 0);
        vecStrings.emplace_back(data.begin() + static_cast<std::ptrdiff_t>(nStart), itEnd);
        nStart = static_cast<std::size_t>(itEnd - data.begin()) + 1;
    }
    return vecStrings;
}

std::vector<unsigned char> JoinMultiString(const std::vector<std::string>& vecStrings)
{
    std::vector<unsigned char> data;
    for (const std::string& strOne : vecStrings) {
        data.insert(data.end(), strOne.begin(), strOne.end());
        data.push_back(0);
    }
    data.push_back(0);
    return data;
}

bool DropPendingDeletePairs(std::vector<std::string>& vecPairs, const std::vector<std::string>& vecPaths)
{
    std::vector<std::string> vecKept;
    for (std::size_t n = 0; n < vecPairs.size(); n += 2) {
        const std::string& strSource = vecPairs[n];
        const bool bDelete = n + 1 >= vecPairs.size() || vecPairs[n + 1].empty();
        const std::string strPath =
            strSource.compare(0, 4, kNtPrefix) == 0 ? strSource.substr(4) : strSource;
        if (bDelete && NamesOneOf(strPath, vecPaths))
            continue;
        vecKept.insert(vecKept.end(), vecPairs.begin() + static_cast<std::ptrdiff_t>(n),
                       vecPairs.begin() + static_cast<std::ptrdiff_t>(std::min(n + 2, vecPairs.size())));
    }
    const bool bDropped = vecKept.size() != vecPairs.size();
    vecPairs.swap(vecKept);
    return bDropped;
}

bool DropPendingDeleteLines(std::string& strIni, const std::vector<std::string>& vecPaths)
{
    std::string strKept;
    bool bInRename = false;
    bool bDropped = false;
    for (const std::string& strLine : LinesOf(strIni)) {
        const std::string strTrimmed = Trimmed(strLine);
        if (IsSectionHeader(strTrimmed)) {
            bInRename = SameText(strTrimmed, kRenameSection);
        } else if (bInRename) {
            const std::size_t nEquals = strTrimmed.find('=');
            if (nEquals != std::string::npos && SameText(Trimmed(strTrimmed.substr(0, nEquals)), "NUL") &&
                NamesOneOf(Trimmed(strTrimmed.substr(nEquals + 1)), vecPaths)) {
                bDropped = true;
                continue;
            }
        }
        strKept += strLine;
    }
    if (bDropped)
        strIni.swap(strKept);
    return bDropped;
}

std::string WithRenameLines(const std::string& strIni, const std::vector<std::string>& vecLines)
{
    std::string strLastHeader;
    for (const std::string& strLine : LinesOf(strIni)) {
        if (IsSectionHeader(strLine))
            strLastHeader = Trimmed(strLine);
    }
    std::string strText = strIni;
    if (!SameText(strLastHeader, kRenameSection))
        strText += strText.empty() ? kRenameSection : std::string("\r\n") + kRenameSection;
    for (const std::string& strLine : vecLines)
        strText += "\r\n" + strLine;
    return strText;
}
