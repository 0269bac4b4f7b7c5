// Parsing the manifest: "key = value" lines, fields of a line separated by '|'.
#include "tools/spdtool/manifest.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

std::string Trim(const std::string& strText)
{
    std::size_t nBegin = 0;
    std::size_t nEnd = strText.size();
    while (nBegin < nEnd && std::isspace(static_cast<unsigned char>(strText[nBegin])))
        ++nBegin;
    while (nEnd > nBegin && std::isspace(static_cast<unsigned char>(strText[nEnd - 1])))
        --nEnd;
    return strText.substr(nBegin, nEnd - nBegin);
}

std::string Lower(std::string strText)
{
    for (char& c : strText)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return strText;
}

std::vector<std::string> SplitFields(const std::string& strText)
{
    std::vector<std::string> vecFields;
    std::size_t nStart = 0;
    for (;;) {
        std::size_t nBar = strText.find('|', nStart);
        vecFields.push_back(Trim(strText.substr(nStart, nBar == std::string::npos ? std::string::npos : nBar - nStart)));
        if (nBar == std::string::npos)
            return vecFields;
        nStart = nBar + 1;
    }
}

struct SFlagName {
    const char* m_pszName;
    std::uint8_t m_nBit;
};
const SFlagName kFlagNames[] = {{"Shared", Shared}, {"Vital", Vital}, {"Screensaver", Screensaver}, {"Config", Config}};

} // namespace

bool ParseRootName(const std::string& strName, std::uint8_t& root)
{
    for (unsigned n = Windows; n <= Destination; ++n) {
        if (Lower(strName) == Lower(FolderRootName(n))) {
            root = static_cast<std::uint8_t>(n);
            return true;
        }
    }
    return false;
}

bool ParseFlagNames(const std::string& strText, std::uint8_t& flags, std::string& strBad)
{
    flags = 0;
    std::string strWord;
    std::istringstream words(strText);
    std::string strItem;
    while (std::getline(words, strItem, ',')) {
        std::istringstream spaced(strItem);
        while (spaced >> strWord) {
            bool bFound = false;
            for (const SFlagName& flag : kFlagNames) {
                if (Lower(strWord) == Lower(flag.m_pszName)) {
                    flags = static_cast<std::uint8_t>(flags | flag.m_nBit);
                    bFound = true;
                }
            }
            if (!bFound) {
                strBad = strWord;
                return false;
            }
        }
    }
    return true;
}

std::string FlagNames(std::uint8_t flags)
{
    std::string strNames;
    std::uint8_t nKnown = 0;
    for (const SFlagName& flag : kFlagNames) {
        nKnown = static_cast<std::uint8_t>(nKnown | flag.m_nBit);
        if (flags & flag.m_nBit)
            strNames += (strNames.empty() ? "" : ",") + std::string(flag.m_pszName);
    }
    if (flags & ~nKnown) {
        char sz[8];
        std::snprintf(sz, sizeof sz, "0x%02x", static_cast<unsigned>(flags & ~nKnown));
        strNames += (strNames.empty() ? "" : ",") + std::string(sz);
    }
    return strNames;
}

