// Whole installations on a real CSetupThread under Wine: packages from the writer, real
// folders, registry and processes; every way the run ends, and the roll-back that must
// leave nothing behind.
#include "app/setup_config.h"
#include "app/setup_thread_link.h"
#include "engine/file_helpers.h"
#include "engine/older_version.h"
#include "engine/registry_rollback.h"
#include "format/package_writer.h"
#include "engine/scripted_disk_prompt.h"
#include "engine/setup_thread.h"
#include "engine/shared_file_counts.h"
#include "framework/handle.h"
#include "framework/message_box.h"
#include "framework/reg_key.h"
#include "tests/win/registry_guards.h"
#include "sys/message_text.h"
#include "sys/my_exception.h"
#include "tests/common/message_box_recorder.h"
#include "tests/win/pending_renames.h"
#include "tests/win/phase_window.h"
#include "tests/win/recording_window.h"
#include "tests/win/temp_folder.h"

#include <gtest/gtest.h>
#include <sddl.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <set>

namespace {
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const UINT kStopIcon = MB_ICONHAND;

std::string ReadText(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<unsigned char> Incompressible(std::size_t nSize)
{
    std::vector<unsigned char> bytes(nSize);
    std::uint32_t nState = 12345;
    for (unsigned char& byte : bytes) {
        nState = nState * 1103515245u + 12345u;
        byte = static_cast<unsigned char>(nState >> 24);
    }
    return bytes;
}

bool Exists(const std::string& strPath)
{
    return GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string UpperCase(std::string strText)
{
    if (!strText.empty())
        CharUpperA(&strText[0]);
    return strText;
}

bool KeyExists(const std::string& strSubKey)
{
    CRegKey key;
    return key.Open(HKEY_LOCAL_MACHINE, strSubKey.c_str(), KEY_READ) == ERROR_SUCCESS;
}

bool ValueExists(const std::string& strSubKey, const std::string& strName)
{
    CRegKey key;
    DWORD nType = 0;
    return key.Open(HKEY_LOCAL_MACHINE, strSubKey.c_str(), KEY_READ) == ERROR_SUCCESS &&
           key.QueryType(strName.c_str(), nType) == ERROR_SUCCESS;
}

std::set<std::string> SubKeys(const char* pszKey)
{
    std::set<std::string> setNames;
    CRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, pszKey, KEY_READ) != ERROR_SUCCESS)
        return setNames;
    char szName[MAX_PATH];
    for (DWORD n = 0; RegEnumKeyA(key.Get(), n, szName, sizeof szName) == ERROR_SUCCESS; ++n)
        setNames.insert(szName);
    return setNames;
}

// The keys and values of the older-version key, and whether the uninstall entry strEntry
// exists: what a run writes in the registry.
std::set<std::string> RegistrySnapshot(const std::string& strEntry)
{
    std::set<std::string> setItems;
    if (KeyExists(strEntry))
        setItems.insert("entry " + strEntry);
    CRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kOlderVersionKey, KEY_READ) != ERROR_SUCCESS)
        return setItems;
    for (const std::string& strName : SubKeys(kOlderVersionKey))
        setItems.insert("key " + strName);
    char szName[MAX_PATH];
    for (DWORD n = 0;; ++n) {
        DWORD nNameSize = sizeof szName;
        char szData[1024] = "";
        DWORD nDataSize = sizeof szData;
        if (RegEnumValueA(key.Get(), n, szName, &nNameSize, nullptr, nullptr, reinterpret_cast<BYTE*>(szData),
                          &nDataSize) != ERROR_SUCCESS)
            break;
        setItems.insert(std::string("value ") + szName + "=" + szData);
    }
    return setItems;
}

// Every path below strFolder (folders with a trailing backslash), relative to it.
void ListTree(const std::string& strFolder, const std::string& strPrefix, std::set<std::string>& setPaths)
{
    WIN32_FIND_DATAA data;
    const HANDLE hFind = FindFirstFileA((strFolder + "\\*").c_str(), &data);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string strName = data.cFileName;
        if (strName == "." || strName == "..")
            continue;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            setPaths.insert(strPrefix + strName + "\\");
            ListTree(strFolder + "\\" + strName, strPrefix + strName + "\\", setPaths);
        } else {
            setPaths.insert(strPrefix + strName);
        }
    } while (FindNextFileA(hFind, &data));
    FindClose(hFind);
}

std::set<std::string> Tree(const std::string& strFolder)
{
    std::set<std::string> setPaths;
    ListTree(strFolder, "", setPaths);
    return setPaths;
}

std::set<std::string> Uninstallers()
{
    char szWindows[MAX_PATH] = "";
    GetWindowsDirectoryA(szWindows, sizeof szWindows);
    std::set<std::string> setNames;
    WIN32_FIND_DATAA data;
    const HANDLE hFind = FindFirstFileA((std::string(szWindows) + "\\UnSc*.exe").c_str(), &data);
    if (hFind == INVALID_HANDLE_VALUE)
        return setNames;
    do
        setNames.insert(std::string(szWindows) + "\\" + data.cFileName);
    while (FindNextFileA(hFind, &data));
    FindClose(hFind);
    return setNames;
}

