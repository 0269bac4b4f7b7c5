// Where continuation volume k of a package is: beside the last volume found, in the
// sibling folder of its disk ("Disk k+1"), or in a folder the user names.
#pragma once

#include "engine/disk_prompt.h"
#include "format/package_records.h"

#include <string>

class CVolumeSearch {
public:
    // strSourceFolder ends in a backslash: the setup program's folder at first.
    CVolumeSearch(const SetupHeader& header, std::string strSourceFolder, IDiskPrompt& prompt);

    // The path of continuation volume nVolume (1 .. volumeCount - 1). A volume in the
    // source folder is taken as it is; one found elsewhere must carry the right
    // VolumeHeader, and the source folder moves to it, so that the next volume is looked
    // for beside it first. The prompt is asked until it is satisfied or cancelled.
    // Raises phase 1: cause 9 when the prompt is cancelled, cause 0 when the folder it
    // names lacks the volume after all.
    std::string Find(unsigned nVolume);

    const std::string& GetSourceFolder() const { return m_strSourceFolder; }

private:
    bool FindInDiskFolder(unsigned nVolume, const std::string& strName, std::string& strPath) const;
    bool AskForDisk(unsigned nVolume, const std::string& strName, std::string& strPath);
    void MoveSourceFolderTo(const std::string& strPath);

    SetupHeader m_header;
    std::string m_strSourceFolder;
    IDiskPrompt& m_prompt;
};
