// Removing an installation as its log lists it, with real files in a scratch folder, real
// shared-file counts and registry keys below HKEY_LOCAL_MACHINE, and the user's answers
// from a recorder in front of the message box. Everything a test adds is removed again.
#include "engine/older_version.h"
#include "engine/registry_rollback.h"
#include "engine/shared_file_counts.h"
#include "format/plain_file.h"
#include "format/uninstall_log_file.h"
#include "framework/handle.h"
#include "framework/reg_key.h"
#include "sys/message_text.h"
#include "tests/common/message_box_recorder.h"
#include "tests/win/pending_renames.h"
#include "tests/win/registry_guards.h"
#include "tests/win/temp_folder.h"
#include "uninstaller/uninstall.h"
#include "uninstaller/uninstaller_resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class Uninstall : public ::testing::Test {
protected:
    void SetUp() override
    {
        DWORD nDisposition = 0;
        ASSERT_EQ(m_shared.Create(HKEY_LOCAL_MACHINE, kSharedDllsKey, KEY_ALL_ACCESS, &nDisposition), ERROR_SUCCESS);
        m_bSharedKeyMade = nDisposition == REG_CREATED_NEW_KEY;
        m_log.strName = "Aqua";
        m_strLogPath = Path("Aqua\\Unscr.log");
    }
    void TearDown() override
    {
        for (const std::string& strPath : m_vecCounted)
            m_shared.DeleteValue(strPath.c_str());
        m_shared.Close();
        if (m_bSharedKeyMade)
            CRegKey::DeleteKey(HKEY_LOCAL_MACHINE, kSharedDllsKey);
        CRegKey::DeleteKey(HKEY_LOCAL_MACHINE, (m_strKey + "\\Saver").c_str());
        CRegKey::DeleteKey(HKEY_LOCAL_MACHINE, m_strKey.c_str());
    }

    std::string Path(const std::string& strName) const { return m_folder.File(strName); }

    // A file with a few bytes in it, and the folders above it.
    std::string MakeFile(const std::string& strName)
    {
        const std::string strPath = Path(strName);
        for (std::size_t n = strName.find('\\'); n != std::string::npos; n = strName.find('\\', n + 1))
            CreateDirectoryA(Path(strName.substr(0, n)).c_str(), nullptr);
        EXPECT_TRUE(WriteWholeFile(strPath, "lumi", 4)) << strPath;
        return strPath;
    }

    void SetCount(const std::string& strPath, DWORD nCount)
    {
        m_vecCounted.push_back(strPath);
        ASSERT_EQ(m_shared.SetDword(strPath.c_str(), nCount), ERROR_SUCCESS);
    }

    // A count of nSize bytes: 4 is a readable count, any other size is not.
    void SetCountBytes(const std::string& strPath, DWORD nCount, DWORD nSize)
    {
        m_vecCounted.push_back(strPath);
        const unsigned char bytes[8] = {static_cast<unsigned char>(nCount)};
        ASSERT_EQ(m_shared.SetValue(strPath.c_str(), REG_BINARY, bytes, nSize), ERROR_SUCCESS);
    }

    // The count left, or -1 when the path has none.
    long Count(const std::string& strPath) const
    {
        DWORD nCount = 0;
        return m_shared.QueryDword(strPath.c_str(), nCount) == ERROR_SUCCESS ? static_cast<long>(nCount) : -1;
    }

    static bool Exists(const std::string& strPath)
    {
        return GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    std::vector<std::string> Run(bool bSilent = false, std::vector<std::string>* pvecAtRestart = nullptr)
    {
        CUninstall uninstall(m_log, m_strLogPath, bSilent);
        uninstall.Run();
        if (pvecAtRestart != nullptr)
            *pvecAtRestart = uninstall.GetAtRestart();
        return uninstall.GetLeft();
    }

    static std::string Message(unsigned nId, const std::string& strInsert)
    {
        std::string strText;
        FormatOne(strText, nId, strInsert.c_str());
        return strText;
    }

    CTempFolder m_folder;
    CRegKey m_shared;
    bool m_bSharedKeyMade = false;
    std::vector<std::string> m_vecCounted;
    const std::string m_strKey = "Software\\Lumidrop Test Uninstall " + std::to_string(GetCurrentProcessId());
    UninstallLogContent m_log;
    std::string m_strLogPath;
};

