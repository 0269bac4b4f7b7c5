// Start-up: what makes it end with message 148, and what it puts into the configuration.
#include "app/setup_app.h"
#include "app/startup.h"
#include "format/package_records.h"
#include "sys/message_text.h"
#include "tests/common/message_box_recorder.h"
#include "tests/win/temp_folder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
// What the configuration held when the main dialog would have been shown.
struct SeenConfig {
    std::string strName, strSourceDir, strProgramFiles, strDefaultDest;
    BOOL bWin9x = -1;
    WORD wLanguage = 0xFFFF;
};

// The application with its seams pointed at the test's folder and key; the main
// dialog is not shown, only counted.
class CTestSetupApp : public CSetupApp {
public:
    CTestSetupApp(std::string strSourceFolder, std::string strKey)
        : m_strSourceFolder(std::move(strSourceFolder)), m_strKey(std::move(strKey))
    {
    }

    int m_nDialogRuns = 0;
    SeenConfig m_seen;

protected:
    std::string GetSourceFolder() const override { return m_strSourceFolder; }
    const char* GetSystemFoldersKey() const override { return m_strKey.c_str(); }
    void RunMainDialog() override
    {
        ++m_nDialogRuns;
        m_seen = {m_pConfig->m_strName, m_pConfig->m_strSourceDir, m_pConfig->m_strProgramFiles,
                  m_pConfig->m_strDefaultDest, m_pConfig->m_bWin9x, m_pConfig->m_wLanguage};
    }

private:
    std::string m_strSourceFolder;
    std::string m_strKey;
};

std::vector<unsigned char> HeaderBytes(std::uint8_t nVersion, const char* pszName, const char* pszFolder,
                                       std::uint32_t nMagic = kSetupMagic)
{
    SetupHeader header;
    header.magic = nMagic;
    header.version = nVersion;
    SetFieldText(header.packageName, pszName);
    SetFieldText(header.defaultFolder, pszFolder);
    std::vector<unsigned char> bytes(kSetupHeaderSize);
    EncodeSetupHeader(header, bytes.data());
    return bytes;
}

// A key of the test's own below HKEY_LOCAL_MACHINE with a "ProgramFilesDir" of its
// choice; deleted again at the end so the prefix stays as it was.
class CTestFoldersKey {
public:
    explicit CTestFoldersKey(const char* pszProgramFiles)
    {
        m_strPath = "Software\\Lumidrop Tests\\Startup " + std::to_string(GetCurrentProcessId());
        HKEY hKey = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, m_strPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr) ==
            ERROR_SUCCESS) {
            RegSetValueExA(hKey, "ProgramFilesDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(pszProgramFiles),
                           static_cast<DWORD>(strlen(pszProgramFiles) + 1));
            RegCloseKey(hKey);
        }
    }
    CTestFoldersKey(const CTestFoldersKey&) = delete;
    CTestFoldersKey& operator=(const CTestFoldersKey&) = delete;
    ~CTestFoldersKey()
    {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, m_strPath.c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Lumidrop Tests");
    }
    const char* Path() const { return m_strPath.c_str(); }

private:
    std::string m_strPath;
};

class StartupTest : public ::testing::Test {
protected:
    void WritePackage(const std::vector<unsigned char>& bytes)
    {
        ASSERT_TRUE(WriteWholeFile(m_folder.File("user.spd"), bytes.data(), static_cast<DWORD>(bytes.size())));
    }

    // Runs start-up and exit as the program does; returns the exit code.
    int RunApp(CTestSetupApp& app)
    {
        EXPECT_FALSE(app.InitInstance());
        return app.ExitInstance();
    }

