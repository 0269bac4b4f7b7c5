// The name loop shared by the joined package file and the extracted files.
#include "engine/temp_file_names.h"

#include "engine/file_helpers.h"
#include "sys/my_exception.h"

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
        if (FileExists(strPath) || !file.CreateReadWrite(strPath))
            continue;
        tempFiles.push_back(strPath);
        return strPath;
    }
    ThrowSetupException(nPhase, CAUSE_FILE_ERROR);
}