TEST_F(Uninstall, RemovesWhatTheLogNamesAndNothingElse)
{
    m_log.placedFiles = {MakeFile("Aqua\\Aqua.scr"), MakeFile("Aqua\\Data\\Aqua.ini"), MakeFile("Aqua\\Unscr.log")};
    // Listed parent first, as the setup creates them.
    m_log.createdFolders = {Path("Aqua"), Path("Aqua\\Data")};
    const std::string strForeign = MakeFile("Other\\mine.txt");
    CRegKey key;
    ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, (m_strKey + "\\Saver").c_str()), ERROR_SUCCESS);
    ASSERT_EQ(key.SetString("Destination", Path("Aqua")), ERROR_SUCCESS);
    ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, m_strKey.c_str()), ERROR_SUCCESS);
    ASSERT_EQ(key.SetString("AQUA", "UnSc0472.exe"), ERROR_SUCCESS);
    ASSERT_EQ(key.SetString("OTHER", "stays"), ERROR_SUCCESS);
    m_log.registryEntries.resize(2);
    ASSERT_TRUE(MakeRegistryEntry(m_strKey + "\\Saver", "", m_log.registryEntries[0]));
    ASSERT_TRUE(MakeRegistryEntry(m_strKey, "AQUA", m_log.registryEntries[1]));

    CMessageBoxRecorder recorder;
    EXPECT_TRUE(Run().empty());
    EXPECT_TRUE(recorder.m_boxes.empty());
    // The log went before the folders: its folder is gone with it.
    EXPECT_FALSE(Exists(Path("Aqua")));
    EXPECT_TRUE(Exists(strForeign));
    CRegKey check;
    EXPECT_EQ(check.Open(HKEY_LOCAL_MACHINE, (m_strKey + "\\Saver").c_str(), KEY_READ), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(check.Open(HKEY_LOCAL_MACHINE, m_strKey.c_str(), KEY_READ), ERROR_SUCCESS);
    DWORD nType = 0;
    EXPECT_EQ(check.QueryType("AQUA", nType), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(check.QueryType("OTHER", nType), ERROR_SUCCESS);
}

TEST_F(Uninstall, FileWrittenHereGoesWhenNoOtherInstallationCountsOnIt)
{
    const struct {
        const char* pszName;
        long nCountBefore; // -1: no count
        DWORD nCountSize;  // bytes the count is stored in
        bool bStays;
        long nCountAfter; // -2: unchanged, unreadable as it was
        bool bLeft;
    } kCases[] = {
        {"plain.dll", -1, 4, false, -1, false}, {"zero.dll", 0, 4, false, -1, false},
        {"last.dll", 1, 4, false, -1, false},   {"used.dll", 3, 4, true, 2, false},
        {"long.dll", 1, 8, true, -2, true},     {"short.dll", 1, 2, true, -2, true},
    };
    std::vector<std::string> vecLeft;
    for (const auto& test : kCases) {
        const std::string strPath = MakeFile(test.pszName);
        if (test.nCountBefore >= 0)
            SetCountBytes(strPath, static_cast<DWORD>(test.nCountBefore), test.nCountSize);
        m_log.placedFiles.push_back(strPath);
        if (test.bLeft)
            vecLeft.push_back(strPath);
    }
    CMessageBoxRecorder recorder;
    EXPECT_EQ(Run(), vecLeft);
    EXPECT_TRUE(recorder.m_boxes.empty());
    for (const auto& test : kCases) {
        const std::string strPath = Path(test.pszName);
        EXPECT_EQ(Exists(strPath), test.bStays) << test.pszName;
        DWORD nSize = 0;
        if (test.nCountAfter == -2)
            EXPECT_TRUE(m_shared.QueryValue(strPath.c_str(), nullptr, nullptr, nSize) == ERROR_SUCCESS &&
                        nSize == test.nCountSize)
                << test.pszName;
        else
            EXPECT_EQ(Count(strPath), test.nCountAfter) << test.pszName;
    }
}

TEST_F(Uninstall, SharedKeyThatCannotBeOpenedIsUnreadableAndAMissingOneCountsNothing)
{
    const std::string strDenied = m_strKey + "\\Denied";
    const CDeniedKey denied(strDenied);
    ASSERT_TRUE(denied.Refuses());
    const std::string strPath = MakeFile("lumicore.dll");
    EXPECT_EQ(ReleaseSharedCountIn(HKEY_LOCAL_MACHINE, strDenied.c_str(), strPath), SharedCount::Unreadable);
    EXPECT_EQ(ReleaseSharedCountIn(HKEY_LOCAL_MACHINE, (m_strKey + "\\Missing").c_str(), strPath), SharedCount::None);
}

TEST_F(Uninstall, WhatIsLeftStaysInTheLogForASecondRunThatReleasesNoCountTwice)
{
    const std::string strUnreadable = MakeFile("Aqua\\unreadable.dll");
    const std::string strUsed = MakeFile("used.dll");
    SetCountBytes(strUnreadable, 1, 8);
    SetCount(strUsed, 3);
    m_log.placedFiles = {strUnreadable, strUsed, MakeFile("Aqua\\Aqua.scr"), MakeFile("Aqua\\Unscr.log")};
    m_log.createdFolders = {Path("Aqua")};
    {
        CUninstall uninstall(m_log, m_strLogPath, true);
        uninstall.Run();
        EXPECT_EQ(uninstall.GetLeft(), std::vector<std::string>{strUnreadable});
        EXPECT_FALSE(uninstall.IsFinished());
    }
    EXPECT_FALSE(Exists(Path("Aqua\\Aqua.scr")));
    EXPECT_EQ(Count(strUsed), 2);
    ASSERT_TRUE(Exists(m_strLogPath));
    CPlainFile file;
    const UninstallLogContent rest = LoadUninstallLog(file, m_strLogPath);
    EXPECT_EQ(rest.strName, m_log.strName);
    EXPECT_EQ(rest.placedFiles, (std::vector<std::string>{strUnreadable, m_strLogPath}));
    EXPECT_EQ(rest.createdFolders, m_log.createdFolders);

    // The count readable again: the second run removes the rest and leaves the other
    // installation's use alone.
    SetCount(strUnreadable, 1);
    m_log = rest;
    EXPECT_EQ(Run(true), std::vector<std::string>{});
    EXPECT_FALSE(Exists(Path("Aqua")));
    EXPECT_EQ(Count(strUsed), 2);
    EXPECT_EQ(Count(strUnreadable), -1);
}

TEST_F(Uninstall, CommonKeyGoesOnlyWhenNoScreensaverHasAnythingInIt)
{
    const CPrefixLock lock;
    const struct {
        const char* pszCase;
        const char* pszValue;  // another screensaver's value, or ""
        const char* pszSubKey; // another screensaver's key, or ""
    } kCases[] = {{"empty", "", ""}, {"value", "OTHER SAVER", ""}, {"key", "", "C:/OTHER.SCR"}};
    for (const auto& test : kCases) {
        const std::string strValue = test.pszValue;
        const std::string strSubKey =
            *test.pszSubKey != '\0' ? std::string(kOlderVersionKey) + "\\" + test.pszSubKey : "";
        CRegKey key;
        ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, kOlderVersionKey), ERROR_SUCCESS);
        ASSERT_EQ(key.SetString("AQUA", "UnSc0472.exe"), ERROR_SUCCESS);
        ASSERT_TRUE(strValue.empty() || key.SetString(strValue.c_str(), "UnSc0815.exe") == ERROR_SUCCESS);
        key.Close();
        ASSERT_TRUE(strSubKey.empty() || key.Create(HKEY_LOCAL_MACHINE, strSubKey.c_str()) == ERROR_SUCCESS);
        key.Close();
        // As the setup logs them: its own value, and the key last, when its run created it.
        m_log.registryEntries.resize(2);
        ASSERT_TRUE(MakeRegistryEntry(kOlderVersionKey, "AQUA", m_log.registryEntries[0]));
        ASSERT_TRUE(MakeRegistryEntry(kOlderVersionKey, "", m_log.registryEntries[1]));

        EXPECT_TRUE(Run(true).empty()) << test.pszCase;
        const bool bForeign = !strValue.empty() || !strSubKey.empty();
        EXPECT_EQ(key.Open(HKEY_LOCAL_MACHINE, kOlderVersionKey, KEY_ALL_ACCESS) == ERROR_SUCCESS, bForeign)
            << test.pszCase;
        DWORD nType = 0;
        EXPECT_TRUE(!bForeign || key.QueryType("AQUA", nType) == ERROR_FILE_NOT_FOUND) << test.pszCase;
        if (!strValue.empty()) {
            EXPECT_EQ(key.QueryType(strValue.c_str(), nType), ERROR_SUCCESS) << test.pszCase;
            key.DeleteValue(strValue.c_str());
        }
        key.Close();
        if (!strSubKey.empty())
            CRegKey::DeleteKey(HKEY_LOCAL_MACHINE, strSubKey.c_str());
        RemoveKeyIfEmpty(HKEY_LOCAL_MACHINE, kOlderVersionKey);
    }
}

