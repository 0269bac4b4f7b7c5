#include "engine/deferred_replacement.h"

#include "app/setup_config.h"
#include "engine/deferred_entry.h"
#include "engine/file_helpers.h"
#include "engine/installation_lists.h"
#include "engine/pending_operations.h"
#include "engine/registry_before_image.h"
#include "engine/replaced_files.h"
#include "engine/short_path.h"
#include "framework/file.h"
#include "framework/reg_key.h"
#include "sys/my_exception.h"

#include <windows.h>

namespace {
constexpr const char* kSessionManagerKey = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr const char* kPendingValue = "PendingFileRenameOperations";

std::string WininitPath(const std::string& strWindowsFolder)
{
    return strWindowsFolder + "\\wininit.ini";
}

// wininit.ini's whole text, empty when there is none.
std::string ReadWininit(const std::string& strPath)
{
    if (GetFileAttributesA(strPath.c_str()) == INVALID_FILE_ATTRIBUTES)
        return std::string();
    try {
        CFile file(strPath, CFile::modeRead | CFile::shareExclusive);
        std::string strText(static_cast<std::size_t>(file.GetLength()), '\0');
        const unsigned nSize = static_cast<unsigned>(strText.size());
        if (nSize != 0 && file.Read(&strText[0], nSize) != nSize)
            ThrowSetupException(PHASE_FILES, CAUSE_FILE_ERROR);
        return strText;
    } catch (CFileException* pError) {
        pError->Delete();
        ThrowSetupException(PHASE_FILES, CAUSE_FILE_ERROR);
    }
}

// Notes wininit.ini as the run found it, once per run: a copy the roll-back puts back, or
// the file to delete when there was none.
void NoteWininit(const std::string& strPath, const CNextStartNotes& notes)
{
    if (notes.lists.m_bWininitKept)
        return;
    if (GetFileAttributesA(strPath.c_str()) == INVALID_FILE_ATTRIBUTES)
        notes.lists.unloggedFiles.push_back(strPath);
    else if (!KeepExistingFile(notes.lists.replacedFiles, strPath, notes.strTempFolder))
        ThrowSetupException(PHASE_FILES, CAUSE_FILE_ERROR);
    notes.lists.m_bWininitKept = true;
}

void WriteWininit(const std::string& strPath, const std::string& strText, const CNextStartNotes& notes)
{
    NoteWininit(strPath, notes);
    try {
        CFile file(strPath, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive);
        file.Write(strText.data(), static_cast<unsigned>(strText.size()));
        file.Close();
    } catch (CFileException* pError) {
        pError->Delete();
        ThrowSetupException(PHASE_FILES, CAUSE_FILE_ERROR);
    }
}

std::vector<std::string> ReadPendingPairs()
{
    CRegKey key;
    std::vector<unsigned char> data;
    if (key.Open(HKEY_LOCAL_MACHINE, kSessionManagerKey, KEY_QUERY_VALUE) != ERROR_SUCCESS ||
        key.QueryData(kPendingValue, nullptr, data) != ERROR_SUCCESS)
        return std::vector<std::string>();
    return SplitMultiString(data);
}

void WritePendingPairs(const std::vector<std::string>& vecPairs, const CNextStartNotes& notes)
{
    NoteValueBefore(notes.lists.registryBefore, HKEY_LOCAL_MACHINE, kSessionManagerKey, kPendingValue);
    CRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kSessionManagerKey, KEY_SET_VALUE) != ERROR_SUCCESS)
        ThrowSetupException(PHASE_FILES, CAUSE_FILE_ERROR);
    const std::vector<unsigned char> data = JoinMultiString(vecPairs);
    const LONG nResult = vecPairs.empty()
                             ? key.DeleteValue(kPendingValue)
                             : key.SetValue(kPendingValue, REG_MULTI_SZ, data.data(), static_cast<DWORD>(data.size()));
    if (nResult != ERROR_SUCCESS)
        ThrowSetupException(PHASE_FILES, CAUSE_FILE_ERROR);
}
} // namespace

void ScheduleDeferredReplacements(const CSetupConfig& config, const std::string& strWindowsFolder,
                                  const CNextStartNotes& notes)
{
    if (!config.m_bRestartNeeded)
        return;
    std::vector<std::string> vecLines;
    for (const std::string& strEntry : notes.lists.deferredReplacements) {
        std::string strPendingCopy;
        std::string strTarget;
        SplitDeferredEntry(strEntry, strPendingCopy, strTarget);
        const std::string strShortPending = ShortPathOf(strPendingCopy);
        const std::string strShortTarget = ShortPathOf(strTarget);
        if (config.m_bWin9x) {
            vecLines.push_back(strShortTarget + "=" + strShortPending);
            continue;
        }
        NoteValueBefore(notes.lists.registryBefore, HKEY_LOCAL_MACHINE, kSessionManagerKey, kPendingValue);
        if (!MoveAtNextStart(strShortPending, strShortTarget))
            ThrowSetupException(PHASE_FILES, CAUSE_FILE_ERROR);
    }
    if (config.m_bWin9x) {
        const std::string strPath = WininitPath(strWindowsFolder);
        WriteWininit(strPath, WithRenameLines(ReadWininit(strPath), vecLines), notes);
    }
}

bool AnythingPendingAtNextStart(const CSetupConfig& config, const std::string& strWindowsFolder)
{
    return config.m_bWin9x ? !ReadWininit(WininitPath(strWindowsFolder)).empty() : !ReadPendingPairs().empty();
}

void DropPendingDeletes(const CSetupConfig& config, const std::string& strWindowsFolder, const std::string& strTarget,
                        const CNextStartNotes& notes)
{
    // Asked for every file placed: with nothing pending, the short name is never looked up.
    const auto spellings = [&strTarget] { return std::vector<std::string>{strTarget, ShortPathOf(strTarget)}; };
    if (config.m_bWin9x) {
        const std::string strPath = WininitPath(strWindowsFolder);
        std::string strText = ReadWininit(strPath);
        if (!strText.empty() && DropPendingDeleteLines(strText, spellings()))
            WriteWininit(strPath, strText, notes);
        return;
    }
    std::vector<std::string> vecPairs = ReadPendingPairs();
    if (!vecPairs.empty() && DropPendingDeletePairs(vecPairs, spellings()))
        WritePendingPairs(vecPairs, notes);
}