std::string FailureText(unsigned nPhase, unsigned nCause)
{
    std::string strText;
    EXPECT_TRUE(CSetupException(nPhase, nCause).ComposeText(strText));
    return strText;
}

std::string MessageText(unsigned nId)
{
    std::string strText;
    EXPECT_TRUE(LoadMessage(nId, strText)) << nId;
    return strText;
}

// The 8 letters a thread of its own draws first: the temporary folder's name, since the
// run draws it before any seeding.
DWORD WINAPI DrawFirstName(LPVOID pParam)
{
    MakeRandomName(*static_cast<std::string*>(pParam), 8);
    return 0;
}

std::string FirstNameOfAThread()
{
    std::string strName;
    const CHandle hThread(CreateThread(nullptr, 0, DrawFirstName, &strName, 0, nullptr));
    WaitForSingleObject(hThread.Get(), INFINITE);
    return strName;
}

// Stands in for the setup dialog: a message-only window that records every phase in the
// order the thread delivered it and can raise the cancel event as the dialog would.
class CPhaseWindow : public CPhaseWindowBase {
public:
    using OnCopying = std::function<void(unsigned nFile)>;

    CPhaseWindow() : CPhaseWindowBase("LumidropSetupThreadTestDialog") {}

    std::vector<int> m_vecPhases;
    std::vector<std::string> m_vecFileNames;
    OnCopying m_onCopying;

private:
    void OnPhase(WPARAM wParam, LPARAM lParam) override
    {
        m_vecPhases.push_back(static_cast<int>(wParam));
        if (wParam == CSetupThreadLink::PHASE_COPYING) {
            m_vecFileNames.push_back(reinterpret_cast<const char*>(lParam));
            if (m_onCopying)
                m_onCopying(static_cast<unsigned>(m_vecFileNames.size()));
        }
    }
};

struct FileSpec {
    std::uint8_t root;
    std::uint8_t flags;
    const char* pszFolder;
    const char* pszName;
    const char* pszContent;
};
} // namespace

class SetupThread : public ::testing::Test {
protected:
    // Three files, one per root kind the run maps and per flag the registration needs;
    // two folders of the directory table.
    const std::vector<FileSpec> m_vecFiles = {
        {Destination, Screensaver, "", "aqua.scr", "the screensaver module"},
        {Destination, Config, "Data", "aqua.ini", "[settings]"},
        {ProgramFiles, 0, "Aqua Extra", "readme.txt", "read me"},
    };