TEST_F(Uninstall, KeptSharedFileGoesOnlyWhenUnusedAndTheUserAgrees)
{
    const struct {
        const char* pszName;
        long nCountBefore;
        bool bSilent;
        int nAnswer;
        bool bAsked;
        bool bStays;
        long nCountAfter;
    } kCases[] = {
        {"used.dll", 2, false, IDYES, false, true, 1},    {"refused.dll", 1, false, IDNO, true, true, -1},
        {"agreed.dll", 1, false, IDYES, true, false, -1}, {"silent.dll", 1, true, IDYES, false, true, -1},
        {"uncounted.dll", -1, false, IDYES, false, true, -1},
    };
    for (const auto& test : kCases) {
        const std::string strPath = MakeFile(test.pszName);
        if (test.nCountBefore >= 0)
            SetCount(strPath, static_cast<DWORD>(test.nCountBefore));
        m_log.keptSharedFiles = {strPath};
        CMessageBoxRecorder recorder(test.nAnswer);
        EXPECT_TRUE(Run(test.bSilent).empty()) << test.pszName;
        EXPECT_EQ(Exists(strPath), test.bStays) << test.pszName;
        EXPECT_EQ(Count(strPath), test.nCountAfter) << test.pszName;
        ASSERT_EQ(recorder.m_boxes.size(), test.bAsked ? 1u : 0u) << test.pszName;
        if (test.bAsked) {
            EXPECT_EQ(recorder.m_boxes[0].strText, Message(IDS_UNINSTALL_SHARED_UNUSED, strPath));
            EXPECT_EQ(recorder.m_boxes[0].nStyle, static_cast<unsigned>(MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2));
        }
    }
}

