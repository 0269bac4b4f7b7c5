// The built uninstaller started as the setup registers it, on a log written here, its boxes
// found and answered from this process as a user would: what it removes, what it leaves,
// and that the silent command line shows nothing.
#include "format/package_checksums.h"
#include "format/uninstall_command.h"
#include "format/uninstall_log.h"
#include "framework/handle.h"
#include "framework/reg_key.h"
#include "sys/message_text.h"
#include "tests/e2e/driver/window_ops.h"
#include "tests/win/pending_renames.h"
#include "tests/win/temp_folder.h"
#include "uninstaller/uninstaller_resource.h"
#include "uninstaller/uninstaller_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {
// Long enough for a cold start of a Wine process; only a failing run waits this long.
constexpr DWORD kTimeoutMs = 30000;
// The caption of the uninstaller's boxes: its file name without extension.
constexpr const char* kProgramName = "UnSc4711";
} // namespace

class UninstallerProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strProgram = m_folder.File(std::string(kProgramName) + ".exe");
        ASSERT_TRUE(CopyFileA(UninstallerBuilt().c_str(), m_strProgram.c_str(), FALSE)) << UninstallerBuilt();
        CreateDirectoryA(m_folder.File("Aqua").c_str(), nullptr);
        m_strLogPath = m_folder.File("Aqua\\Unscr.log");
        m_strFile = m_folder.File("Aqua\\Aqua.scr");
        ASSERT_TRUE(WriteWholeFile(m_strFile, "scr", 3));
        CRegKey key;
        ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, m_strKey.c_str()), ERROR_SUCCESS);
        ASSERT_EQ(key.SetString("Destination", m_folder.File("Aqua")), ERROR_SUCCESS);

        m_content.strName = "Aqua";
        m_content.placedFiles = {m_strFile, m_strLogPath};
        m_content.createdFolders = {m_folder.File("Aqua")};
        m_content.registryEntries.resize(1);
        ASSERT_TRUE(MakeRegistryEntry(m_strKey, "", m_content.registryEntries[0]));
        m_log = PackUninstallLog(BuildUninstallLogImage(m_content));
        WriteLog(m_log);
    }
    void TearDown() override
    {
        CRegKey::DeleteKey(HKEY_LOCAL_MACHINE, (m_strKey + "\\Foreign").c_str());
        CRegKey::DeleteKey(HKEY_LOCAL_MACHINE, m_strKey.c_str());
    }

    static std::string UninstallerBuilt()
    {
        // CMake gives the build's own path; Wine shows the Unix root as drive Z:.
        return std::string("Z:") + UNINSTALLER_PATH;
    }

    void WriteLog(const std::vector<unsigned char>& bytes)
    {
        ASSERT_TRUE(WriteWholeFile(m_strLogPath, bytes.data(), static_cast<DWORD>(bytes.size())));
    }

    void Start(bool bSilent)
    {
        std::string strCommand = MakeUninstallCommand(m_strProgram, m_strLogPath, bSilent);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        // Started in the folder above the installation's, where a relative name in the
        // log would find its file.
        ASSERT_TRUE(CreateProcessA(nullptr, &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   m_folder.Path().c_str(), &startup, &process))
            << strCommand;
        m_hProcess.Reset(process.hProcess);
        CloseHandle(process.hThread);
    }

    // Waits for the program's box, checks its text (one of the program's texts with its
    // insert) and icon, and presses nButton.
    void Answer(unsigned nText, const std::string& strInsert, const char* pszIcon, int nButton)
    {
        const HWND hBox = WaitForTopLevelWindow(kProgramName, "#32770", kTimeoutMs);
        ASSERT_NE(hBox, nullptr) << "no box for message " << nText;
        std::string strExpected;
        FormatOne(strExpected, nText, strInsert.c_str());
        EXPECT_EQ(WindowText(ControlOf(hBox, 0xFFFF)), strExpected);
        EXPECT_EQ(MessageBoxIcon(hBox), pszIcon);
        ASSERT_TRUE(PressButton(hBox, nButton));
        EXPECT_TRUE(WaitForWindowGone(hBox, kTimeoutMs));
    }

    // The exit code; a program still running after the timeout (waiting on a box nobody
    // expected) is ended and counts as a failure.
    DWORD ExitCode()
    {
        if (WaitForSingleObject(m_hProcess.Get(), kTimeoutMs) != WAIT_OBJECT_0) {
            ADD_FAILURE() << "the uninstaller did not end; a box shows: "
                          << (WaitForTopLevelWindow(kProgramName, "", 0) != nullptr);
            TerminateProcess(m_hProcess.Get(), 99);
            WaitForSingleObject(m_hProcess.Get(), kTimeoutMs);
        }
        DWORD nExit = 0;
        GetExitCodeProcess(m_hProcess.Get(), &nExit);
        return nExit;
    }

    static bool Exists(const std::string& strPath)
    {
        return GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    bool KeyExists() const
    {
        CRegKey key;
        return key.Open(HKEY_LOCAL_MACHINE, m_strKey.c_str(), KEY_READ) == ERROR_SUCCESS;
    }

    void ExpectAllThere()
    {
        EXPECT_TRUE(Exists(m_strFile));
        EXPECT_TRUE(Exists(m_strLogPath));
        EXPECT_TRUE(KeyExists());
        EXPECT_TRUE(Exists(m_strProgram));
    }

    void ExpectAllGone(const CPendingRenamesGuard& pending)
    {
        EXPECT_FALSE(Exists(m_strFile));
        EXPECT_FALSE(Exists(m_strLogPath));
        EXPECT_FALSE(Exists(m_folder.File("Aqua")));
        EXPECT_FALSE(KeyExists());
        // A running program cannot delete itself on Windows; then it waits for the next start.
        EXPECT_TRUE(!Exists(m_strProgram) || pending.DeletesAtRestart(m_strProgram));
    }

    // The log with the first file's record changed to a name relative to the uninstaller's
    // own folder, checksum and all, as a sound log would be but for the name.
    std::vector<unsigned char> LogWithRelativePath() const
    {
        std::vector<unsigned char> image = BuildUninstallLogImage(m_content);
        const std::string strRelative = "Aqua\\Aqua.scr";
        std::fill_n(image.begin() + kUninstallLogHeaderSize, kLogFilePathSize, 0);
        std::copy(strRelative.begin(), strRelative.end(), image.begin() + kUninstallLogHeaderSize);
        UninstallLogHeader header = DecodeUninstallLogHeader(image.data());
        header.bodyChecksum =
            FoldAdler32(1, image.data() + kUninstallLogHeaderSize, image.size() - kUninstallLogHeaderSize);
        EncodeUninstallLogHeader(header, image.data());
        return PackUninstallLog(image);
    }

    CTempFolder m_folder;
    const std::string m_strKey = "Software\\Lumidrop Test Uninstaller " + std::to_string(GetCurrentProcessId());
    std::string m_strProgram;
    std::string m_strLogPath;
    std::string m_strFile;
    UninstallLogContent m_content;
    std::vector<unsigned char> m_log;
    CHandle m_hProcess;
};

