// Recording an installation against the real registry, real files and a display control
// panel of our own (desk_cpl_probe.dll copied where the system's desk.cpl would be). Every
// key, value and file a test makes is removed again.
#include "app/setup_config.h"
#include "app/setup_thread_link.h"
#include "engine/folder_lists.h"
#include "engine/installation_lists.h"
#include "format/package_records.h"
#include "format/package_writer.h"
#include "engine/registration.h"
#include "engine/registry_before_image.h"
#include "engine/registry_rollback.h"
#include "engine/replaced_files.h"
#include "format/uninstall_log.h"
#include "framework/handle.h"
#include "framework/message_box.h"
#include "framework/reg_key.h"
#include "tests/win/registry_guards.h"
#include "sys/message_text.h"
#include "sys/my_exception.h"
#include "tests/common/message_box_recorder.h"
#include "tests/win/temp_folder.h"

#include <gtest/gtest.h>
#include <sddl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {
const char kScreensaverKey[] = "Software\\Lumidrop Screensaver";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string ProgramFolder()
{
    char szPath[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, szPath, sizeof szPath);
    const std::string strPath = szPath;
    return strPath.substr(0, strPath.rfind('\\'));
}

std::string SystemDeskCpl()
{
    char szSystem[MAX_PATH] = "";
    GetSystemDirectoryA(szSystem, sizeof szSystem);
    return std::string(szSystem) + "\\desk.cpl";
}

bool Exists(const std::string& strPath)
{
    return GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadText(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string UpperCase(std::string strText)
{
    CharUpperA(&strText[0]);
    return strText;
}

std::string ShortOf(const std::string& strPath)
{
    char szShort[MAX_PATH] = "";
    EXPECT_NE(GetShortPathNameA(strPath.c_str(), szShort, sizeof szShort), 0u) << strPath;
    return szShort;
}

// The files "UnSc*.exe" in strFolder.
std::vector<std::string> Uninstallers(const std::string& strFolder)
{
    std::vector<std::string> vecNames;
    WIN32_FIND_DATAA data;
    const HANDLE hFind = FindFirstFileA((strFolder + "\\UnSc*.exe").c_str(), &data);
    if (hFind == INVALID_HANDLE_VALUE)
        return vecNames;
    do
        vecNames.push_back(data.cFileName);
    while (FindNextFileA(hFind, &data));
    FindClose(hFind);
    return vecNames;
}

// A REG_SZ value of HKLM\strSubKey whose length counts its zero; "<missing>" when absent.
std::string StringValue(const std::string& strSubKey, const std::string& strName)
{
    CRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, strSubKey.c_str(), KEY_READ) != ERROR_SUCCESS)
        return "<missing>";
    char szData[1024] = "";
    DWORD nSize = sizeof szData;
    DWORD nType = REG_NONE;
    if (key.QueryValue(strName.c_str(), &nType, szData, nSize) != ERROR_SUCCESS)
        return "<missing>";
    EXPECT_EQ(nType, static_cast<DWORD>(REG_SZ)) << strName;
    EXPECT_EQ(nSize, std::strlen(szData) + 1) << strName << ": the length counts the zero";
    return szData;
}

bool KeyExists(const std::string& strSubKey)
{
    CRegKey key;
    return key.Open(HKEY_LOCAL_MACHINE, strSubKey.c_str(), KEY_READ) == ERROR_SUCCESS;
}

// Our probe copied to where the system's desk.cpl would be, or no desk.cpl there; removed
// again.
class CSystemDeskCpl {
public:
    explicit CSystemDeskCpl(bool bInstall)
    {
        // A copy of our probe is what a test that crashed left behind.
        if (Exists(SystemDeskCpl()) && ReadText(SystemDeskCpl()) == ReadText(Probe()))
            DeleteFileA(SystemDeskCpl().c_str());
        m_bForeign = Exists(SystemDeskCpl());
        if (bInstall && !m_bForeign)
            m_bInstalled = CopyFileA(Probe().c_str(), SystemDeskCpl().c_str(), TRUE);
    }
    CSystemDeskCpl(const CSystemDeskCpl&) = delete;
    CSystemDeskCpl& operator=(const CSystemDeskCpl&) = delete;
    ~CSystemDeskCpl()
    {
        if (m_bInstalled)
            DeleteFileA(SystemDeskCpl().c_str());
    }