TEST_F(Uninstall, ReadOnlyFileGoesAndAFolderInAFilesPlaceStays)
{
    const CPendingRenamesGuard pending(m_folder.Path());
    const std::string strReadOnly = MakeFile("locked.ini");
    ASSERT_TRUE(SetFileAttributesA(strReadOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string strFolder = Path("Aqua.scr");
    ASSERT_TRUE(CreateDirectoryA(strFolder.c_str(), nullptr));
    m_log.placedFiles = {strReadOnly, strFolder};
    std::vector<std::string> vecAtRestart;
    EXPECT_EQ(Run(false, &vecAtRestart), std::vector<std::string>{strFolder});
    EXPECT_TRUE(vecAtRestart.empty());
    EXPECT_FALSE(Exists(strReadOnly));
    EXPECT_TRUE(Exists(strFolder));
}

TEST_F(Uninstall, FolderHoldingOtherFilesStaysAndIsNamed)
{
    m_log.placedFiles = {MakeFile("Aqua\\Deep\\Deeper\\a.scr")};
    MakeFile("Aqua\\mine.txt");
    m_log.createdFolders = {Path("Aqua"), Path("Aqua\\Deep"), Path("Aqua\\Deep\\Deeper")};
    EXPECT_EQ(Run(), std::vector<std::string>{Path("Aqua")});
    EXPECT_FALSE(Exists(Path("Aqua\\Deep")));
    EXPECT_TRUE(Exists(Path("Aqua\\mine.txt")));
}

TEST_F(Uninstall, RegistryEntryThatStaysIsNamed)
{
    CRegKey key;
    ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, (m_strKey + "\\Saver").c_str()), ERROR_SUCCESS);
    m_log.registryEntries.resize(1);
    ASSERT_TRUE(MakeRegistryEntry(m_strKey, "", m_log.registryEntries[0]));
    EXPECT_EQ(Run(), std::vector<std::string>{"HKEY_LOCAL_MACHINE\\" + m_strKey});
}

TEST_F(Uninstall, FileInUseAndItsFolderWaitForTheNextStart)
{
    const CPendingRenamesGuard pending(m_folder.Path());
    const std::string strBusy = MakeFile("Aqua\\busy.scr");
    m_log.placedFiles = {strBusy, MakeFile("Aqua\\free.ini")};
    m_log.createdFolders = {Path("Aqua")};
    const std::string strOther = MakeFile("Other\\mine.txt");
    m_log.createdFolders.push_back(Path("Other"));
    const CHandle hBusy(
        CreateFileA(strBusy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(hBusy.IsValid());

    std::vector<std::string> vecAtRestart;
    // A folder holding the user's own file is no reason to wait: it is named as left.
    EXPECT_EQ(Run(false, &vecAtRestart), std::vector<std::string>{Path("Other")});
    EXPECT_EQ(vecAtRestart, (std::vector<std::string>{strBusy, Path("Aqua")}));
    EXPECT_TRUE(pending.DeletesAtRestart(strBusy));
    EXPECT_TRUE(pending.DeletesAtRestart(Path("Aqua")));
    EXPECT_FALSE(pending.DeletesAtRestart(Path("Other")));
    EXPECT_FALSE(Exists(Path("Aqua\\free.ini")));
    EXPECT_TRUE(Exists(strOther));
}
