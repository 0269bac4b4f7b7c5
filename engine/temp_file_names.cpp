// The name loop shared by the joined package file and the extracted files.
#include "engine/temp_file_names.h"

#include "engine/file_helpers.h"
#include "sys/my_exception.h"

#include <algorithm>

namespace {
// True when the run made strPath itself. Names drawn within one second repeat, so the
// k-th file of a second meets the k - 1 names before it again: the run's own list knows
// them at once, where the file system would be asked to open each one. The latest files,
// the ones a repeated name meets, are looked at first.
bool MadeByTheRun(const std::vector<std::string>& tempFiles, const std::string& strPath)
{
    return std::find(tempFiles.rbegin(), tempFiles.rend(), strPath) != tempFiles.rend();
}
} // namespace

std::string CreateTempFile(CPlainFile& file, const std::string& strTempFolder, unsigned nPhase,
                           const std::function<void()>& beforeEachDraw, std::vector<std::string>& tempFiles)
{
    SeedRandomNames();
    std::string strName;
    for (unsigned nAttempt = 0; nAttempt < kMaxTempNameAttempts; ++nAttempt) {
        if (beforeEachDraw)
            beforeEachDraw();
        MakeRandomName(strName, 8);
        const std::string strPath = strTempFolder + strName + ".tmp";
        if (MadeByTheRun(tempFiles, strPath) || FileExists(strPath) || !file.CreateReadWrite(strPath))
            continue;
        tempFiles.push_back(strPath);
        return strPath;
    }
    ThrowSetupException(nPhase, CAUSE_FILE_ERROR);
}
