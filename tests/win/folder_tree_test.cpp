// Creating folder trees and undoing a run's files and folders, in real folders.
#include "engine/file_helpers.h"
#include "engine/folder_lists.h"
#include "engine/folder_tree.h"
#include "framework/handle.h"
#include "tests/win/temp_folder.h"

#include <gtest/gtest.h>

namespace {
// A drive letter that names no root on this system, or 0 when every letter is taken.
char MissingDrive()
{
    for (char chDrive = 'Y'; chDrive >= 'D'; --chDrive) {
        const char szRoot[] = {chDrive, ':', '\\', '\0'};
        if (GetDriveTypeA(szRoot) == DRIVE_NO_ROOT_DIR)
            return chDrive;
    }
    return 0;
}

std::string UpperShortPath(const std::string& strPath)
{
    char szShort[MAX_PATH] = "";
    GetShortPathNameA(strPath.c_str(), szShort, sizeof szShort);
    CharUpperA(szShort);
    return szShort;
}
} // namespace

class Folders : public ::testing::Test {
protected:
    CTempFolder m_base;
    const std::string m_strSaver = m_base.File("Saver");
    const std::string m_strData = m_base.File("Saver\\Data");
    std::vector<std::string> m_createdFolders;
};

TEST_F(Folders, TreeCreatesAndRecordsEveryLevelParentFirst)
{
    for (const std::string& strAsked : {m_strData, m_strData + "\\"}) {
        SCOPED_TRACE(strAsked);
        m_createdFolders.clear();
        RemoveDirectoryA(m_strData.c_str());
        RemoveDirectoryA(m_strSaver.c_str());
        ASSERT_TRUE(CreateRecordedFolder(strAsked, m_createdFolders));
        EXPECT_TRUE(FolderExists(m_strSaver));
        EXPECT_TRUE(FolderExists(m_strData));
        EXPECT_EQ(m_createdFolders, (std::vector<std::string>{m_strSaver, m_strData}));
    }
}

TEST_F(Folders, RollBackRemovesTheRecordedLevelsAndLeavesTheParentThatExisted)
{
    ASSERT_TRUE(CreateRecordedFolder(m_strData, m_createdFolders));
    EXPECT_TRUE(RemoveFolderList(m_createdFolders));
    EXPECT_TRUE(m_createdFolders.empty());
    EXPECT_FALSE(FolderExists(m_strSaver));
    EXPECT_TRUE(FolderExists(m_base.Path()));
}

TEST_F(Folders, FolderThatExistedBeforeIsNotRecorded)
{
    ASSERT_TRUE(CreateDirectoryA(m_strSaver.c_str(), nullptr));
    EXPECT_TRUE(CreateRecordedFolder(m_strSaver, m_createdFolders));
    EXPECT_TRUE(m_createdFolders.empty());
    RemoveFolderList(m_createdFolders);
    EXPECT_TRUE(FolderExists(m_strSaver));
}

TEST_F(Folders, MissingDriveRootFailsAndCreatesNothing)
{
    const char chDrive = MissingDrive();
    ASSERT_NE(chDrive, 0) << "every drive letter is in use";
    const std::string strDrive(1, chDrive);
    const std::string strPath = strDrive + ":\\Apps\\Saver";
    // The root alone has no level to create: only the drive's own check can refuse it.
    for (const std::string& strRoot : {strDrive + ":", strDrive + ":\\"})
        EXPECT_FALSE(CreateFolderTree(strRoot)) << strRoot;
    EXPECT_TRUE(CreateFolderTree("C:\\"));
    EXPECT_FALSE(CreateFolderTree(strPath));
    EXPECT_FALSE(CreateRecordedFolder(strPath, m_createdFolders));
    EXPECT_TRUE(m_createdFolders.empty());
    // The walk stops at the root: not even a folder named like the drive is made here.
    EXPECT_FALSE(FolderExists(strDrive + ":"));
}

TEST_F(Folders, LevelBlockedByAFileFails)
{
    ASSERT_TRUE(WriteWholeFile(m_strSaver, "x", 1));
    EXPECT_FALSE(CreateRecordedFolder(m_strData, m_createdFolders));
    EXPECT_TRUE(m_createdFolders.empty());
}

TEST_F(Folders, RemoveFolderListTakesSubFoldersFirstAndKeepsOnlyFailures)
{
    const std::string strX = m_base.File("X");
    const std::string strY = strX + "\\Y";
    const std::string strFull = m_base.File("Full");
    ASSERT_TRUE(CreateDirectoryA(strX.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(strY.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(strFull.c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(strFull + "\\kept.txt", "x", 1));

    // In creation order: the parent first, as folder creation records them.
    std::vector<std::string> vecFolders = {strX, m_base.File("Gone"), strFull, strY};
    EXPECT_FALSE(RemoveFolderList(vecFolders));
    EXPECT_FALSE(FolderExists(strY));
    EXPECT_FALSE(FolderExists(strX));
    EXPECT_TRUE(FolderExists(strFull));
    EXPECT_EQ(vecFolders, std::vector<std::string>{UpperShortPath(strFull)});
}

TEST_F(Folders, DeleteFileListKeepsOnlyFilesThatStay)
{
    const std::string strGone = m_base.File("gone.dll");
    const std::string strMissing = m_base.File("missing.dll");
    const std::string strHeld = m_base.File("held.dll");
    ASSERT_TRUE(WriteWholeFile(strGone, "x", 1));
    ASSERT_TRUE(WriteWholeFile(strHeld, "x", 1));
    {
        const CHandle held(CreateFileA(strHeld.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held.IsValid());
        std::vector<std::string> vecFiles = {strGone, strMissing, strHeld};
        EXPECT_FALSE(DeleteFileList(vecFiles));
        EXPECT_EQ(vecFiles, (std::vector<std::string>{strMissing, strHeld}));
        EXPECT_FALSE(FileExists(strGone));
    }
    std::vector<std::string> vecFiles = {strHeld};
    EXPECT_TRUE(DeleteFileList(vecFiles));
    EXPECT_TRUE(vecFiles.empty());
}