    void ExpectStartupFailure(const char* pszKey = kSystemFoldersKey)
    {
        CMessageBoxRecorder recorder;
        CTestSetupApp app(m_folder.Path(), pszKey);
        EXPECT_EQ(RunApp(app), 0);
        EXPECT_EQ(app.m_nDialogRuns, 0);
        std::string strExpected;
        ASSERT_TRUE(LoadMessage(148, strExpected));
        ASSERT_EQ(recorder.m_boxes.size(), 1u);
        EXPECT_EQ(recorder.m_boxes[0].strText, strExpected);
        EXPECT_EQ(recorder.m_boxes[0].nStyle, 0x10u);
    }

    CTempFolder m_folder;
};
} // namespace

TEST_F(StartupTest, PackageOf191BytesEndsWithMessage148)
{
    std::vector<unsigned char> bytes = HeaderBytes(16, "Saver", "Saver");
    bytes.resize(191);
    WritePackage(bytes);
    ExpectStartupFailure();
}

TEST_F(StartupTest, OtherVersionEndsWithMessage148)
{
    WritePackage(HeaderBytes(15, "Saver", "Saver"));
    ExpectStartupFailure();
}

// Its registry entries would name the whole keys that every screensaver shares.
TEST_F(StartupTest, EmptyPackageNameEndsWithMessage148)
{
    WritePackage(HeaderBytes(16, "", "Saver"));
    ExpectStartupFailure();
}

TEST_F(StartupTest, MissingPackageEndsWithMessage148)
{
    ExpectStartupFailure();
}

TEST_F(StartupTest, PackageHeldByAWriterEndsWithMessage148)
{
    WritePackage(HeaderBytes(16, "Saver", "Saver"));
    // Start-up denies other writers, so it cannot open a file that one holds.
    HANDLE hWriter = CreateFileA(m_folder.File("user.spd").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hWriter, INVALID_HANDLE_VALUE);
    ExpectStartupFailure();
    CloseHandle(hWriter);
}

TEST_F(StartupTest, PackageHeldByAReaderPassesStartup)
{
    WritePackage(HeaderBytes(16, "Saver", "Saver"));
    HANDLE hReader = CreateFileA(m_folder.File("user.spd").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hReader, INVALID_HANDLE_VALUE);
    CMessageBoxRecorder recorder;
    CTestSetupApp app(m_folder.Path(), kSystemFoldersKey);
    EXPECT_EQ(RunApp(app), 0);
    EXPECT_EQ(app.m_nDialogRuns, 1);
    EXPECT_TRUE(recorder.m_boxes.empty());
    CloseHandle(hReader);
}

TEST_F(StartupTest, MissingKeyEndsWithMessage148)
{
    WritePackage(HeaderBytes(16, "Saver", "Saver"));
    ExpectStartupFailure("Software\\Lumidrop Tests\\No Such Key");
}

TEST_F(StartupTest, KeyWithoutProgramFilesDirEndsWithMessage148)
{
    WritePackage(HeaderBytes(16, "Saver", "Saver"));
    // This key exists in every prefix but holds no "ProgramFilesDir".
    ExpectStartupFailure("Software\\Microsoft\\Windows NT");
}

TEST_F(StartupTest, WrongMagicWithVersion16PassesStartup)
{
    WritePackage(HeaderBytes(16, "Night Lights", "Lumidrop\\Night", 0x12345678));
    CMessageBoxRecorder recorder;
    CTestSetupApp app(m_folder.Path(), kSystemFoldersKey);
    EXPECT_EQ(RunApp(app), 0);
    EXPECT_TRUE(recorder.m_boxes.empty());
    ASSERT_EQ(app.m_nDialogRuns, 1);
    EXPECT_EQ(app.m_seen.strName, "Night Lights");
    EXPECT_EQ(app.m_seen.strSourceDir, m_folder.Path());
    EXPECT_EQ(app.m_seen.strProgramFiles, "C:\\Program Files");
    EXPECT_EQ(app.m_seen.strDefaultDest, "C:\\Program Files\\Lumidrop\\Night");
    // The prefix reports an NT-family system.
    EXPECT_EQ(app.m_seen.bWin9x, 0);
    // The test runs with LC_ALL=de_CH.UTF-8 (see CMakeLists.txt): German as in Switzerland,
    // of which the program keeps the primary language alone.
    ASSERT_EQ(GetUserDefaultLangID(), 0x0807) << "run the test with LC_ALL=de_CH.UTF-8";
    EXPECT_EQ(app.m_seen.wLanguage, 0x07);
}

