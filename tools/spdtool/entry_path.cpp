// SplitEntryPath: the one gate between names read from a package and the file system.
#include "tools/spdtool/entry_path.h"

#include "format/package_records.h"

bool SplitEntryPath(const std::string& strPath, std::vector<std::string>& vecParts, std::string& strWhy)
{
    vecParts.clear();
    if (!strPath.empty() && (strPath[0] == '\\' || strPath[0] == '/')) {
        strWhy = "absolute path";
        return false;
    }
    std::string strPart;
    for (std::size_t i = 0; i <= strPath.size(); ++i) {
        char c = i < strPath.size() ? strPath[i] : '\\';
        if (c == ':') {
            strWhy = "drive letter or ':' in the name";
            return false;
        }
        if (static_cast<unsigned char>(c) < 0x20) {
            strWhy = "control character in the name";
            return false;
        }
        if (c != '\\' && c != '/') {
            strPart += c;
            continue;
        }
        if (strPart == "..") {
            strWhy = "'..' leaves its folder";
            return false;
        }
        if (!strPart.empty() && strPart != ".")
            vecParts.push_back(strPart);
        strPart.clear();
    }
    return true;
}

std::string EntryText(const FileRecord& record)
{
    const char* pszRoot = FolderRootName(record.root);
    std::string strFolder = FieldText(record.folder);
    return (pszRoot != nullptr ? std::string(pszRoot) : "root " + std::to_string(record.root)) + "\\" +
           (strFolder.empty() ? "" : strFolder + "\\") + FieldText(record.fileName);
}

bool SplitFileEntry(const FileRecord& record, std::vector<std::string>& vecParts, std::string& strWhy)
{
    std::vector<std::string> vecName;
    if (!SplitEntryPath(FieldText(record.folder), vecParts, strWhy) ||
        !SplitEntryPath(FieldText(record.fileName), vecName, strWhy))
        return false;
    if (vecName.empty()) {
        strWhy = "the file name is empty";
        return false;
    }
    vecParts.insert(vecParts.end(), vecName.begin(), vecName.end());
    return true;
}
