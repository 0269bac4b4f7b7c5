// Copies into the temporary folder, and the gathering of the continuation volumes.
#include "engine/setup_file_copies.h"

#include "app/setup_thread_link.h"
#include "engine/file_helpers.h"
#include "engine/volume_search.h"
#include "sys/my_exception.h"

std::string CopyIntoTempFolder(const std::string& strSource, const std::string& strTempFolder,
                               std::vector<std::string>& tempFiles, const CSetupThreadLink* pLink)
{
    // A volume of a slow disk can take long to copy: the dialog may hold the thread
    // between two of its chunks.
    const std::function<void()> eachChunk = [pLink] {
        if (pLink != nullptr)
            pLink->HoldPoint();
    };
    if (CopyToFolder(strSource, strTempFolder, true, eachChunk) < 0)
        ThrowSetupException(PHASE_PREPARING, CAUSE_FILE_ERROR);
    tempFiles.push_back(PathInFolder(strTempFolder, strSource));
    return tempFiles.back();
}

void GatherVolumes(CVolumeSearch& search, unsigned nVolumeCount, const std::string& strTempFolder,
                   CSetupThreadLink& link, std::vector<std::string>& tempFiles,
                   std::vector<std::string>& volumeCopies)
{
    for (unsigned nVolume = 1; nVolume < nVolumeCount; ++nVolume) {
        link.CheckCancel();
        const std::string strVolume = search.Find(nVolume);
        volumeCopies.push_back(CopyIntoTempFolder(strVolume, strTempFolder, tempFiles, &link));
        link.StepProgress();
    }
}
