// The steps of one installation, in the order the setup thread performs them.
#include "engine/setup_run.h"

#include "app/setup_config.h"
#include "app/setup_thread_link.h"
#include "engine/deferred_replacement.h"
#include "engine/file_extraction.h"
#include "engine/file_helpers.h"
#include "engine/folder_creation.h"
#include "engine/older_version.h"
#include "format/package_reader.h"
#include "engine/place_file.h"
#include "engine/registration.h"
#include "engine/setup_file_copies.h"
#include "engine/setup_package_stream.h"
#include "engine/shared_file_counts.h"
#include "engine/volume_search.h"
#include "framework/reg_key.h"
#include "sys/my_exception.h"

#include <windows.h>

namespace {
constexpr const char* kSetupFileName = "_setup.spd";
constexpr const char* kPackageFileName = "user.spd";
constexpr const char* kCurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr unsigned kTempNameLength = 8;

std::string WithBackslash(std::string strFolder)
{
    if (strFolder.empty() || strFolder.back() != '\\')
        strFolder += '\\';
    return strFolder;
}

// A system folder through one of the two system calls alike; phase 1, cause 7 without one.
std::string SystemFolder(UINT(WINAPI* pGetFolder)(LPSTR, UINT))
{
    char szFolder[MAX_PATH] = "";
    const UINT nLength = pGetFolder(szFolder, sizeof szFolder);
    if (nLength == 0 || nLength >= sizeof szFolder)
        ThrowSetupException(PHASE_PREPARING, CAUSE_UNEXPECTED);
    return szFolder;
}
} // namespace

CSetupRun::CSetupRun(CSetupThreadLink& link, IDiskPrompt& diskPrompt) : m_link(link), m_diskPrompt(diskPrompt) {}

CSetupRun::~CSetupRun() = default;

void CSetupRun::Perform()
{
    m_pConfig = AcquireSetupConfig();
    WaitForSingleObject(m_link.m_hStartEvent.Get(), INFINITE);
    m_link.ResetProgress();
    m_link.Notify(TRUE, CSetupThreadLink::PHASE_PREPARING, 0);

    m_strSourceFolder = WithBackslash(m_pConfig->m_strSourceDir);
    MakeTempFolder();
    MapRootFolders();
    CheckSetupFiles();
    {
        CPlainFile headerFile;
        m_header = ReadSetupHeader(headerFile, m_strSourceFolder + kPackageFileName);
    }
    DetectOlderVersion(FieldText(m_header.packageName), *m_pConfig, m_link);
    m_link.SetProgressStep(CSetupThreadLink::PreparationStep(m_header.volumeCount));
    CopySetupFiles();

    m_link.CheckCancel();
    m_pStream = BuildPackageStream(m_volumeCopies, m_strTempFolder, m_link, m_tempFiles);
    m_link.StepProgress();
    m_link.SetProgressStep(CSetupThreadLink::kCopyingShare);
    CPackageReader reader(*m_pStream, m_header);
    reader.VerifyStream();

    m_link.CheckCancel();
    m_link.Notify(TRUE, CSetupThreadLink::PHASE_CREATING_FOLDERS, 0);
    m_pStream->Seek(kSetupHeaderSize);
    const std::vector<DirectoryEntry> directoryTable = reader.ReadDirectoryTable().value_or(std::vector<DirectoryEntry>());
    CreatePackageFolders(m_pConfig->m_strDestination, directoryTable, m_rootFolders, m_link, m_lists.createdFolders);

    PlaceFiles(reader);
    Finish();
    ThrowMyException();
}

void CSetupRun::MakeTempFolder()
{
    char szTemp[MAX_PATH + 1] = "";
    const DWORD nLength = GetTempPathA(MAX_PATH, szTemp);
    if (nLength == 0 || nLength > MAX_PATH)
        ThrowSetupException(PHASE_PREPARING, CAUSE_TEMP_FOLDER);
    const std::string strBase = WithBackslash(szTemp);
    // Drawn before the run seeds the generator: the thread's initial state names the folder.
    std::string strFolder;
    do {
        std::string strName;
        MakeRandomName(strName, kTempNameLength);
        strFolder = strBase + strName;
    } while (FolderExists(strFolder));
    if (!CreateFolder(strFolder))
        ThrowSetupException(PHASE_PREPARING, CAUSE_TEMP_FOLDER);
    m_tempFolders.push_back(strFolder);
    m_strTempFolder = strFolder + '\\';
}