    static std::string Probe() { return ProgramFolder() + "\\desk_cpl_probe.dll"; }

    // False when the prefix has a desk.cpl of its own, which these tests must not touch.
    bool Usable() const { return !m_bForeign; }
    bool Installed() const { return m_bInstalled; }

private:
    bool m_bForeign = false;
    bool m_bInstalled = false;
};

// The first seed from which the C runtime's generator draws the four digits given.
unsigned SeedDrawing(const char* pszDigits)
{
    for (unsigned nSeed = 1;; ++nSeed) {
        std::srand(nSeed);
        bool bMatch = true;
        for (int n = 0; n < 4 && bMatch; ++n)
            bMatch = std::rand() % 10 == pszDigits[n] - '0';
        if (bMatch)
            return nSeed;
    }
}

std::string Digits(unsigned nCount)
{
    std::string strDigits;
    for (unsigned n = 0; n < nCount; ++n)
        strDigits += std::to_string(std::rand() % 10);
    return strDigits;
}
} // namespace

class Registration : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_bParentExisted = KeyExists(kScreensaverKey);
        CreateDirectoryA(m_strWindows.c_str(), nullptr);
        CreateDirectoryA(m_strDestination.c_str(), nullptr);
        CreateDirectoryA((m_strDestination + "\\Data").c_str(), nullptr);
        for (const std::string& strFile : {m_strModule, m_strConfigFile, m_strShared})
            ASSERT_TRUE(WriteWholeFile(strFile, "lumi", 4)) << strFile;
        m_program.resize(3000);
        for (std::size_t n = 0; n < m_program.size(); ++n)
            m_program[n] = static_cast<unsigned char>(n * 7);
        ASSERT_TRUE(WriteWholeFile(m_base.File("program.exe"), m_program.data(), static_cast<DWORD>(m_program.size())));
        WriteUninstallerFile(m_base.File("program.exe"), m_inputs.m_strSetupCopy);

        std::string strKeyName = UpperCase(ShortOf(m_strModule));
        std::replace(strKeyName.begin(), strKeyName.end(), '\\', '/');
        m_strModuleKey = std::string(kScreensaverKey) + "\\" + strKeyName;

        m_config.m_strDestination = m_strDestination;
        m_config.m_strName = m_strName;
        m_lists.placedFiles = {m_strModule, m_strConfigFile};
        m_lists.keptSharedFiles = {m_strShared};
        m_lists.createdFolders = {m_strDestination, m_strDestination + "\\Data"};
        m_lists.m_strScreensaverPath = m_strModule;
        m_lists.m_strConfigPath = m_strConfigFile;
        m_inputs.m_strWindowsFolder = m_strWindows;
        m_inputs.m_hInstance = GetModuleHandleA(nullptr);
        SetEnvironmentVariableA("LUMIDROP_DESK_CPL_RECORD", m_strRecord.c_str());
    }

    void TearDown() override
    {
        SetEnvironmentVariableA("LUMIDROP_DESK_CPL_RECORD", nullptr);
        CRegKey::DeleteKey(HKEY_LOCAL_MACHINE, ModuleKey().c_str());
        CRegKey::DeleteKey(HKEY_LOCAL_MACHINE, EntryKey().c_str());
        CRegKey parent;
        if (parent.Open(HKEY_LOCAL_MACHINE, kScreensaverKey, KEY_SET_VALUE) == ERROR_SUCCESS) {
            parent.DeleteValue(PackageValue().c_str());
            parent.Close();
            if (!m_bParentExisted)
                RemoveKeyIfEmpty(HKEY_LOCAL_MACHINE, kScreensaverKey);
        }
    }

    // Taken while the module exists: its short form is the key's name.
    const std::string& ModuleKey() const { return m_strModuleKey; }
    std::string EntryKey() const { return std::string(kUninstallKey) + "\\" + m_strName; }
    std::string PackageValue() const
    {
        return UpperCase(m_inputs.m_strPackageName);
    }

    void Record() { RecordInstallation(m_inputs, m_config, m_lists, m_link); }
    UninstallLogContent ReadLog(UninstallLogHeader& header) const
    {
        const std::string strLog = ReadText(m_strLogPath);
        return ReadUninstallLog(reinterpret_cast<const unsigned char*>(strLog.data()), strLog.size(), &header);
    }

    // The setup thread's roll-back of what the registration adds to the lists.
    void RollBackLists()
    {
        DeleteFileList(m_lists.placedFiles);
        DeleteFileList(m_lists.unloggedFiles);
        RestoreReplacedFiles(m_lists.replacedFiles);
        GiveBackRegistry(m_lists.registryBefore);
    }
    void WriteKeyAndRecord()
    {
        WriteScreensaverKey(m_config, m_lists);
        Record();
    }

    // The uninstaller, the entry and the value are there, or none of them.
    void ExpectNoUninstallRecord()
    {
        EXPECT_TRUE(Uninstallers(m_strWindows).empty());
        EXPECT_TRUE(m_config.m_strUninstaller.empty());
        EXPECT_FALSE(KeyExists(EntryKey()));
        EXPECT_EQ(StringValue(kScreensaverKey, PackageValue()), "<missing>");
    }

    std::vector<std::string> RecordedLines() const
    {
        std::vector<std::string> vecLines;
        std::istringstream in(ReadText(m_strRecord));
        for (std::string strLine; std::getline(in, strLine);)
            vecLines.push_back(strLine);
        return vecLines;
    }

    CPrefixLock m_lock; // first: taken before anything else, given back last
    CTempFolder m_base;
    const std::string m_strName = "Lumidrop Registration Test " + std::to_string(GetCurrentProcessId());
    const std::string m_strWindows = m_base.File("Windows");
    const std::string m_strDestination = m_base.File("Aqua Saver Folder");
    const std::string m_strModule = m_strDestination + "\\Aqua Saver Module.scr";
    const std::string m_strConfigFile = m_strDestination + "\\Data\\Aqua Settings.ini";
    const std::string m_strShared = m_base.File("shared.dll");
    const std::string m_strLogPath = m_strDestination + "\\Unscr.log";
    const std::string m_strRecord = m_base.File("desk-record.txt");
    std::string m_strModuleKey;
    std::vector<unsigned char> m_program;
    CSetupConfig m_config;
    CSetupThreadLink m_link;
    CInstallationLists m_lists;
    CRegistrationInputs m_inputs{"", m_base.File("_setup.spd"), m_base.File(""),
                                 "lumidrop registration test " + std::to_string(GetCurrentProcessId()), nullptr};
    bool m_bParentExisted = false;
};