TEST_F(UninstallerProgram, ConfirmedRunRemovesTheInstallationAndItself)
{
    const CPendingRenamesGuard pending(m_folder.Path());
    Start(false);
    Answer(IDS_UNINSTALL_CONFIRM, "Aqua", "question", IDYES);
    Answer(IDS_UNINSTALL_DONE, "Aqua", "asterisk", IDOK);
    EXPECT_EQ(ExitCode(), static_cast<DWORD>(kExitDone));
    ExpectAllGone(pending);
}

TEST_F(UninstallerProgram, DeclinedRunTouchesNothing)
{
    Start(false);
    Answer(IDS_UNINSTALL_CONFIRM, "Aqua", "question", IDNO);
    EXPECT_EQ(ExitCode(), static_cast<DWORD>(kExitDeclined));
    ExpectAllThere();
}

TEST_F(UninstallerProgram, SilentRunShowsNothing)
{
    const CPendingRenamesGuard pending(m_folder.Path());
    Start(true);
    // Any box would hold the program until the timeout.
    EXPECT_EQ(ExitCode(), static_cast<DWORD>(kExitDone));
    ExpectAllGone(pending);
}

TEST_F(UninstallerProgram, DamagedLogIsReportedEvenSilentlyAndNothingIsRemoved)
{
    std::vector<unsigned char> flipped = m_log;
    flipped.back() ^= 0x01;
    for (const std::vector<unsigned char>& damaged : {flipped, LogWithRelativePath()}) {
        WriteLog(damaged);
        Start(true);
        Answer(IDS_UNINSTALL_LOG_DAMAGED, m_strLogPath, "hand", IDOK);
        EXPECT_EQ(ExitCode(), static_cast<DWORD>(kExitRefused));
        ExpectAllThere();
    }
}

TEST_F(UninstallerProgram, LeftOverKeepsTheProgramAndALogOfWhatIsLeftForASecondRun)
{
    const CPendingRenamesGuard pending(m_folder.Path());
    // Another program's key below the installation's: the key cannot go as a whole.
    CRegKey foreign;
    ASSERT_EQ(foreign.Create(HKEY_LOCAL_MACHINE, (m_strKey + "\\Foreign").c_str()), ERROR_SUCCESS);
    foreign.Close();
    Start(true);
    Answer(IDS_UNINSTALL_LEFT_OVER, "HKEY_LOCAL_MACHINE\\" + m_strKey, "exclamation", IDOK);
    EXPECT_EQ(ExitCode(), static_cast<DWORD>(kExitIncomplete));
    EXPECT_FALSE(Exists(m_strFile));
    EXPECT_TRUE(Exists(m_strLogPath));
    EXPECT_TRUE(Exists(m_strProgram));
    EXPECT_FALSE(pending.DeletesAtRestart(m_strProgram));

    ASSERT_EQ(CRegKey::DeleteKey(HKEY_LOCAL_MACHINE, (m_strKey + "\\Foreign").c_str()), ERROR_SUCCESS);
    Start(true);
    EXPECT_EQ(ExitCode(), static_cast<DWORD>(kExitDone));
    ExpectAllGone(pending);
}

TEST_F(UninstallerProgram, MissingLogIsReportedAndNothingIsRemoved)
{
    ASSERT_TRUE(DeleteFileA(m_strLogPath.c_str()));
    Start(false);
    Answer(IDS_UNINSTALL_LOG_MISSING, m_strLogPath, "hand", IDOK);
    EXPECT_EQ(ExitCode(), static_cast<DWORD>(kExitRefused));
    EXPECT_TRUE(Exists(m_strFile));
    EXPECT_TRUE(KeyExists());
    EXPECT_TRUE(Exists(m_strProgram));
}
