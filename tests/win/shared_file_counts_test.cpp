// Usage counts in the system's shared-file key, against the real registry; every value a
// test writes is deleted again.
#include "engine/shared_file_counts.h"
#include "engine/installation_lists.h"
#include "engine/registry_before_image.h"
#include "framework/reg_key.h"
#include "sys/my_exception.h"

#include <gtest/gtest.h>

namespace {
// A value name no real installation uses, one per test program.
std::string SharedPath(const char* pszName)
{
    return "C:\\lumidrop-test-" + std::to_string(GetCurrentProcessId()) + "\\" + pszName;
}
} // namespace

class SharedCounts : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A fresh prefix lacks the key; the test makes it then, and removes it again.
        DWORD nDisposition = 0;
        ASSERT_EQ(m_key.Create(HKEY_LOCAL_MACHINE, kSharedDllsKey, KEY_ALL_ACCESS, &nDisposition), ERROR_SUCCESS);
        m_bKeyMade = nDisposition == REG_CREATED_NEW_KEY;
    }
    void TearDown() override
    {
        for (const std::string& strPath : m_vecPaths)
            m_key.DeleteValue(strPath.c_str());
        m_key.Close();
        if (m_bKeyMade)
            CRegKey::DeleteKey(HKEY_LOCAL_MACHINE, kSharedDllsKey);
    }

    std::string Path(const char* pszName)
    {
        m_vecPaths.push_back(SharedPath(pszName));
        return m_vecPaths.back();
    }

    DWORD Count(const std::string& strPath)
    {
        DWORD nCount = 0;
        EXPECT_EQ(m_key.QueryDword(strPath.c_str(), nCount), ERROR_SUCCESS) << strPath;
        return nCount;
    }

    CRegKey m_key;
    bool m_bKeyMade = false;
    std::vector<CRegistryBefore> m_before;
    std::vector<std::string> m_vecPaths;
};

TEST_F(SharedCounts, FirstCountIsOneAndEachInstallationAddsOne)
{
    const std::string strFirst = Path("lumi.dll");
    const std::string strSecond = Path("lumi.ocx");
    CountSharedFiles({strFirst}, m_before);
    EXPECT_EQ(Count(strFirst), 1u);
    CountSharedFiles({strFirst, strSecond}, m_before);
    EXPECT_EQ(Count(strFirst), 2u);
    EXPECT_EQ(Count(strSecond), 1u);
    // A path listed twice in one run is counted twice.
    CountSharedFiles({strSecond, strSecond}, m_before);
    EXPECT_EQ(Count(strSecond), 3u);
}

TEST_F(SharedCounts, EachCountIsReadWithFourBytesWhateverCameBefore)
{
    // A value too long for four bytes counts as 0; a shorter one is read as far as it goes.
    // Neither may change the room offered for the next file's count.
    const std::string strLong = Path("long.dll");
    const std::string strShort = Path("short.dll");
    const std::string strAfter = Path("after.dll");
    const BYTE kEightBytes[8] = {9, 9, 9, 9, 9, 9, 9, 9};
    const BYTE kTwoBytes[2] = {5, 0};
    ASSERT_EQ(m_key.SetValue(strLong.c_str(), REG_BINARY, kEightBytes, sizeof kEightBytes), ERROR_SUCCESS);
    ASSERT_EQ(m_key.SetValue(strShort.c_str(), REG_BINARY, kTwoBytes, sizeof kTwoBytes), ERROR_SUCCESS);
    ASSERT_EQ(m_key.SetDword(strAfter.c_str(), 0x01020304), ERROR_SUCCESS);
    CountSharedFiles({strLong, strShort, strAfter}, m_before);
    EXPECT_EQ(Count(strLong), 1u);
    EXPECT_EQ(Count(strShort), 6u);
    EXPECT_EQ(Count(strAfter), 0x01020305u);
}

TEST_F(SharedCounts, CountOfAnotherTypeIsTakenAsStored)
{
    const std::string strPath = Path("binary.dll");
    const BYTE kFive[4] = {5, 0, 0, 0};
    ASSERT_EQ(m_key.SetValue(strPath.c_str(), REG_BINARY, kFive, sizeof kFive), ERROR_SUCCESS);
    CountSharedFiles({strPath}, m_before);
    EXPECT_EQ(Count(strPath), 6u);
}

// A failed run's roll-back: another program's count goes back to what it was, as stored,
// and a count the run created goes, even one it raised twice.
TEST_F(SharedCounts, GivingBackLowersEveryRaisedCountAndDeletesTheRunsOwn)
{
    const std::string strOther = Path("other.dll");
    const std::string strBinary = Path("binary.dll");
    const std::string strNew = Path("new.dll");
    const BYTE kFive[4] = {5, 0, 0, 0};
    ASSERT_EQ(m_key.SetDword(strOther.c_str(), 2), ERROR_SUCCESS);
    ASSERT_EQ(m_key.SetValue(strBinary.c_str(), REG_BINARY, kFive, sizeof kFive), ERROR_SUCCESS);
    CountSharedFiles({strOther, strBinary, strNew, strNew}, m_before);
    GiveBackRegistry(m_before);

    EXPECT_EQ(Count(strOther), 2u);
    DWORD nType = 0;
    BYTE data[4] = {};
    DWORD nSize = sizeof data;
    EXPECT_EQ(m_key.QueryValue(strBinary.c_str(), &nType, data, nSize), ERROR_SUCCESS);
    EXPECT_EQ(nType, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(data[0], 5);
    EXPECT_EQ(m_key.QueryType(strNew.c_str(), nType), ERROR_FILE_NOT_FOUND);
}

TEST(SharedCountsKey, MissingKeyIsNotCreatedAndEndsTheRunSilently)
{
    const std::string strKey = "Software\\Lumidrop Test missing " + std::to_string(GetCurrentProcessId());
    try {
        std::vector<CRegistryBefore> before;
        CountSharedFilesIn(HKEY_CURRENT_USER, strKey.c_str(), {SharedPath("lumi.dll")}, before);
        ADD_FAILURE() << "no exception";
    } catch (CSetupException* pError) {
        ADD_FAILURE() << "a silent failure was expected";
        pError->Delete();
    } catch (CMyException* pError) {
        pError->Delete();
    }
    CRegKey key;
    EXPECT_EQ(key.Open(HKEY_CURRENT_USER, strKey.c_str(), KEY_READ), ERROR_FILE_NOT_FOUND);
}

TEST(SharedCountsKey, NothingToCountOpensNothing)
{
    std::vector<CRegistryBefore> before;
    EXPECT_NO_THROW(CountSharedFilesIn(HKEY_CURRENT_USER, "Software\\Lumidrop Test never", {}, before));
}