    void SetUp() override
    {
        for (const std::string& strFolder : {m_strSource, m_strTemp, m_strProgramFiles})
            ASSERT_TRUE(CreateDirectoryA(strFolder.c_str(), nullptr)) << strFolder;
        // The run's temporary folder goes where this test can see all of it.
        SetEnvironmentVariableA("TMP", m_strTemp.c_str());
        SetEnvironmentVariableA("TEMP", m_strTemp.c_str());
        m_bParentExisted = KeyExists(kOlderVersionKey);
        m_setKeysBefore = SubKeys(kOlderVersionKey);
        m_setUninstallersBefore = Uninstallers();

        m_pConfig = AcquireSetupConfig();
        m_pConfig->m_strSourceDir = m_strSource;
        m_pConfig->m_strProgramFiles = m_strProgramFiles;
        m_pConfig->m_strDestination = m_strDestination;
        m_pConfig->m_strName = m_strName;

        m_contents.strName = m_strPackageName;
        m_contents.vecDirectories = {{Destination, "Data"}, {ProgramFiles, "Aqua Extra"}};
        for (const FileSpec& wanted : m_vecFiles) {
            PackageFileEntry file;
            file.root = wanted.root;
            file.flags = wanted.flags;
            file.strFolder = wanted.pszFolder;
            file.strFileName = wanted.pszName;
            file.content = std::vector<unsigned char>(wanted.pszContent, wanted.pszContent + std::strlen(wanted.pszContent));
            m_contents.vecFiles.push_back(file);
        }
        ASSERT_TRUE(WriteWholeFile(m_base.File("program.exe"), "any bytes will do", 17));
        WriteUninstallerFile(m_base.File("program.exe"), m_strSource + "\\_setup.spd");

        m_link.m_hWndDialog = m_dialog.Handle();
        m_link.m_hWndProgress = m_progress.Handle();
        s_pStepHooked = this;
        s_pRecordingProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(m_progress.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SetupThread::StepHook)));
        m_previousAnswerer = SetMessageBoxAnswerer([this](const std::string& strText, unsigned nStyle) {
            m_vecBoxes.push_back({strText, nStyle});
            if (m_onBox)
                m_onBox();
            switch (nStyle & MB_TYPEMASK) {
            case MB_YESNOCANCEL: return m_nYesNoCancelAnswer;
            case MB_YESNO: return m_nYesNoAnswer;
            default: return IDOK;
            }
        });
    }

    void TearDown() override
    {
        SetWindowLongPtrA(m_progress.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s_pRecordingProc));
        s_pStepHooked = nullptr;
        SetMessageBoxAnswerer(m_previousAnswerer);
        // Every screensaver key the run left, also one whose module is gone.
        for (const std::string& strName : SubKeys(kOlderVersionKey))
            if (m_setKeysBefore.count(strName) == 0)
                CRegKey::DeleteKey(HKEY_LOCAL_MACHINE, (std::string(kOlderVersionKey) + "\\" + strName).c_str());
        CRegKey::DeleteKey(HKEY_LOCAL_MACHINE, EntryKey().c_str());
        CRegKey parent;
        if (parent.Open(HKEY_LOCAL_MACHINE, kOlderVersionKey, KEY_SET_VALUE) == ERROR_SUCCESS) {
            parent.DeleteValue(PackageValue().c_str());
            parent.Close();
            if (!m_bParentExisted)
                RemoveKeyIfEmpty(HKEY_LOCAL_MACHINE, kOlderVersionKey);
        }
        for (const std::string& strUninstaller : Uninstallers())
            if (m_setUninstallersBefore.count(strUninstaller) == 0)
                DeleteFileA(strUninstaller.c_str());
        ReleaseSetupConfig(m_pConfig);
        SetEnvironmentVariableA("TMP", m_strSavedTemp.c_str());
        SetEnvironmentVariableA("TEMP", m_strSavedTemp.c_str());
    }

    void WritePackageFiles(std::uint64_t nVolumeSize = 0)
    {
        m_written = WritePackage(m_contents, m_strSource, nVolumeSize);
    }

    // Creates, starts and waits for the thread as the dialog does, pumping meanwhile:
    // its progress messages and PHASE_COPYING are sent to this thread's windows.
    int RunThread()
    {
        std::unique_ptr<CSetupThread> pThread(BeginThread<CSetupThread>(THREAD_PRIORITY_NORMAL, 0, true));
        if (pThread == nullptr) {
            ADD_FAILURE() << "no thread";
            return -1;
        }
        pThread->m_pLink = &m_link;
        pThread->m_pDiskPrompt = &m_diskPrompt;
        m_link.m_pThread = pThread.get();
        m_treeBefore = Tree(m_base.Path());
        m_registryBefore = RegistrySnapshot(EntryKey());
        SetEvent(m_link.m_hStartEvent.Get());
        pThread->ResumeThread();
        const HANDLE hDone = m_link.m_hDoneEvent.Get();
        const DWORD nDeadline = GetTickCount() + 120000;
        while (MsgWaitForMultipleObjects(1, &hDone, FALSE, 1000, QS_ALLINPUT) != WAIT_OBJECT_0) {
            CRecordingWindow::Pump();
            if (static_cast<int>(GetTickCount() - nDeadline) > 0) {
                ADD_FAILURE() << "the thread did not end";
                return -1;
            }
        }
        WaitForSingleObject(pThread->GetHandle(), INFINITE);
        CRecordingWindow::Pump();
        DWORD nExitCode = 0;
        GetExitCodeThread(pThread->GetHandle(), &nExitCode);
        m_link.m_pThread = nullptr;
        RememberModuleKey();
        return static_cast<int>(nExitCode);
    }

    // The screensaver key's name, taken from the module's short path while it exists.
    void RememberModuleKey()
    {
        char szShort[MAX_PATH] = "";
        if (GetShortPathNameA(Target(0).c_str(), szShort, sizeof szShort) == 0)
            return;
        std::string strName = UpperCase(szShort);
        std::replace(strName.begin(), strName.end(), '\\', '/');
        m_strModuleKey = std::string(kOlderVersionKey) + "\\" + strName;
    }

    std::string Target(std::size_t nFile) const
    {
        const FileSpec& wanted = m_vecFiles[nFile];
        std::string strPath = wanted.root == ProgramFiles ? m_strProgramFiles : m_strDestination;
        if (*wanted.pszFolder != '\0')
            strPath += std::string("\\") + wanted.pszFolder;
        return strPath + "\\" + wanted.pszName;
    }

    std::string EntryKey() const { return std::string(kUninstallKey) + "\\" + m_strName; }
    std::string PackageValue() const { return UpperCase(m_strPackageName); }

    void ExpectSucceeded(int nExitCode)
    {
        EXPECT_EQ(nExitCode, 0);
        EXPECT_TRUE(m_vecBoxes.empty()) << m_vecBoxes.front().strText;
        for (std::size_t n = 0; n < m_vecFiles.size(); ++n)
            EXPECT_EQ(ReadText(Target(n)), m_vecFiles[n].pszContent) << Target(n);
        EXPECT_TRUE(Tree(m_strTemp).empty()) << "the temporary folder is gone";
        EXPECT_FALSE(m_pConfig->m_strUninstaller.empty());
        EXPECT_TRUE(Exists(m_pConfig->m_strUninstaller));
        EXPECT_TRUE(Exists(m_strDestination + "\\Unscr.log"));
        EXPECT_TRUE(KeyExists(m_strModuleKey));
        EXPECT_TRUE(KeyExists(EntryKey()));
        EXPECT_TRUE(ValueExists(kOlderVersionKey, PackageValue()));
    }

    // A failed run: the phases end with PHASE_FAILED, and the test's folders and the
    // registry the run writes are as they were before it.
    void ExpectRolledBack(int nExitCode)
    {
        EXPECT_EQ(nExitCode, 1);
        ASSERT_FALSE(m_dialog.m_vecPhases.empty());
        EXPECT_EQ(m_dialog.m_vecPhases.back(), CSetupThreadLink::PHASE_FAILED);
        EXPECT_EQ(std::count(m_dialog.m_vecPhases.begin(), m_dialog.m_vecPhases.end(),
                             static_cast<int>(CSetupThreadLink::PHASE_COMPLETED)),
                  0);
        EXPECT_EQ(Tree(m_base.Path()), m_treeBefore);
        EXPECT_EQ(RegistrySnapshot(EntryKey()), m_registryBefore);
    }

    // After nQuestions questions, one box: the failure's.
    void ExpectOneFailureBox(unsigned nPhase, unsigned nCause, std::size_t nQuestions)
    {
        ASSERT_EQ(m_vecBoxes.size(), nQuestions + 1);
        EXPECT_EQ(m_vecBoxes.back().strText, FailureText(nPhase, nCause));
        EXPECT_EQ(m_vecBoxes.back().nStyle, kStopIcon);
    }

    // Lets a test act, as the dialog's thread, when the bar takes a step.
    static LRESULT CALLBACK StepHook(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
    {
        const LRESULT lResult = CallWindowProcA(s_pRecordingProc, hWnd, nMessage, wParam, lParam);
        if (nMessage == PBM_STEPIT && s_pStepHooked != nullptr && s_pStepHooked->m_onProgressStep)
            s_pStepHooked->m_onProgressStep(static_cast<unsigned>(s_pStepHooked->m_progress.Count(PBM_STEPIT)));
        return lResult;
    }
    static inline SetupThread* s_pStepHooked = nullptr;
    static inline WNDPROC s_pRecordingProc = nullptr;

    CPrefixLock m_lock; // first: taken before anything else, given back last
    const std::string m_strSavedTemp = [] {
        char szTemp[MAX_PATH] = "";
        GetEnvironmentVariableA("TMP", szTemp, sizeof szTemp);
        return std::string(szTemp);
    }();
    CTempFolder m_base;
    const std::string m_strSource = m_base.File("Disk 1");
    const std::string m_strTemp = m_base.File("temp");
    const std::string m_strProgramFiles = m_base.File("Program Files");
    const std::string m_strDestination = m_base.File("Program Files\\Aqua Saver");
    const std::string m_strName = "Lumidrop Thread Test " + std::to_string(GetCurrentProcessId());
    const std::string m_strPackageName = "lumidrop thread test " + std::to_string(GetCurrentProcessId());
    PackageContents m_contents;
    PackageWriteResult m_written;
    CSetupConfig* m_pConfig = nullptr;
    CSetupThreadLink m_link;
    CPhaseWindow m_dialog;
    CRecordingWindow m_progress{PROGRESS_CLASSA, {PBM_STEPIT}};
    CScriptedDiskPrompt m_diskPrompt;
    std::vector<ShownBox> m_vecBoxes;
    std::function<void()> m_onBox;
    std::function<void(unsigned nStep)> m_onProgressStep;
    int m_nYesNoCancelAnswer = IDCANCEL;
    int m_nYesNoAnswer = IDYES;
    MessageBoxAnswerer m_previousAnswerer;
    std::set<std::string> m_treeBefore;
    std::set<std::string> m_registryBefore;
    std::set<std::string> m_setUninstallersBefore;
    std::set<std::string> m_setKeysBefore;
    std::string m_strModuleKey;
    bool m_bParentExisted = false;
};

