// The engine's file helpers against real files and folders.
#include "engine/file_helpers.h"
#include "framework/handle.h"
#include "tests/native/package_test_support.h"

#include <windows.h>

#include <cstdlib>

namespace {
std::string CurrentFolder()
{
    char szFolder[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof szFolder, szFolder);
    return szFolder;
}
} // namespace

class FileHelpers : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateDirectoryA(m_strFolder.c_str(), nullptr);
        WriteAll(m_strFile, RandomBytes(300, 1));
    }

    CTempFolder m_root;
    const std::string m_strFile = m_root.File("user.spd");
    const std::string m_strFolder = m_root.File("folder");
    const std::string m_strMissing = m_root.File("missing");
};

TEST_F(FileHelpers, FileExistsOnlyForFiles)
{
    EXPECT_TRUE(FileExists(m_strFile));
    EXPECT_FALSE(FileExists(m_strFolder));
    EXPECT_FALSE(FileExists(m_strMissing));
}

TEST_F(FileHelpers, FileExistsBeyondOpenFilesPathLimit)
{
    const std::string strDeep = m_root.File(std::string(130, 'd'));
    ASSERT_TRUE(CreateDirectoryA(strDeep.c_str(), nullptr));
    const std::string strPath = strDeep + "\\user.spd";
    WriteAll(strPath, RandomBytes(10, 1));
    ASSERT_GE(strPath.size(), static_cast<std::size_t>(OFS_MAXPATHNAME));
    EXPECT_TRUE(FileExists(strPath));
}

TEST_F(FileHelpers, FileHeldWithoutSharingCountsAsMissingButIsThere)
{
    CHandle hHolder(CreateFileA(m_strFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(hHolder.IsValid());
    const struct {
        std::string strPath;
        bool bThere;
    } kCases[] = {{m_strFile, true}, {m_strMissing, false}, {m_strMissing + "\\user.spd", false}};
    for (const auto& c : kCases) {
        bool bThere = !c.bThere;
        EXPECT_FALSE(FileExists(c.strPath, &bThere)) << c.strPath;
        EXPECT_EQ(bThere, c.bThere) << c.strPath;
    }
}

TEST_F(FileHelpers, FolderExistsOnlyForFoldersAndLeavesTheCurrentFolder)
{
    const std::string strBefore = CurrentFolder();
    struct Case {
        std::string strPath;
        bool bExists;
    };
    for (const Case& c : {Case{m_strFolder, true}, Case{m_strFolder + "\\", true}, Case{m_strFile, false},
                          Case{m_strMissing, false}}) {
        SCOPED_TRACE(c.strPath);
        EXPECT_EQ(FolderExists(c.strPath), c.bExists);
        EXPECT_EQ(CurrentFolder(), strBefore);
    }
}

TEST(StripToFileName, KeepsTheTextAfterTheLastSeparator)
{
    struct Case {
        const char* pszPath;
        const char* pszResult;
        bool bCut;
    };
    const Case kCases[] = {
        {"C:\\Setup\\user.spd", "user.spd", true},
        {"disks/Disk 2/user.001", "user.001", true},
        {"A:user.002", "user.002", true},
        {"C:\\Setup\\", "", true},
        {"user.spd", "user.spd", false},
        {"", "", false},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.pszPath);
        std::string strPath = c.pszPath;
        EXPECT_EQ(StripToFileName(strPath), c.bCut);
        EXPECT_EQ(strPath, c.pszResult);
    }
}

TEST_F(FileHelpers, CopyToFolderComparesSizesOnlyWhenItMustNotOverwrite)
{
    const Bytes kSource = RandomBytes(300, 1);
    struct Case {
        const char* pszWhat;
        std::size_t nPresent; // bytes of a target already there; 0: none
        bool bFailIfExists;
        int nResult;
        bool bTargetIsSource; // the target holds the source's bytes afterwards
    };
    const Case kCases[] = {
        {"new target", 0, true, 0, true},
        {"same size kept", 300, true, 1, false},
        {"other size refused", 200, true, -1, false},
        {"overwritten", 200, false, 0, true},
    };
    for (const std::string& strFolder : {m_strFolder, m_strFolder + "\\"}) {
        for (const Case& c : kCases) {
            SCOPED_TRACE(strFolder + ": " + c.pszWhat);
            const std::string strTarget = m_strFolder + "\\user.spd";
            DeleteFileA(strTarget.c_str());
            if (c.nPresent > 0)
                WriteAll(strTarget, RandomBytes(c.nPresent, 2));
            EXPECT_EQ(CopyToFolder(m_strFile, strFolder, c.bFailIfExists), c.nResult);
            EXPECT_EQ(ReadAll(strTarget) == kSource, c.bTargetIsSource);
        }
    }
    EXPECT_EQ(CopyToFolder(m_strMissing, m_strFolder, false), -1);
    EXPECT_EQ(CopyToFolder(m_strFile, m_strMissing, true), -1);
}

TEST(MakeRandomName, DrawsLowerCaseLettersThatRepeatWithTheSeed)
{
    std::string strFirst;
    std::string strSecond;
    std::srand(7);
    MakeRandomName(strFirst, 8);
    std::srand(7);
    MakeRandomName(strSecond, 8);
    EXPECT_EQ(strFirst, strSecond);
    ASSERT_EQ(strFirst.size(), 8u);
    for (char ch : strFirst)
        EXPECT_TRUE(ch >= 'a' && ch <= 'z') << ch;
    MakeRandomName(strSecond, 3);
    EXPECT_EQ(strSecond.size(), 3u);
}