TEST_F(Registration, ScreensaverKeyNamesTheModuleAndHoldsShortPaths)
{
    const struct {
        bool bModule;
        bool bConfig;
    } kCases[] = {{true, true}, {true, false}, {false, true}};
    for (const auto& test : kCases) {
        SCOPED_TRACE(testing::Message() << "module " << test.bModule << ", config " << test.bConfig);
        CInstallationLists lists;
        lists.m_strScreensaverPath = test.bModule ? m_strModule : "";
        lists.m_strConfigPath = test.bConfig ? m_strConfigFile : "";
        WriteScreensaverKey(m_config, lists);
        EXPECT_EQ(KeyExists(ModuleKey()), test.bModule);
        ASSERT_EQ(lists.registryEntries.size(), test.bModule ? 1u : 0u);
        if (!test.bModule)
            continue;
        EXPECT_EQ(FieldText(lists.registryEntries[0].subKey), ModuleKey());
        EXPECT_TRUE(lists.registryEntries[0].IsWholeKey());
        EXPECT_EQ(StringValue(ModuleKey(), "Destination"), ShortOf(m_strDestination));
        EXPECT_EQ(StringValue(ModuleKey(), "Config"), test.bConfig ? ShortOf(m_strConfigFile) : "<missing>");
        CRegKey::DeleteKey(HKEY_LOCAL_MACHINE, ModuleKey().c_str());
    }
}

TEST_F(Registration, ScreensaverKeyIsListedBeforeItIsCreated)
{
    const CDeniedKey denied(ModuleKey());
    ASSERT_TRUE(denied.Refuses());
    try {
        WriteScreensaverKey(m_config, m_lists);
        ADD_FAILURE() << "the refused key was not reported";
    } catch (CSetupException* pException) {
        EXPECT_EQ(pException->m_nPhaseMessage, CSetupException::PhaseMessage(PHASE_FILES));
        EXPECT_EQ(pException->m_nCauseMessage, CSetupException::CauseMessage(CAUSE_UNEXPECTED));
        pException->Delete();
    }
    ASSERT_EQ(m_lists.registryEntries.size(), 1u);
    EXPECT_EQ(FieldText(m_lists.registryEntries[0].subKey), ModuleKey());
}