TEST_F(SetupThread, WholeRunPlacesRegistersAndReportsEveryPhaseInOrder)
{
    WritePackageFiles();
    std::set<std::string> setTempAtFirstFile;
    m_dialog.m_onCopying = [&](unsigned nFile) {
        if (nFile == 1)
            setTempAtFirstFile = Tree(m_strTemp);
    };
    ExpectSucceeded(RunThread());

    const std::vector<int> vecExpected = {0, 1, 2, 2, 2, 3, 4, 4};
    EXPECT_EQ(m_dialog.m_vecPhases, vecExpected);
    std::vector<std::string> vecNames;
    for (const FileSpec& wanted : m_vecFiles)
        vecNames.push_back(wanted.pszName);
    EXPECT_EQ(m_dialog.m_vecFileNames, vecNames);
    EXPECT_EQ(m_progress.Count(PBM_STEPIT), 3u + 3u + 1u);
    // A single volume is read from its copy: no joined file beside the two setup files.
    ASSERT_EQ(setTempAtFirstFile.size(), 3u);
    const std::string strRunFolder = *setTempAtFirstFile.begin();
    EXPECT_EQ(setTempAtFirstFile, (std::set<std::string>{strRunFolder, strRunFolder + "_setup.spd",
                                                         strRunFolder + "user.spd"}));
    EXPECT_EQ(strRunFolder, FirstNameOfAThread() + "\\") << "drawn before any seeding";
    EXPECT_FALSE(m_pConfig->m_bOldVersionFound);
    EXPECT_TRUE(m_diskPrompt.m_vecQuestions.empty());
}

