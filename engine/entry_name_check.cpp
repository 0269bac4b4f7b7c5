#include "engine/entry_name_check.h"

#include "format/package_records.h"
#include "sys/my_exception.h"

bool IsContainedEntryPath(const std::string& strPath, std::string& strWhy)
{
    if (!strPath.empty() && (strPath[0] == '\\' || strPath[0] == '/')) {
        strWhy = "absolute path";
        return false;
    }
    std::string strPart;
    // One pass past the end closes the last component as a separator would.
    for (std::size_t i = 0; i <= strPath.size(); ++i) {
        const char ch = i < strPath.size() ? strPath[i] : '\\';
        if (ch == ':') {
            strWhy = "drive letter or ':' in the name";
            return false;
        }
        if (static_cast<unsigned char>(ch) < 0x20) {
            strWhy = "control character in the name";
            return false;
        }
        if (ch != '\\' && ch != '/') {
            strPart += ch;
            continue;
        }
        if (strPart == "..") {
            strWhy = "'..' leaves its folder";
            return false;
        }
        strPart.clear();
    }
    return true;
}

void CheckDirectoryEntryPath(const std::string& strTrimmedPath)
{
    std::string strWhy;
    if (!IsContainedEntryPath(strTrimmedPath, strWhy))
        ThrowSetupException(PHASE_FOLDERS, CAUSE_DAMAGED);
}

void CheckFileEntryNames(const FileRecord& record)
{
    std::string strWhy;
    if (!IsContainedEntryPath(FieldText(record.folder), strWhy) ||
        !IsContainedEntryPath(FieldText(record.fileName), strWhy))
        ThrowSetupException(PHASE_FILES, CAUSE_DAMAGED);
}
