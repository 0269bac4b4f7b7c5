#include "engine/replaced_files.h"

#include "engine/file_helpers.h"

#include <windows.h>

bool KeepExistingFile(std::vector<CReplacedFile>& vecReplaced, const std::string& strTarget,
                      const std::string& strTempFolder)
{
    const DWORD nAttributes = GetFileAttributesA(strTarget.c_str());
    if (nAttributes != INVALID_FILE_ATTRIBUTES && (nAttributes & FILE_ATTRIBUTE_READONLY) != 0)
        return true;
    // Not a name the run's other files can have: those are eight letters and ".tmp", or a
    // setup file's own name.
    const std::string strKept = strTempFolder + "kept" + std::to_string(vecReplaced.size() + 1) + ".tmp";
    if (!CopyOneFile(strTarget, strKept, false)) {
        DeleteFileA(strKept.c_str());
        return false;
    }
    vecReplaced.push_back({strKept, strTarget});
    return true;
}

void GiveBackKeptCopy(std::vector<CReplacedFile>& vecReplaced, const std::string& strTarget)
{
    if (vecReplaced.empty() || vecReplaced.back().strTarget != strTarget)
        return;
    const char* pszKept = vecReplaced.back().strKeptCopy.c_str();
    if (!MoveFileExA(pszKept, strTarget.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
        DeleteFileA(pszKept);
    vecReplaced.pop_back();
}

void RestoreReplacedFiles(const std::vector<CReplacedFile>& vecReplaced)
{
    // Latest first: a target replaced twice gets back what was there before the run.
    for (auto it = vecReplaced.rbegin(); it != vecReplaced.rend(); ++it)
        MoveFileExA(it->strKeptCopy.c_str(), it->strTarget.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED);
}

void DeleteKeptCopies(const std::vector<CReplacedFile>& vecReplaced)
{
    for (const CReplacedFile& replaced : vecReplaced)
        DeleteFileA(replaced.strKeptCopy.c_str());
}