TEST_F(Registration, CommandsNameTheUninstallerAndTheQuotedLogAndATakenNameIsDrawnAgain)
{
    const unsigned nSeed = SeedDrawing("0472");
    const std::string strTaken = m_strWindows + "\\UnSc0472.exe";
    ASSERT_TRUE(WriteWholeFile(strTaken, "old", 3));
    std::srand(nSeed);
    Digits(4);
    const std::string strExpected = m_strWindows + "\\UnSc" + Digits(4) + ".exe";
    ASSERT_NE(strExpected, strTaken);
    std::srand(nSeed);
    CMessageBoxRecorder recorder;
    WriteKeyAndRecord();

    EXPECT_TRUE(recorder.m_boxes.empty());
    EXPECT_EQ(m_config.m_strUninstaller, strExpected);
    EXPECT_EQ(ReadText(strTaken), "old");
    EXPECT_EQ(ReadText(strExpected), std::string(m_program.begin(), m_program.end()));
    EXPECT_EQ(StringValue(EntryKey(), "DisplayName"), m_strName);
    EXPECT_EQ(StringValue(EntryKey(), "UninstallString"), strExpected + " \"" + m_strLogPath + "\"");
    EXPECT_EQ(StringValue(kScreensaverKey, PackageValue()), strExpected + " \"" + m_strLogPath + "\" s");
    EXPECT_EQ(m_link.m_nCancelChecks, 2u) << "before the log and before it is packed";
}

TEST_F(Registration, CancelOnTheLogMessageLeavesOutTheUninstallRecordButNotTheDisplaySettings)
{
    const CSystemDeskCpl desk(true);
    if (!desk.Usable())
        GTEST_SKIP() << "the prefix has a desk.cpl of its own";
    ASSERT_TRUE(desk.Installed());
    // A folder where the log should be: it cannot be created, whatever is tried.
    ASSERT_TRUE(CreateDirectoryA(m_strLogPath.c_str(), nullptr));
    std::vector<ShownBox> vecBoxes;
    const MessageBoxAnswerer previous = SetMessageBoxAnswerer([&](const std::string& strText, unsigned nStyle) {
        vecBoxes.push_back({strText, nStyle});
        return vecBoxes.size() == 1 ? IDRETRY : IDCANCEL;
    });
    const std::vector<std::string> vecPlaced = m_lists.placedFiles;
    WriteKeyAndRecord();
    SetMessageBoxAnswerer(previous);

    std::string strMessage;
    FormatOne(strMessage, 223, m_strLogPath.c_str());
    ASSERT_EQ(vecBoxes.size(), 2u) << "Retry asks again";
    for (const ShownBox& box : vecBoxes) {
        EXPECT_EQ(box.strText, strMessage);
        EXPECT_EQ(box.nStyle, static_cast<unsigned>(MB_RETRYCANCEL | MB_ICONEXCLAMATION));
    }
    ExpectNoUninstallRecord();
    EXPECT_EQ(m_lists.placedFiles, vecPlaced);
    EXPECT_EQ(m_lists.registryEntries.size(), 1u) << "the screensaver key alone";
    EXPECT_TRUE(KeyExists(ModuleKey()));
    const std::vector<std::string> vecCall = RecordedLines();
    ASSERT_FALSE(vecCall.empty()) << "InstallScreenSaver was not called";
    EXPECT_EQ(vecCall[0], m_strModule);
}

TEST_F(Registration, DamagedSetupFileLeavesAnEmptyLogAndNoUninstallRecordSilently)
{
    std::string strSetup = ReadText(m_inputs.m_strSetupCopy);
    ASSERT_FALSE(strSetup.empty());
    strSetup[0] = static_cast<char>(strSetup[0] ^ 0xFF);
    ASSERT_TRUE(WriteWholeFile(m_inputs.m_strSetupCopy, strSetup.data(), static_cast<DWORD>(strSetup.size())));
    CMessageBoxRecorder recorder;
    WriteKeyAndRecord();

    EXPECT_TRUE(recorder.m_boxes.empty());
    ExpectNoUninstallRecord();
    EXPECT_TRUE(Exists(m_strLogPath));
    EXPECT_EQ(ReadText(m_strLogPath).size(), 0u);
    EXPECT_EQ(m_lists.placedFiles.back(), m_strLogPath);
}