void CSetupRun::MapRootFolders()
{
    m_strWindowsFolder = SystemFolder(GetWindowsDirectoryA);
    m_rootFolders.Set(Windows, m_strWindowsFolder);
    m_rootFolders.Set(System, SystemFolder(GetSystemDirectoryA));
    m_rootFolders.Set(ProgramFiles, m_pConfig->m_strProgramFiles);
    CRegKey key;
    std::string strCommonFiles;
    if (key.Open(HKEY_LOCAL_MACHINE, kCurrentVersionKey, KEY_READ) != ERROR_SUCCESS ||
        !key.QueryString("CommonFilesDir", strCommonFiles, MAX_PATH))
        ThrowSetupException(PHASE_PREPARING, CAUSE_UNEXPECTED);
    m_rootFolders.Set(CommonFiles, strCommonFiles);
    m_rootFolders.Set(Destination, m_pConfig->m_strDestination);
}

void CSetupRun::CheckSetupFiles()
{
    for (const char* pszName : {kSetupFileName, kPackageFileName}) {
        m_link.CheckCancel();
        if (!FileExists(m_strSourceFolder + pszName))
            ThrowSetupException(PHASE_PREPARING, CAUSE_OPEN_FILE);
    }
}

void CSetupRun::CopySetupFiles()
{
    for (const char* pszName : {kSetupFileName, kPackageFileName}) {
        m_link.CheckCancel();
        const std::string strCopy = CopyIntoTempFolder(m_strSourceFolder + pszName, m_strTempFolder, m_tempFiles, &m_link);
        if (pszName == kPackageFileName)
            m_volumeCopies.push_back(strCopy);
        else
            m_strSetupCopy = strCopy;
        m_link.StepProgress();
    }
    CVolumeSearch search(m_header, m_strSourceFolder, m_diskPrompt);
    GatherVolumes(search, m_header.volumeCount, m_strTempFolder, m_link, m_tempFiles, m_volumeCopies);
}

void CSetupRun::PlaceFiles(CPackageReader& reader)
{
    m_link.SetProgressStep(CSetupThreadLink::CopyingStep(m_header.fileCount));
    reader.BeginFileSection();
    CFilePlacement placement(m_rootFolders, *m_pConfig, m_link, m_lists, m_strTempFolder);
    CFileExtractor extractor;
    while (reader.GetFilesLeft() > 0) {
        m_link.CheckCancel();
        FileRecord record;
        reader.ReadNextFileEntry(record);
        // Sent, not posted: the name lives only until the next file.
        const std::string strFileName = FieldText(record.fileName);
        m_link.Notify(FALSE, CSetupThreadLink::PHASE_COPYING, reinterpret_cast<LPARAM>(strFileName.c_str()));
        const std::string strExtracted = extractor.Extract(*m_pStream, m_strTempFolder, m_link, m_tempFiles);
        placement.PlaceFile(strExtracted, record);
    }
}

void CSetupRun::Finish()
{
    CountSharedFiles(m_lists.sharedFiles, m_lists.registryBefore);
    // Asked before the first key is written: creating it creates its parent too when this
    // is the first screensaver installed here.
    CRegKey productKey;
    m_lists.m_bCreatesProductKey =
        productKey.Open(HKEY_LOCAL_MACHINE, kOlderVersionKey, KEY_READ) == ERROR_FILE_NOT_FOUND;
    productKey.Close();
    WriteScreensaverKey(*m_pConfig, m_lists);
    m_link.Notify(TRUE, CSetupThreadLink::PHASE_FINISHING, 0);
    const CRegistrationInputs inputs{m_strWindowsFolder, m_strSetupCopy, m_strTempFolder,
                                     FieldText(m_header.packageName), GetModuleHandleA(nullptr)};
    RecordInstallation(inputs, *m_pConfig, m_lists, m_link);
    ScheduleDeferredReplacements(*m_pConfig, m_strWindowsFolder, {m_lists, m_strTempFolder});
    m_link.SetProgressStep(CSetupThreadLink::kFinalStep);
    m_link.StepProgress();
    m_link.Notify(TRUE, CSetupThreadLink::PHASE_COMPLETED, 0);
    m_bSuccess = true;
}