TEST_F(SetupThread, SpannedPackageInSiblingDiskFoldersInstallsFromAJoinedStream)
{
    // Bytes that do not compress: the package spans several volumes.
    m_contents.vecFiles[2].content = Incompressible(3000);
    WritePackageFiles(1400);
    const std::size_t nVolumes = m_written.vecVolumePaths.size();
    ASSERT_GE(nVolumes, 3u);
    for (unsigned nVolume = 1; nVolume < nVolumes; ++nVolume) {
        const std::string strDisk = m_base.File("Disk " + std::to_string(nVolume + 1));
        ASSERT_TRUE(CreateDirectoryA(strDisk.c_str(), nullptr));
        ASSERT_TRUE(MoveFileA(m_written.vecVolumePaths[nVolume].c_str(),
                              (strDisk + "\\" + VolumeFileName(nVolume)).c_str()));
    }
    std::set<std::string> setTempAtFirstFile;
    m_dialog.m_onCopying = [&](unsigned nFile) {
        if (nFile == 1)
            setTempAtFirstFile = Tree(m_strTemp);
    };
    EXPECT_EQ(RunThread(), 0);

    EXPECT_TRUE(m_vecBoxes.empty());
    EXPECT_TRUE(m_diskPrompt.m_vecQuestions.empty()) << "every disk was in its sibling folder";
    const std::string strData = ReadText(Target(2));
    EXPECT_EQ(std::vector<unsigned char>(strData.begin(), strData.end()), *m_contents.vecFiles[2].content);
    EXPECT_EQ(ReadText(Target(0)), m_vecFiles[0].pszContent);
    // The copies of both setup files and every volume, and one joined file.
    EXPECT_EQ(setTempAtFirstFile.size(), 1 + 2 + (nVolumes - 1) + 1);
    EXPECT_TRUE(Tree(m_strTemp).empty());
}

// The bar ends where its range does, short only by what each step's division drops, and
// never passes it (a progress bar stepped past its end starts again from the beginning).
class SetupThreadProgress : public SetupThread, public ::testing::WithParamInterface<unsigned> {};

TEST_P(SetupThreadProgress, BarReachesItsEndOnceWhateverTheVolumeCount)
{
    const unsigned nVolumeCount = GetParam();
    // Bytes that do not compress, so that volumes of a third of the package make three.
    m_contents.vecFiles[2].content = Incompressible(3000);
    WritePackageFiles();
    if (nVolumeCount == 3) {
        const std::uint64_t nWhole = ReadText(m_written.vecVolumePaths[0]).size();
        WritePackageFiles(nWhole / 3 + kVolumeHeaderSize + 100);
        ASSERT_EQ(m_written.header.volumeCount, 3u);
    } else if (nVolumeCount == 0) {
        // Older packages say 0 for user.spd alone.
        std::string strPackage = ReadText(m_written.vecVolumePaths[0]);
        SetupHeader header = DecodeSetupHeader(reinterpret_cast<const unsigned char*>(strPackage.data()));
        header.volumeCount = 0;
        EncodeSetupHeader(header, reinterpret_cast<unsigned char*>(&strPackage[0]));
        ASSERT_TRUE(WriteWholeFile(m_written.vecVolumePaths[0], strPackage.data(), static_cast<DWORD>(strPackage.size())));
    }
    EXPECT_EQ(RunThread(), 0);

    const int nPosition = static_cast<int>(SendMessageA(m_progress.Handle(), PBM_GETPOS, 0, 0));
    const int nSteps = static_cast<int>(m_progress.Count(PBM_STEPIT));
    EXPECT_LE(nPosition, CSetupThreadLink::kProgressRange);
    EXPECT_GT(nPosition, CSetupThreadLink::kProgressRange - nSteps);
}

INSTANTIATE_TEST_SUITE_P(VolumeCounts, SetupThreadProgress, ::testing::Values(0u, 1u, 3u));

struct FailureCase {
    const char* pszCase;
    unsigned nPhase;
    unsigned nCause;
};

class SetupThreadFailure : public SetupThread, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(SetupThreadFailure, ShowsOneBoxAndLeavesNothing)
{
    const FailureCase& test = GetParam();
    WritePackageFiles();
    std::unique_ptr<CDeniedKey> pDenied;
    if (test.nPhase == PHASE_PREPARING && test.nCause == CAUSE_OPEN_FILE) {
        ASSERT_TRUE(DeleteFileA((m_strSource + "\\_setup.spd").c_str()));
    } else if (test.nPhase == PHASE_PREPARING) {
        std::string strPackage = ReadText(m_written.vecVolumePaths[0]);
        strPackage[strPackage.size() - 5] ^= 0x5A;
        ASSERT_TRUE(WriteWholeFile(m_written.vecVolumePaths[0], strPackage.data(),
                                   static_cast<DWORD>(strPackage.size())));
    } else if (test.nPhase == PHASE_FOLDERS) {
        // "Data" is created first; then the existing "Aqua Extra" gets a No.
        ASSERT_TRUE(CreateDirectoryA((m_strProgramFiles + "\\Aqua Extra").c_str(), nullptr));
        m_nYesNoAnswer = IDNO;
    } else {
        pDenied = std::make_unique<CDeniedKey>(EntryKey());
        ASSERT_TRUE(pDenied->Made());
    }
    const std::set<std::string> setUninstallers = Uninstallers();
    const int nExitCode = RunThread();