namespace {
constexpr const char* kReportVariable = "LUMIDROP_PLATFORM_REPORT";

// Wine's per-program setting that makes one program see Windows 98; removed again at
// the end so the prefix stays as it was.
class CWin98Setting {
public:
    explicit CWin98Setting(const std::string& strProgramName)
        : m_strKey("Software\\Wine\\AppDefaults\\" + strProgramName)
    {
        HKEY hKey = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, m_strKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr) ==
            ERROR_SUCCESS) {
            m_bSet = RegSetValueExA(hKey, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6) == ERROR_SUCCESS;
            RegCloseKey(hKey);
        }
    }
    CWin98Setting(const CWin98Setting&) = delete;
    CWin98Setting& operator=(const CWin98Setting&) = delete;
    ~CWin98Setting() { RegDeleteKeyA(HKEY_CURRENT_USER, m_strKey.c_str()); }
    bool IsSet() const { return m_bSet; }

private:
    std::string m_strKey;
    bool m_bSet = false;
};
} // namespace

// Runs in a copy of this program started by the test below: writes what start-up finds
// for the platform and the program's folder to the file the parent names.
TEST(DISABLED_PlatformReport, WritesWhatStartupFinds)
{
    char szReport[MAX_PATH] = "";
    ASSERT_NE(GetEnvironmentVariableA(kReportVariable, szReport, sizeof szReport), 0u);
    CSetupConfig config;
    ReadPlatformFacts(config);
    const std::string strReport = std::to_string(config.m_bWin9x) + "\n" + GetModuleFolder();
    ASSERT_TRUE(WriteWholeFile(szReport, strReport.data(), static_cast<DWORD>(strReport.size())));
}

TEST_F(StartupTest, EmulatedWindows98IsWin9xAndTheFolderIsTheProgramsOwn)
{
    char szSelf[MAX_PATH] = "";
    ASSERT_NE(GetModuleFileNameA(nullptr, szSelf, sizeof szSelf), 0u);
    const std::string strName = "w98-" + std::to_string(GetCurrentProcessId()) + ".exe";
    const std::string strCopy = m_folder.File(strName);
    ASSERT_TRUE(CopyFileA(szSelf, strCopy.c_str(), TRUE));
    CWin98Setting win98(strName);
    ASSERT_TRUE(win98.IsSet());

    const std::string strReport = m_folder.File("report.txt");
    SetEnvironmentVariableA(kReportVariable, strReport.c_str());
    std::string strCommand = "\"" + strCopy + "\" --gtest_also_run_disabled_tests --gtest_filter=DISABLED_PlatformReport.*";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(strCopy.c_str(), &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process));
    WaitForSingleObject(process.hProcess, 60000);
    DWORD nExitCode = 1;
    GetExitCodeProcess(process.hProcess, &nExitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    SetEnvironmentVariableA(kReportVariable, nullptr);
    EXPECT_EQ(nExitCode, 0u);

    char szReport[2 * MAX_PATH] = "";
    HANDLE hReport = CreateFileA(strReport.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hReport, INVALID_HANDLE_VALUE) << "the copy wrote no report";
    DWORD nRead = 0;
    ReadFile(hReport, szReport, sizeof szReport - 1, &nRead, nullptr);
    CloseHandle(hReport);
    EXPECT_EQ(std::string(szReport, nRead), "1\n" + m_folder.Path());
}

