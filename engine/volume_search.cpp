// The search for a continuation volume, and the checks a volume found elsewhere must pass.
#include "engine/volume_search.h"

#include "engine/file_helpers.h"
#include "format/package_reader.h"
#include "format/plain_file.h"
#include "sys/message_text.h"
#include "sys/my_exception.h"

#include <windows.h>

#include <cstdio>

namespace {
enum class Candidate { Accepted, Locked, Unreadable, Foreign };

// Opens the candidate the way its copy will be read (read, exclusive) and checks its
// VolumeHeader; a read that fails on the device makes it unreadable.
Candidate CheckCandidate(const std::string& strPath, const SetupHeader& header, unsigned nVolume)
{
    CPlainFile file;
    if (!file.Open(strPath))
        return Candidate::Locked;
    try {
        switch (CheckVolume(file, header, nVolume)) {
        case VolumeCheck::Accepted: return Candidate::Accepted;
        case VolumeCheck::Foreign: return Candidate::Foreign;
        case VolumeCheck::Unreadable: break;
        }
    } catch (CFileException* pException) {
        pException->Delete();
    }
    return Candidate::Unreadable;
}
} // namespace

CVolumeSearch::CVolumeSearch(const SetupHeader& header, std::string strSourceFolder, IDiskPrompt& prompt)
    : m_header(header), m_strSourceFolder(std::move(strSourceFolder)), m_prompt(prompt)
{
}

std::string CVolumeSearch::Find(unsigned nVolume)
{
    const std::string strName = VolumeFileName(nVolume);
    std::string strPath;
    for (;;) {
        // Beside the last volume it is taken unread: a foreign one there is refused later
        // by the size and checksum of the whole package.
        strPath = m_strSourceFolder + strName;
        if (FileExists(strPath))
            return strPath;
        if (FindInDiskFolder(nVolume, strName, strPath) || AskForDisk(nVolume, strName, strPath)) {
            MoveSourceFolderTo(strPath);
            return strPath;
        }
    }
}

bool CVolumeSearch::FindInDiskFolder(unsigned nVolume, const std::string& strName, std::string& strPath) const
{
    std::string strFolder = m_strSourceFolder;
    if (!strFolder.empty() && strFolder.back() == '\\')
        strFolder.pop_back();
    const std::size_t nSlash = strFolder.rfind('\\');
    if (nSlash == std::string::npos)
        return false;
    char szDisk[32];
    std::snprintf(szDisk, sizeof szDisk, "\\Disk %u\\", nVolume + 1);
    strPath = strFolder.substr(0, nSlash) + szDisk + strName;
    // Whatever lies in a disk folder is only a guess: anything wrong is passed over
    // without a word.
    return FileExists(strPath) && CheckCandidate(strPath, m_header, nVolume) == Candidate::Accepted;
}

bool CVolumeSearch::AskForDisk(unsigned nVolume, const std::string& strName, std::string& strPath)
{
    MessageBeep(MB_ICONEXCLAMATION);
    std::string strFolder;
    if (!m_prompt.Ask(strName, m_strSourceFolder, nVolume + 1, strFolder))
        ThrowSetupException(PHASE_PREPARING, CAUSE_CANNOT_PROCEED);
    strPath = strFolder + "\\" + strName;
    if (!FileExists(strPath))
        ThrowSetupException(PHASE_PREPARING, CAUSE_OPEN_FILE);
    // The user chose this file: say what is wrong with it, then look again.
    switch (CheckCandidate(strPath, m_header, nVolume)) {
    case Candidate::Accepted: return true;
    case Candidate::Locked: MessageBoxByNumber(151, MB_ICONHAND); break;
    case Candidate::Unreadable: MessageBoxByNumber(154, MB_ICONHAND); break;
    case Candidate::Foreign: MessageBoxByNumber(157, MB_ICONHAND); break;
    }
    return false;
}

void CVolumeSearch::MoveSourceFolderTo(const std::string& strPath)
{
    m_strSourceFolder = strPath.substr(0, strPath.rfind('\\') + 1);
}