    ExpectOneFailureBox(test.nPhase, test.nCause, test.nPhase == PHASE_FOLDERS ? 1 : 0);
    ExpectRolledBack(nExitCode);
    // An uninstaller unpacked before a late failure goes with the rest.
    EXPECT_EQ(Uninstallers(), setUninstallers);
}

INSTANTIATE_TEST_SUITE_P(Cases, SetupThreadFailure,
                         ::testing::Values(FailureCase{"SetupFileMissing", PHASE_PREPARING, CAUSE_OPEN_FILE},
                                           FailureCase{"PackageDamaged", PHASE_PREPARING, CAUSE_DAMAGED},
                                           FailureCase{"NoToAnExistingFolder", PHASE_FOLDERS, CAUSE_CANNOT_PROCEED},
                                           FailureCase{"UninstallEntryRefused", PHASE_FINISHING, CAUSE_UNEXPECTED}),
                         [](const ::testing::TestParamInfo<FailureCase>& param) { return param.param.pszCase; });

TEST_F(SetupThread, ReplacedFilesAreRestoredAfterALaterFailure)
{
    // The screensaver module, replaced without a question, and a file the user lets the
    // package replace; then the last finishing step fails.
    WritePackageFiles();
    ASSERT_TRUE(CreateDirectoryA(m_strDestination.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((m_strProgramFiles + "\\Aqua Extra").c_str(), nullptr));
    FILETIME oldTime;
    oldTime.dwLowDateTime = 0x12345678u;
    oldTime.dwHighDateTime = 0x01C00000u; // in 2000, long before the run
    const std::string kOldContents[] = {"the module the user had", "the user's own notes"};
    const std::size_t kReplaced[] = {0, 2};
    for (std::size_t n = 0; n < 2; ++n) {
        ASSERT_TRUE(WriteWholeFile(Target(kReplaced[n]), kOldContents[n].data(), static_cast<DWORD>(kOldContents[n].size())));
        const CHandle file(CreateFileA(Target(kReplaced[n]).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, &oldTime));
    }
    const CDeniedKey denied(EntryKey());
    ASSERT_TRUE(denied.Made());
    const int nExitCode = RunThread();

    // The folder question, the replacement question and the offer to remember its answer.
    ExpectOneFailureBox(PHASE_FINISHING, CAUSE_UNEXPECTED, 3);
    ExpectRolledBack(nExitCode);
    for (std::size_t n = 0; n < 2; ++n) {
        SCOPED_TRACE(Target(kReplaced[n]));
        EXPECT_EQ(ReadText(Target(kReplaced[n])), kOldContents[n]);
        WIN32_FILE_ATTRIBUTE_DATA data;
        ASSERT_TRUE(GetFileAttributesExA(Target(kReplaced[n]).c_str(), GetFileExInfoStandard, &data));
        EXPECT_EQ(CompareFileTime(&data.ftLastWriteTime, &oldTime), 0);
    }
}

TEST_F(SetupThread, CancelBeforeStartEndsAtTheFirstCheckSilently)
{
    WritePackageFiles();
    // Missing, it would be reported, were the cancel not seen before it is looked for.
    ASSERT_TRUE(DeleteFileA((m_strSource + "\\_setup.spd").c_str()));
    SetEvent(m_link.m_hCancelEvent.Get());
    const int nExitCode = RunThread();

    EXPECT_TRUE(m_vecBoxes.empty());
    EXPECT_EQ(m_link.m_nCancelChecks, 1u);
    EXPECT_EQ(m_dialog.m_vecPhases, (std::vector<int>{0, 5}));
    ExpectRolledBack(nExitCode);
}

TEST_F(SetupThread, CancelAfterAFileIsPlacedStopsBeforeTheNextAndRollsBack)
{
    WritePackageFiles();
    bool bFirstPlaced = false;
    // The bar steps once per placed file, after three preparation steps.
    m_onProgressStep = [&](unsigned nStep) {
        if (nStep == 3 + 1) {
            bFirstPlaced = Exists(Target(0));
            SetEvent(m_link.m_hCancelEvent.Get());
        }
    };
    const int nExitCode = RunThread();

    EXPECT_TRUE(bFirstPlaced);
    EXPECT_TRUE(m_vecBoxes.empty());
    EXPECT_EQ(m_dialog.m_vecFileNames.size(), 1u) << "the next file entry begins with a cancel check";
    ExpectRolledBack(nExitCode);
}

struct OlderCase {
    const char* pszCase;
    int nAnswer;
    bool bRan;
    int nExitCode;
};

class SetupThreadOlderVersion : public SetupThread, public ::testing::WithParamInterface<OlderCase> {};

TEST_P(SetupThreadOlderVersion, IsAskedAboutAndYesRunsItsCommandFirst)
{
    const OlderCase& test = GetParam();
    WritePackageFiles();
    const std::string strMarker = m_base.File("uninstalled.txt");
    {
        CRegKey key;
        ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, kOlderVersionKey), ERROR_SUCCESS);
        ASSERT_EQ(key.SetString(PackageValue().c_str(), "cmd.exe /c echo ran> \"" + strMarker + "\""), ERROR_SUCCESS);
    }
    m_nYesNoCancelAnswer = test.nAnswer;
    std::set<std::string> setTempAtQuestion;
    m_onBox = [&] { setTempAtQuestion = Tree(m_strTemp); };
    const int nExitCode = RunThread();

    ASSERT_EQ(m_vecBoxes.size(), 1u);
    EXPECT_EQ(m_vecBoxes[0].strText, MessageText(kOlderVersionMessage));
    EXPECT_EQ(m_vecBoxes[0].nStyle, static_cast<unsigned>(MB_YESNOCANCEL | MB_ICONEXCLAMATION));
    EXPECT_TRUE(m_pConfig->m_bOldVersionFound);
    EXPECT_EQ(Exists(strMarker), test.bRan);
    EXPECT_EQ(setTempAtQuestion.size(), 1u) << "nothing but the run's own folder before the question";
    DeleteFileA(strMarker.c_str());
    m_vecBoxes.clear();
    if (test.nExitCode == 0)
        ExpectSucceeded(nExitCode);
    else
        ExpectRolledBack(nExitCode);
}

