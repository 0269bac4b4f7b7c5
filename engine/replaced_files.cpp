#include "engine/replaced_files.h"

#include "engine/file_helpers.h"
#include "sys/my_exception.h"

#include <windows.h>

void KeepExistingFile(std::vector<CReplacedFile>& vecReplaced, const std::string& strTarget,
                      const std::string& strTempFolder)
{
    const DWORD nAttributes = GetFileAttributesA(strTarget.c_str());
    if (nAttributes != INVALID_FILE_ATTRIBUTES && (nAttributes & FILE_ATTRIBUTE_READONLY) != 0)
        return;
    // Not a name the run's other files can have: those are eight letters and ".tmp", or a
    // setup file's own name.
    const std::string strKept = strTempFolder + "kept" + std::to_string(vecReplaced.size() + 1) + ".tmp";
    if (!CopyOneFile(strTarget, strKept, false))
        ThrowSetupException(PHASE_FILES, CAUSE_FILE_ERROR);
    vecReplaced.push_back({strKept, strTarget});
}

void ForgetKeptCopy(std::vector<CReplacedFile>& vecReplaced, const std::string& strTarget)
{
    if (vecReplaced.empty() || vecReplaced.back().strTarget != strTarget)
        return;
    DeleteFileA(vecReplaced.back().strKeptCopy.c_str());
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
