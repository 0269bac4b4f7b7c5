#include "engine/deferred_replacement.h"

#include "app/setup_config.h"
#include "engine/deferred_entry.h"
#include "engine/file_helpers.h"
#include "engine/short_path.h"
#include "framework/file.h"
#include "sys/my_exception.h"

#include <windows.h>

namespace {
// Opens wininit.ini at its end, or creates it with its section header. Only the open,
// create and seek are the program's own failure; a write that fails afterwards is the
// file class's error like any other.
void OpenWininit(CFile& file, const std::string& strPath)
{
    const bool bExists = FileExists(strPath);
    try {
        if (bExists) {
            file.Open(strPath, CFile::modeWrite | CFile::shareExclusive);
            file.Seek(0, CFile::end);
        } else {
            file.Open(strPath, CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive);
        }
    } catch (CFileException* pError) {
        pError->Delete();
        ThrowSetupException(PHASE_FINISHING, CAUSE_FILE_ERROR);
    }
    if (!bExists)
        file.Write("[rename]", 8);
}
} // namespace

void ScheduleDeferredReplacements(const CSetupConfig& config, const std::string& strWindowsFolder,
                                  const std::vector<std::string>& deferredReplacements)
{
    if (!config.m_bRestartNeeded)
        return;
    CFile wininit;
    if (config.m_bWin9x)
        OpenWininit(wininit, strWindowsFolder + "\\wininit.ini");
    for (const std::string& strEntry : deferredReplacements) {
        std::string strPendingCopy;
        std::string strTarget;
        SplitDeferredEntry(strEntry, strPendingCopy, strTarget);
        const std::string strShortPending = ShortPathOf(strPendingCopy);
        const std::string strShortTarget = ShortPathOf(strTarget);
        if (config.m_bWin9x) {
            const std::string strLine = "\r\n" + strShortTarget + "=" + strShortPending;
            wininit.Write(strLine.data(), static_cast<unsigned>(strLine.size()));
        } else {
            MoveFileExA(strShortPending.c_str(), strShortTarget.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT);
        }
    }
    if (config.m_bWin9x)
        wininit.Close();
}
