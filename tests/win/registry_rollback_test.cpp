// Undoing registry entries against the real registry, below HKEY_LOCAL_MACHINE as the
// setup writes them, in a scratch key that each test removes again.
#include "engine/registry_rollback.h"
#include "framework/reg_key.h"

#include <gtest/gtest.h>

#include <string>

class RegistryRollback : public ::testing::Test {
protected:
    void SetUp() override
    {
        CRegKey key;
        ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, Key("Whole").c_str()), ERROR_SUCCESS);
        ASSERT_EQ(key.SetString("Destination", "C:\\Aqua"), ERROR_SUCCESS);
        ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, Key("Values").c_str()), ERROR_SUCCESS);
        ASSERT_EQ(key.SetString("AQUA", "C:\\WINDOWS\\UnSc0472.exe"), ERROR_SUCCESS);
        ASSERT_EQ(key.SetString("OTHER", "stays"), ERROR_SUCCESS);
        ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, Key("Parent\\Child").c_str()), ERROR_SUCCESS);
    }
    void TearDown() override
    {
        for (const char* pszKey : {"Whole", "Values", "Parent\\Child", "Parent"})
            CRegKey::DeleteKey(HKEY_LOCAL_MACHINE, Key(pszKey).c_str());
        CRegKey::DeleteKey(HKEY_LOCAL_MACHINE, m_strRoot.c_str());
    }

    std::string Key(const char* pszName) const { return m_strRoot + "\\" + pszName; }

    RegistryEntry Entry(const char* pszKey, const char* pszValue = "") const
    {
        RegistryEntry entry;
        EXPECT_TRUE(MakeRegistryEntry(Key(pszKey), pszValue, entry));
        return entry;
    }

    static bool KeyExists(const std::string& strKey)
    {
        CRegKey key;
        return key.Open(HKEY_LOCAL_MACHINE, strKey.c_str(), KEY_READ) == ERROR_SUCCESS;
    }

    static bool ValueExists(const std::string& strKey, const char* pszValue)
    {
        CRegKey key;
        DWORD nType = 0;
        return key.Open(HKEY_LOCAL_MACHINE, strKey.c_str(), KEY_READ) == ERROR_SUCCESS &&
               key.QueryType(pszValue, nType) == ERROR_SUCCESS;
    }

    const std::string m_strRoot = "Software\\Lumidrop Test Rollback " + std::to_string(GetCurrentProcessId());
};

// Wine takes a root handle cut to 32 bits as well, so only a comparison shows the sign.
TEST(RegistryRoot, RecordValueIsThePredefinedHandle)
{
    EXPECT_EQ(RegistryRootKey(kRootLocalMachine), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(RegistryRootKey(0x80000001), HKEY_CURRENT_USER);
}

TEST_F(RegistryRollback, WholeKeyGoesAndAValueGoesAloneFromItsKey)
{
    RollBackRegistryEntries({Entry("Whole"), Entry("Values", "AQUA")});
    EXPECT_FALSE(KeyExists(Key("Whole")));
    EXPECT_FALSE(ValueExists(Key("Values"), "AQUA"));
    EXPECT_TRUE(ValueExists(Key("Values"), "OTHER"));
}

TEST_F(RegistryRollback, FailuresAreIgnoredAndTheRestStillGoes)
{
    // A key with a sub-key of its own cannot be deleted as a whole; entries never created
    // cannot be deleted at all. Neither stops the entries after them.
    RollBackRegistryEntries({Entry("Parent"), Entry("Missing"), Entry("Missing", "AQUA"), Entry("Values", "NONE"),
                             Entry("Whole")});
    EXPECT_TRUE(KeyExists(Key("Parent\\Child")));
    EXPECT_FALSE(KeyExists(Key("Whole")));
}

TEST_F(RegistryRollback, EachEntryTellsWhetherItIsGone)
{
    const struct {
        const char* pszKey;
        const char* pszValue;
        bool bGone;
    } kCases[] = {{"Whole", "", true},          {"Values", "AQUA", true},   {"Missing", "", true},
                  {"Missing", "AQUA", true},    {"Values", "NONE", true},   {"Parent", "", false}};
    for (const auto& test : kCases)
        EXPECT_EQ(RemoveRegistryEntry(Entry(test.pszKey, test.pszValue)), test.bGone)
            << test.pszKey << ": " << test.pszValue;
    EXPECT_TRUE(KeyExists(Key("Parent")));
}