TEST_F(Registration, CancelBeforeTheLogCreatesNothing)
{
    SetEvent(m_link.m_hCancelEvent.Get());
    try {
        Record();
        ADD_FAILURE() << "the cancel was not seen";
    } catch (CMyException* pException) {
        EXPECT_EQ(dynamic_cast<CSetupException*>(pException), nullptr);
        pException->Delete();
    }
    EXPECT_FALSE(Exists(m_strLogPath));
    ExpectNoUninstallRecord();
}

TEST_F(Registration, LogPathThatDoesNotFitItsRecordIsRefusedBeforeTheLogIsCreated)
{
    // 250 bytes of folder make a log path of 260 bytes: with its zero, one more than a record holds.
    m_config.m_strDestination = m_base.File(std::string(249 - m_base.Path().size(), 'd'));
    ASSERT_EQ(m_config.m_strDestination.size(), 250u);
    const std::vector<std::string> vecPlaced = m_lists.placedFiles;
    CMessageBoxRecorder recorder;
    try {
        Record();
        ADD_FAILURE() << "the long log path was not refused";
    } catch (CSetupException* pException) {
        EXPECT_EQ(pException->m_nPhaseMessage, CSetupException::PhaseMessage(PHASE_FINISHING));
        EXPECT_EQ(pException->m_nCauseMessage, CSetupException::CauseMessage(CAUSE_UNEXPECTED));
        pException->Delete();
    }
    EXPECT_EQ(m_lists.placedFiles, vecPlaced);
    EXPECT_TRUE(recorder.m_boxes.empty());
    ExpectNoUninstallRecord();
}

TEST_F(Registration, LogListsTheRunInOrderWithItselfLastAmongThePlacedFiles)
{
    CMessageBoxRecorder recorder;
    WriteKeyAndRecord();
    UninstallLogHeader header;
    const UninstallLogContent content = ReadLog(header);

    EXPECT_EQ(FieldText(header.logName), m_strName);
    EXPECT_EQ(content.placedFiles, (std::vector<std::string>{m_strModule, m_strConfigFile, m_strLogPath}));
    EXPECT_EQ(content.keptSharedFiles, m_lists.keptSharedFiles);
    EXPECT_EQ(content.createdFolders, m_lists.createdFolders);
    const struct {
        std::string strSubKey;
        std::string strValueName;
    } kEntries[] = {{ModuleKey(), ""}, {EntryKey(), ""}, {kScreensaverKey, PackageValue()}};
    ASSERT_EQ(content.registryEntries.size(), std::size(kEntries));
    for (std::size_t n = 0; n < std::size(kEntries); ++n) {
        EXPECT_EQ(FieldText(content.registryEntries[n].subKey), kEntries[n].strSubKey) << n;
        EXPECT_EQ(FieldText(content.registryEntries[n].valueName), kEntries[n].strValueName) << n;
    }
}

// The uninstaller removes the product key the run made once it is empty: listed last, it
// comes after every entry that lives in it.
TEST_F(Registration, ProductKeyTheRunCreatedIsLoggedLastAsAWholeKey)
{
    CMessageBoxRecorder recorder;
    m_lists.m_bCreatesProductKey = true;
    WriteKeyAndRecord();
    UninstallLogHeader header;
    const UninstallLogContent content = ReadLog(header);
    ASSERT_EQ(content.registryEntries.size(), m_lists.registryEntries.size() + 1);
    EXPECT_TRUE(content.registryEntries.back().IsWholeKey());
    EXPECT_EQ(FieldText(content.registryEntries.back().subKey), kScreensaverKey);
}

TEST_F(Registration, FailedUninstallEntryRollsBackTheKeysTheLogAndTheUninstaller)
{
    const CDeniedKey denied(EntryKey());
    ASSERT_TRUE(denied.Refuses());
    CMessageBoxRecorder recorder;
    WriteScreensaverKey(m_config, m_lists);
    try {
        Record();
        ADD_FAILURE() << "the refused uninstall entry was not reported";
    } catch (CSetupException* pException) {
        EXPECT_EQ(pException->m_nPhaseMessage, CSetupException::PhaseMessage(PHASE_FINISHING));
        EXPECT_EQ(pException->m_nCauseMessage, CSetupException::CauseMessage(CAUSE_UNEXPECTED));
        pException->Delete();
    }
    const std::string strUninstaller = m_config.m_strUninstaller;
    RollBackLists();

    EXPECT_FALSE(KeyExists(ModuleKey()));
    EXPECT_FALSE(Exists(m_strLogPath));
    EXPECT_EQ(StringValue(kScreensaverKey, PackageValue()), "<missing>");
    EXPECT_TRUE(KeyExists(EntryKey())) << "not ours: it was there before";
    ASSERT_FALSE(strUninstaller.empty());
    EXPECT_FALSE(Exists(strUninstaller));
}