INSTANTIATE_TEST_SUITE_P(Answers, SetupThreadOlderVersion,
                         ::testing::Values(OlderCase{"Yes", IDYES, true, 0}, OlderCase{"No", IDNO, false, 0},
                                           OlderCase{"Cancel", IDCANCEL, false, 1}),
                         [](const ::testing::TestParamInfo<OlderCase>& param) { return param.param.pszCase; });

TEST_F(SetupThread, ScreensaverOverAnExistingTargetIsPlacedWithoutAQuestion)
{
    WritePackageFiles();
    ASSERT_TRUE(CreateDirectoryA(m_strDestination.c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(Target(0), "an older module", 15));
    ExpectSucceeded(RunThread());
}

namespace {
// Long enough for a cold start of a Wine process; only a failing run waits this long.
constexpr DWORD kUninstallerTimeoutMs = 60000;

std::string BuiltUninstaller()
{
    // CMake gives the build's own path; Wine shows the Unix root as drive Z:.
    return std::string("Z:") + UNINSTALLER_PATH;
}

std::string SystemFolderPath()
{
    char szSystem[MAX_PATH] = "";
    GetSystemDirectoryA(szSystem, sizeof szSystem);
    return szSystem;
}

// "<path>=<count>" while SharedDLLs counts strPath, "<path> not counted" otherwise.
std::string SharedCountOf(const std::string& strPath)
{
    CRegKey key;
    DWORD nCount = 0;
    if (key.Open(HKEY_LOCAL_MACHINE, kSharedDllsKey, KEY_READ) != ERROR_SUCCESS ||
        key.QueryDword(strPath.c_str(), nCount) != ERROR_SUCCESS)
        return strPath + " not counted";
    return strPath + "=" + std::to_string(nCount);
}

struct WindowSearch {
    DWORD nProcessId;
    std::string strFound;
};

BOOL CALLBACK AddWindowOfProcess(HWND hWnd, LPARAM lParam)
{
    auto& search = *reinterpret_cast<WindowSearch*>(lParam);
    DWORD nOwner = 0;
    GetWindowThreadProcessId(hWnd, &nOwner);
    if (nOwner != search.nProcessId)
        return TRUE;
    char szCaption[256] = "";
    char szText[1024] = "";
    GetWindowTextA(hWnd, szCaption, sizeof szCaption);
    GetDlgItemTextA(hWnd, 0xFFFF, szText, sizeof szText);
    search.strFound += std::string("[") + szCaption + "] " + szText + "\n";
    return TRUE;
}

// The captions and box texts of the top-level windows process nProcessId shows.
std::string WindowsOf(DWORD nProcessId)
{
    WindowSearch search{nProcessId, ""};
    EnumWindows(AddWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.strFound;
}

// Takes the test's shared file out of the system folder and its count out of SharedDLLs
// when the test ends, whatever the uninstaller did; the key itself goes when the test made it.
class CSharedFileCleanup {
public:
    explicit CSharedFileCleanup(std::string strPath) : m_strPath(std::move(strPath))
    {
        CRegKey key;
        DWORD nDisposition = 0;
        m_bKeyMade = key.Create(HKEY_LOCAL_MACHINE, kSharedDllsKey, KEY_ALL_ACCESS, &nDisposition) == ERROR_SUCCESS &&
                     nDisposition == REG_CREATED_NEW_KEY;
    }
    CSharedFileCleanup(const CSharedFileCleanup&) = delete;
    CSharedFileCleanup& operator=(const CSharedFileCleanup&) = delete;
    ~CSharedFileCleanup()
    {
        DeleteFileA(m_strPath.c_str());
        CRegKey key;
        if (key.Open(HKEY_LOCAL_MACHINE, kSharedDllsKey, KEY_SET_VALUE) == ERROR_SUCCESS)
            key.DeleteValue(m_strPath.c_str());
        key.Close();
        if (m_bKeyMade)
            CRegKey::DeleteKey(HKEY_LOCAL_MACHINE, kSharedDllsKey);
    }

private:
    std::string m_strPath;
    bool m_bKeyMade = false;
};

// Takes the deletion of strPath at the next start out of the system's list when the test
// ends; other programs' entries stay.
class CDeletionAtRestartCleanup {
public:
    explicit CDeletionAtRestartCleanup(std::string strPath) : m_strPath(std::move(strPath)) {}
    CDeletionAtRestartCleanup(const CDeletionAtRestartCleanup&) = delete;
    CDeletionAtRestartCleanup& operator=(const CDeletionAtRestartCleanup&) = delete;
    ~CDeletionAtRestartCleanup()
    {
        ForgetPendingRenames([this](const PendingRename& entry) {
            const std::size_t nAt = entry.first.compare(0, 4, "\\??\\") == 0 ? 4 : 0;
            return entry.second.empty() && lstrcmpiA(entry.first.c_str() + nAt, m_strPath.c_str()) == 0;
        });
    }

private:
    std::string m_strPath;
};
} // namespace

TEST_F(SetupThread, RegisteredUninstallerRemovesTheInstallationSilently)
{
    // The real uninstaller in _setup.spd, in place of the bytes the other runs unpack.
    ASSERT_TRUE(CopyFileA(BuiltUninstaller().c_str(), m_base.File("program.exe").c_str(), FALSE)) << BuiltUninstaller();
    WriteUninstallerFile(m_base.File("program.exe"), m_strSource + "\\_setup.spd");
    // A shared file in the system folder besides the three: counted by the run, and
    // released and removed by the uninstaller.
    const std::string strShared =
        SystemFolderPath() + "\\ldthread" + std::to_string(GetCurrentProcessId() % 100000) + ".dll";
    ASSERT_FALSE(Exists(strShared)) << strShared;
    const CSharedFileCleanup sharedCleanup(strShared);
    PackageFileEntry shared;
    shared.root = System;
    shared.flags = Shared;
    shared.strFileName = strShared.substr(strShared.rfind('\\') + 1);
    const std::string strSharedContent = "a shared library";
    shared.content = std::vector<unsigned char>(strSharedContent.begin(), strSharedContent.end());
    m_contents.vecFiles.push_back(shared);
    WritePackageFiles();
    const CPendingRenamesGuard pendingInTestFolder(m_base.Path());

    // What the installation records under HKEY_LOCAL_MACHINE: the screensaver key, the
    // package-name value, the uninstall entry, the shared file's count. The parent key of
    // the first two is not among what the log names: a parent the run made stays, empty
    // (the fixture's clean-up takes it away).
    const auto registryState = [&] {
        std::set<std::string> setItems = RegistrySnapshot(EntryKey());
        setItems.insert(SharedCountOf(strShared));
        return setItems;
    };
    const std::set<std::string> registryBefore = registryState();
    ExpectSucceeded(RunThread());
    EXPECT_EQ(ReadText(strShared), strSharedContent);
    EXPECT_EQ(SharedCountOf(strShared), strShared + "=1");
    ASSERT_NE(registryState(), registryBefore) << "the snapshot sees the installation";
    ASSERT_FALSE(m_pConfig->m_strUninstaller.empty());
    const std::string strUninstaller = m_pConfig->m_strUninstaller;
    const CDeletionAtRestartCleanup uninstallerCleanup(strUninstaller);

    std::string strCommand;
    {
        CRegKey entry;
        ASSERT_EQ(entry.Open(HKEY_LOCAL_MACHINE, EntryKey().c_str(), KEY_READ), ERROR_SUCCESS);
        ASSERT_TRUE(entry.QueryString("UninstallString", strCommand, 1024));
    }
    strCommand += " s";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(
        CreateProcessA(nullptr, &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        << strCommand << " error " << GetLastError();
    const CHandle hProcess(process.hProcess);
    CloseHandle(process.hThread);
    if (WaitForSingleObject(hProcess.Get(), kUninstallerTimeoutMs) != WAIT_OBJECT_0) {
        // Silent, it shows nothing: a box would hold it until now (without a display, a
        // box returns at once and the exit code tells).
        ADD_FAILURE() << strCommand << " did not end; its windows:\n" << WindowsOf(process.dwProcessId);
        TerminateProcess(hProcess.Get(), 99);
        WaitForSingleObject(hProcess.Get(), kUninstallerTimeoutMs);
    }
    DWORD nExitCode = 0;
    GetExitCodeProcess(hProcess.Get(), &nExitCode);
    EXPECT_EQ(nExitCode, 0u) << strCommand;

    EXPECT_EQ(Tree(m_base.Path()), m_treeBefore);
    EXPECT_FALSE(Exists(strShared)) << strShared;
    EXPECT_EQ(registryState(), registryBefore);
    // The program itself can at best go at the next start while it runs.
    EXPECT_TRUE(!Exists(strUninstaller) || CPendingRenamesGuard::DeletesAtRestart(strUninstaller)) << strUninstaller;
}