PackageManifest ParseManifest(const std::string& strText, const std::string& strBaseFolder, const std::string& strName)
{
    PackageManifest manifest;
    bool bHasName = false;
    bool bHasFolder = false;
    std::istringstream lines(strText);
    std::string strLine;
    unsigned nLine = 0;
    auto fail = [&](const std::string& strWhy) -> void {
        throw CManifestError(strName + ":" + std::to_string(nLine) + ": " + strWhy);
    };
    auto fits = [&](const std::string& strValue, std::size_t nField, const char* pszWhat) {
        if (strValue.size() >= nField)
            fail(std::string(pszWhat) + " is longer than " + std::to_string(nField - 1) + " bytes");
    };
    while (std::getline(lines, strLine)) {
        ++nLine;
        if (!strLine.empty() && strLine.back() == '\r')
            strLine.pop_back();
        std::string strTrimmed = Trim(strLine);
        if (strTrimmed.empty() || strTrimmed[0] == '#')
            continue;
        std::size_t nEquals = strTrimmed.find('=');
        if (nEquals == std::string::npos)
            fail("expected \"key = value\"");
        std::string strKey = Lower(Trim(strTrimmed.substr(0, nEquals)));
        std::string strValue = Trim(strTrimmed.substr(nEquals + 1));
        if (strKey == "name") {
            if (bHasName)
                fail("name given twice");
            if (strValue.empty())
                fail("the package name is empty");
            fits(strValue, kNameFieldSize, "the package name");
            manifest.contents.strName = strValue;
            bHasName = true;
        } else if (strKey == "id") {
            if (manifest.bHasId)
                fail("id given twice");
            if (!ParsePackageId(strValue, manifest.contents.packageId))
                fail("id \"" + strValue + "\" is not a GUID like {01234567-89AB-CDEF-0123-456789ABCDEF}");
            manifest.bHasId = true;
        } else if (strKey == "default-folder") {
            if (bHasFolder)
                fail("default-folder given twice");
            fits(strValue, kNameFieldSize, "the default folder");
            manifest.contents.strDefaultFolder = strValue;
            bHasFolder = true;
        } else if (strKey == "directory") {
            std::vector<std::string> vecFields = SplitFields(strValue);
            if (vecFields.size() != 2)
                fail("expected \"directory = ROOT | PATH\"");
            PackageDirectoryEntry directory;
            if (!ParseRootName(vecFields[0], directory.root))
                fail("unknown root \"" + vecFields[0] + "\" (Windows, System, ProgramFiles, CommonFiles or Destination)");
            if (vecFields[1].empty())
                fail("the directory path is empty");
            fits(vecFields[1], kPathFieldSize, "the directory path");
            directory.strPath = vecFields[1];
            manifest.contents.vecDirectories.push_back(directory);
        } else if (strKey == "file") {
            std::vector<std::string> vecFields = SplitFields(strValue);
            if (vecFields.size() != 4 && vecFields.size() != 5)
                fail("expected \"file = ROOT | FOLDER | NAME | SOURCE [| FLAGS]\"");
            PackageFileEntry file;
            if (!ParseRootName(vecFields[0], file.root))
                fail("unknown root \"" + vecFields[0] + "\" (Windows, System, ProgramFiles, CommonFiles or Destination)");
            fits(vecFields[1], kPathFieldSize, "the folder");
            if (vecFields[2].empty())
                fail("the file name is empty");
            fits(vecFields[2], kPathFieldSize, "the file name");
            if (vecFields[3].empty())
                fail("the source path is empty");
            std::string strBad;
            if (vecFields.size() == 5 && !ParseFlagNames(vecFields[4], file.flags, strBad))
                fail("unknown flag \"" + strBad + "\" (Shared, Vital, Screensaver or Config)");
            file.strFolder = vecFields[1];
            file.strFileName = vecFields[2];
            std::filesystem::path source(vecFields[3]);
            file.strSourcePath = source.is_absolute() || strBaseFolder.empty()
                                     ? vecFields[3]
                                     : (std::filesystem::path(strBaseFolder) / source).string();
            if (manifest.contents.vecFiles.size() == 0xFFFF)
                fail("a package holds at most 65535 files");
            manifest.contents.vecFiles.push_back(std::move(file));
        } else if (strKey == "uninstaller") {
            if (!manifest.strUninstaller.empty())
                fail("uninstaller given twice");
            if (strValue.empty())
                fail("the uninstaller path is empty");
            std::filesystem::path source(strValue);
            manifest.strUninstaller = source.is_absolute() || strBaseFolder.empty()
                                          ? strValue
                                          : (std::filesystem::path(strBaseFolder) / source).string();
        } else {
            fail("unknown key \"" + strKey + "\" (name, id, default-folder, directory, file, uninstaller)");
        }
    }
    nLine = 0;
    if (!bHasName)
        throw CManifestError(strName + ": no \"name = ...\" line");
    if (manifest.contents.vecFiles.empty())
        throw CManifestError(strName + ": no \"file = ...\" line; a package needs at least one file");
    return manifest;
}

PackageManifest LoadManifest(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    if (!in)
        throw CManifestError("cannot read manifest " + strPath);
    std::ostringstream text;
    text << in.rdbuf();
    std::string strBase = std::filesystem::path(strPath).parent_path().string();
    return ParseManifest(text.str(), strBase, strPath);
}