// An older installation kept beside the new one: a roll-back of the new run's registration
// gives back its keys, values and log as they were, and deletes only what the run added.
TEST_F(Registration, RollBackGivesAnOlderInstallationEverythingBack)
{
    const std::string strOldLog = "the older installation's log";
    ASSERT_TRUE(WriteWholeFile(m_strLogPath, strOldLog.data(), static_cast<DWORD>(strOldLog.size())));
    const struct {
        std::string strKey;
        const char* pszValue;
    } kOlder[] = {{ModuleKey(), "Destination"}, {EntryKey(), "DisplayName"}, {EntryKey(), "UninstallString"},
                  {kScreensaverKey, nullptr}};
    for (const auto& older : kOlder) {
        CRegKey key;
        ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, older.strKey.c_str(), KEY_SET_VALUE), ERROR_SUCCESS);
        const std::string strName = older.pszValue != nullptr ? older.pszValue : PackageValue();
        ASSERT_EQ(key.SetString(strName.c_str(), "older " + strName), ERROR_SUCCESS);
    }
    WriteKeyAndRecord();
    ASSERT_NE(StringValue(EntryKey(), "DisplayName"), "older DisplayName");
    RollBackLists();

    for (const auto& older : kOlder) {
        const std::string strName = older.pszValue != nullptr ? older.pszValue : PackageValue();
        EXPECT_EQ(StringValue(older.strKey, strName), "older " + strName) << older.strKey;
    }
    EXPECT_EQ(StringValue(ModuleKey(), "Config"), "<missing>");
    EXPECT_EQ(ReadText(m_strLogPath), strOldLog);
    DeleteFileA(m_strLogPath.c_str());
}

TEST_F(Registration, DisplaySettingsGetTheModuleFromTheSystemFoldersDeskCplOnly)
{
    const std::string strPlanted = ProgramFolder() + "\\desk.cpl";
    const struct {
        const char* pszCase;
        bool bSystem;
        bool bPlanted;
        bool bModule;
        bool bCalled;
    } kCases[] = {
        {"in the system folder", true, false, true, true},
        {"none anywhere", false, false, true, false},
        {"planted beside the program", false, true, true, false},
        {"no screensaver module", true, false, false, false},
    };
    for (const auto& test : kCases) {
        SCOPED_TRACE(test.pszCase);
        const CSystemDeskCpl desk(test.bSystem);
        if (!desk.Usable())
            GTEST_SKIP() << "the prefix has a desk.cpl of its own";
        ASSERT_EQ(desk.Installed(), test.bSystem);
        if (test.bPlanted) {
            ASSERT_TRUE(CopyFileA(CSystemDeskCpl::Probe().c_str(), strPlanted.c_str(), FALSE));
        }
        DeleteFileA(m_strRecord.c_str());
        CInstallationLists lists = m_lists;
        lists.m_strScreensaverPath = test.bModule ? m_strModule : "";
        CMessageBoxRecorder recorder;
        RecordInstallation(m_inputs, m_config, lists, m_link);
        if (test.bPlanted)
            DeleteFileA(strPlanted.c_str());

        EXPECT_TRUE(recorder.m_boxes.empty());
        const std::vector<std::string> vecCall = RecordedLines();
        ASSERT_EQ(vecCall.size(), test.bCalled ? 5u : 0u);
        if (!test.bCalled)
            continue;
        EXPECT_EQ(vecCall[0], m_strModule);
        EXPECT_EQ(vecCall[1], std::to_string(SW_SHOW));
        EXPECT_EQ(vecCall[2], "1") << "no window";
        EXPECT_EQ(vecCall[3], "1") << "the program's instance";
        EXPECT_EQ(UpperCase(vecCall[4]), UpperCase(SystemDeskCpl()));
    }
}