TEST_F(StartupTest, DefaultDestinationWithTrailingBackslashes)
{
    CTestFoldersKey key("C:\\Program Files\\");
    for (const char* pszFolder : {"Saver", "Saver\\"}) {
        WritePackage(HeaderBytes(16, "Saver", pszFolder));
        CMessageBoxRecorder recorder;
        CTestSetupApp app(m_folder.Path(), key.Path());
        EXPECT_EQ(RunApp(app), 0);
        ASSERT_EQ(app.m_nDialogRuns, 1) << pszFolder;
        EXPECT_EQ(app.m_seen.strProgramFiles, "C:\\Program Files\\");
        EXPECT_EQ(app.m_seen.strDefaultDest, "C:\\Program Files\\Saver") << pszFolder;
    }
}

TEST_F(StartupTest, EmptyDefaultFolderLeavesDefaultEmpty)
{
    WritePackage(HeaderBytes(16, "Saver", ""));
    CMessageBoxRecorder recorder;
    CTestSetupApp app(m_folder.Path(), kSystemFoldersKey);
    EXPECT_EQ(RunApp(app), 0);
    ASSERT_EQ(app.m_nDialogRuns, 1);
    EXPECT_EQ(app.m_seen.strName, "Saver");
    EXPECT_EQ(app.m_seen.strDefaultDest, "");
}

TEST_F(StartupTest, PackageFactsReadOnlyTheFirst192Bytes)
{
    std::vector<unsigned char> bytes = HeaderBytes(16, "Saver", "Saver");
    bytes.resize(4096, 0xAB);
    WritePackage(bytes);
    CSetupConfig* pConfig = AcquireSetupConfig();
    pConfig->m_strSourceDir = m_folder.Path();
    EXPECT_TRUE(ReadPackageFacts(*pConfig, kSystemFoldersKey));
    EXPECT_EQ(pConfig->m_strName, "Saver");
    ReleaseSetupConfig(pConfig);
}

TEST(SetupConfig, SharedUntilTheLastRelease)
{
    CSetupConfig* pFirst = AcquireSetupConfig();
    CSetupConfig* pSecond = AcquireSetupConfig();
    EXPECT_EQ(pFirst, pSecond);
    // Marks the object, so that a new one can be told from it below.
    pFirst->m_strName = "kept";
    pFirst->m_nPhase = 3;
    ReleaseSetupConfig(pSecond);
    CSetupConfig* pThird = AcquireSetupConfig();
    EXPECT_EQ(pThird, pFirst);
    ReleaseSetupConfig(pThird);
    ReleaseSetupConfig(pFirst);

    // After the last release a new object starts from the initial values.
    CSetupConfig* pFresh = AcquireSetupConfig();
    EXPECT_EQ(pFresh->m_strName, "");
    EXPECT_EQ(pFresh->m_nPhase, -1);
    EXPECT_EQ(pFresh->m_bWin9x, 0);
    EXPECT_EQ(pFresh->m_wLanguage, 0);
    EXPECT_TRUE(pFresh->m_strDefaultDest.empty());
    ReleaseSetupConfig(pFresh);
}

TEST(SetupConfig, FieldTypesAndInitialValues)
{
    CSetupConfig* pConfig = AcquireSetupConfig();
    static_assert(sizeof pConfig->m_bWin9x == 4 && sizeof pConfig->m_nPhase == 4 && sizeof pConfig->m_wLanguage == 2,
                  "field widths");
    EXPECT_EQ(pConfig->m_bOldVersionFound, 0);
    EXPECT_EQ(pConfig->m_bRestart, 0);
    EXPECT_EQ(pConfig->m_bShowProperties, 0);
    EXPECT_EQ(pConfig->m_bRestartNeeded, 0);
    EXPECT_TRUE(pConfig->m_strUninstaller.empty());
    EXPECT_TRUE(pConfig->m_strDestination.empty());
    EXPECT_TRUE(pConfig->m_strSourceDir.empty());
    EXPECT_TRUE(pConfig->m_strProgramFiles.empty());
    ReleaseSetupConfig(pConfig);
}
