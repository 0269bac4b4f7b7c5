// CFile: exclusive opening, short reads at the end, and failures thrown as CFileException.
#include "framework/file.h"
#include "tests/win/temp_folder.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
// Runs f and returns the CFileException it throws (null when it throws none).
template <class F>
std::unique_ptr<CFileException, void (*)(CFileException*)> CatchFileException(F f)
{
    auto deleter = [](CFileException* p) { p->Delete(); };
    try {
        f();
    } catch (CFileException* pException) {
        return {pException, deleter};
    }
    return {nullptr, deleter};
}
} // namespace

TEST(File, ExclusiveOpenShutsOutEveryOtherOpen)
{
    CTempFolder folder;
    const std::string strPath = folder.File("data.bin");
    ASSERT_TRUE(WriteWholeFile(strPath, "0123456789", 10));

    CFile first(strPath, CFile::modeRead | CFile::shareExclusive);
    auto pError = CatchFileException([&] { CFile second(strPath, CFile::modeRead | CFile::shareDenyNone); });
    ASSERT_NE(pError, nullptr);
    EXPECT_EQ(pError->m_nCause, CFileException::sharingViolation);
    EXPECT_EQ(pError->m_nOperation, CFileException::opOpen);
    EXPECT_EQ(pError->m_strFileName, strPath);
    EXPECT_NE(pError->Describe().find(strPath), std::string::npos);

    // Once the first is closed the file opens again.
    first.Close();
    EXPECT_EQ(CatchFileException([&] { CFile third(strPath, CFile::modeRead | CFile::shareExclusive); }), nullptr);
}

TEST(File, DenyWriteLetsReadersInButNotWriters)
{
    CTempFolder folder;
    const std::string strPath = folder.File("data.bin");
    ASSERT_TRUE(WriteWholeFile(strPath, "abc", 3));
    CFile file(strPath, CFile::modeRead | CFile::shareDenyWrite);
    EXPECT_EQ(CatchFileException([&] { CFile reader(strPath, CFile::modeRead | CFile::shareDenyNone); }), nullptr);
    auto pError = CatchFileException([&] { CFile writer(strPath, CFile::modeWrite | CFile::shareDenyNone); });
    ASSERT_NE(pError, nullptr);
    EXPECT_EQ(pError->m_nCause, CFileException::sharingViolation);
}

TEST(File, ReadIsShortAtTheEndAndThenZero)
{
    CTempFolder folder;
    const std::string strPath = folder.File("data.bin");
    ASSERT_TRUE(WriteWholeFile(strPath, "0123456789", 10));
    CFile file(strPath, CFile::modeRead | CFile::shareExclusive);
    char buffer[192] = {};
    EXPECT_EQ(file.Read(buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 6u);
    EXPECT_EQ(std::string(buffer, 6), "456789");
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);
    EXPECT_EQ(file.GetLength(), 10u);
}

TEST(File, MissingFileThrowsOnOpen)
{
    CTempFolder folder;
    auto pError = CatchFileException([&] { CFile file(folder.File("none.bin"), CFile::modeRead); });
    ASSERT_NE(pError, nullptr);
    EXPECT_EQ(pError->m_nCause, CFileException::fileNotFound);
    EXPECT_EQ(pError->m_lOsError, static_cast<long>(ERROR_FILE_NOT_FOUND));
}

TEST(File, FailingReadThrows)
{
    CTempFolder folder;
    const std::string strPath = folder.File("data.bin");
    // Opened for writing only, the handle cannot be read from.
    CFile file(strPath, CFile::modeWrite | CFile::modeCreate | CFile::shareExclusive);
    file.Write("xyz", 3);
    char buffer[8];
    auto pError = CatchFileException([&] { file.Read(buffer, sizeof buffer); });
    ASSERT_NE(pError, nullptr);
    EXPECT_EQ(pError->m_nOperation, CFileException::opRead);
    EXPECT_EQ(pError->m_nCause, CFileException::accessDenied);
}

TEST(File, FailingWriteThrows)
{
    CTempFolder folder;
    const std::string strPath = folder.File("data.bin");
    ASSERT_TRUE(WriteWholeFile(strPath, "abc", 3));
    CFile file(strPath, CFile::modeRead | CFile::shareExclusive);
    auto pError = CatchFileException([&] { file.Write("xyz", 3); });
    ASSERT_NE(pError, nullptr);
    EXPECT_EQ(pError->m_nOperation, CFileException::opWrite);
}

TEST(File, SeekMovesAndBadSeekThrows)
{
    CTempFolder folder;
    const std::string strPath = folder.File("data.bin");
    ASSERT_TRUE(WriteWholeFile(strPath, "0123456789", 10));
    CFile file(strPath, CFile::modeRead | CFile::shareExclusive);
    EXPECT_EQ(file.Seek(-3, CFile::end), 7u);
    char ch = 0;
    EXPECT_EQ(file.Read(&ch, 1), 1u);
    EXPECT_EQ(ch, '7');
    auto pError = CatchFileException([&] { file.Seek(-100, CFile::begin); });
    ASSERT_NE(pError, nullptr);
    EXPECT_EQ(pError->m_nOperation, CFileException::opSeek);
}

TEST(File, WriteThenReadBackAfterCreate)
{
    CTempFolder folder;
    const std::string strPath = folder.File("data.bin");
    {
        CFile file(strPath, CFile::modeWrite | CFile::modeCreate | CFile::shareExclusive);
        file.Write("hello", 5);
    }
    CFile file(strPath, CFile::modeRead | CFile::shareExclusive);
    char buffer[8] = {};
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 5u);
    EXPECT_EQ(std::string(buffer, 5), "hello");
}
