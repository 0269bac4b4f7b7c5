// The registry key class against the real registry, in a scratch key of its own under
// HKEY_CURRENT_USER\Software that each test removes again.
#include "framework/reg_key.h"

#include <gtest/gtest.h>

#include <cstring>

class RegKey : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(m_key.Create(HKEY_CURRENT_USER, m_strKey.c_str()), ERROR_SUCCESS);
    }
    void TearDown() override
    {
        m_key.Close();
        CRegKey::DeleteKey(HKEY_CURRENT_USER, (m_strKey + "\\Sub\\Deeper").c_str());
        CRegKey::DeleteKey(HKEY_CURRENT_USER, (m_strKey + "\\Sub").c_str());
        CRegKey::DeleteKey(HKEY_CURRENT_USER, m_strKey.c_str());
    }

    // The value exactly as stored: its type and bytes.
    std::pair<DWORD, std::string> Stored(const char* pszName)
    {
        char data[64] = {};
        DWORD nType = REG_NONE;
        DWORD nSize = sizeof data;
        EXPECT_EQ(RegQueryValueExA(m_key.Get(), pszName, nullptr, &nType, reinterpret_cast<BYTE*>(data), &nSize),
                  ERROR_SUCCESS)
            << pszName;
        return {nType, std::string(data, nSize)};
    }

    const std::string m_strKey = "Software\\Lumidrop Test RegKey " + std::to_string(GetCurrentProcessId());
    CRegKey m_key;
};

TEST_F(RegKey, CreateMakesMissingKeysAndOpensExistingOnes)
{
    const std::string strDeeper = m_strKey + "\\Sub\\Deeper";
    CRegKey key;
    DWORD nDisposition = 0;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, strDeeper.c_str(), KEY_ALL_ACCESS, &nDisposition), ERROR_SUCCESS);
    EXPECT_EQ(nDisposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, strDeeper.c_str(), KEY_READ, &nDisposition), ERROR_SUCCESS);
    EXPECT_EQ(nDisposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    EXPECT_NE(key.Get(), nullptr);
}

TEST_F(RegKey, OpenNeverCreatesAndGrantsOnlyTheRightsAsked)
{
    CRegKey key;
    EXPECT_EQ(key.Open(HKEY_CURRENT_USER, (m_strKey + "\\Missing").c_str(), KEY_ALL_ACCESS), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key.Get(), nullptr);
    EXPECT_EQ(key.Open(HKEY_CURRENT_USER, (m_strKey + "\\Missing").c_str(), KEY_READ), ERROR_FILE_NOT_FOUND);

    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, m_strKey.c_str(), KEY_READ), ERROR_SUCCESS);
    EXPECT_EQ(key.SetDword("Count", 1), ERROR_ACCESS_DENIED);
    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, m_strKey.c_str(), KEY_READ | KEY_SET_VALUE), ERROR_SUCCESS);
    EXPECT_EQ(key.SetDword("Count", 1), ERROR_SUCCESS);
}

TEST_F(RegKey, WritesStoreTheTypeAndBytesGiven)
{
    ASSERT_EQ(m_key.SetString("Destination", "C:\\PROGRA~1\\LUMI"), ERROR_SUCCESS);
    ASSERT_EQ(m_key.SetString("Empty", ""), ERROR_SUCCESS);
    ASSERT_EQ(m_key.SetDword("Count", 0x01020304), ERROR_SUCCESS);
    ASSERT_EQ(m_key.SetValue("Raw", REG_BINARY, "\x01\x00\x02", 3), ERROR_SUCCESS);
    struct Case {
        const char* pszName;
        DWORD nType;
        std::string strBytes;
    };
    const Case kCases[] = {
        // Texts count their terminating zero.
        {"Destination", REG_SZ, std::string("C:\\PROGRA~1\\LUMI", 17)},
        {"Empty", REG_SZ, std::string(1, '\0')},
        {"Count", REG_DWORD, std::string("\x04\x03\x02\x01", 4)},
        {"Raw", REG_BINARY, std::string("\x01\x00\x02", 3)},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(Stored(c.pszName), std::make_pair(c.nType, c.strBytes)) << c.pszName;
}

TEST_F(RegKey, ReadsCheckTheStoredType)
{
    ASSERT_EQ(m_key.SetDword("Dword", 42), ERROR_SUCCESS);
    ASSERT_EQ(m_key.SetString("Text", "42"), ERROR_SUCCESS);
    ASSERT_EQ(m_key.SetValue("Four", REG_BINARY, "\x2A\0\0\0", 4), ERROR_SUCCESS);
    ASSERT_EQ(m_key.SetValue("Eight", REG_DWORD, "\x2A\0\0\0\0\0\0\0", 8), ERROR_SUCCESS);
    struct Case {
        const char* pszName;
        LONG nTypeResult;
        DWORD nType;
        LONG nDwordResult;
        DWORD nDword; // what QueryDword leaves in a variable that held 7
    };
    const Case kCases[] = {
        {"Dword", ERROR_SUCCESS, REG_DWORD, ERROR_SUCCESS, 42},
        {"Text", ERROR_SUCCESS, REG_SZ, ERROR_UNSUPPORTED_TYPE, 7},
        {"Four", ERROR_SUCCESS, REG_BINARY, ERROR_UNSUPPORTED_TYPE, 7},
        {"Eight", ERROR_SUCCESS, REG_DWORD, ERROR_UNSUPPORTED_TYPE, 7},
        {"Missing", ERROR_FILE_NOT_FOUND, REG_NONE, ERROR_FILE_NOT_FOUND, 7},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.pszName);
        DWORD nType = REG_NONE;
        EXPECT_EQ(m_key.QueryType(c.pszName, nType), c.nTypeResult);
        if (c.nTypeResult == ERROR_SUCCESS) {
            EXPECT_EQ(nType, c.nType);
        }
        DWORD nValue = 7;
        EXPECT_EQ(m_key.QueryDword(c.pszName, nValue), c.nDwordResult);
        EXPECT_EQ(nValue, c.nDword);
    }
}

TEST_F(RegKey, RawReadGivesTypeAndSizeAndAsksForMoreRoom)
{
    ASSERT_EQ(m_key.SetString("Text", "abcdef"), ERROR_SUCCESS);
    char data[16] = {};
    DWORD nType = REG_NONE;
    DWORD nSize = 4;
    EXPECT_EQ(m_key.QueryValue("Text", &nType, data, nSize), ERROR_MORE_DATA);
    EXPECT_EQ(nSize, 7u);
    nSize = sizeof data;
    EXPECT_EQ(m_key.QueryValue("Text", &nType, data, nSize), ERROR_SUCCESS);
    EXPECT_EQ(nType, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(nSize, 7u);
    EXPECT_STREQ(data, "abcdef");

    std::string strText;
    EXPECT_TRUE(m_key.QueryString("Text", strText, 7));
    EXPECT_EQ(strText, "abcdef");
    EXPECT_FALSE(m_key.QueryString("Text", strText, 6));
}

TEST_F(RegKey, DefaultValueIsReadAsText)
{
    CRegKey sub;
    ASSERT_EQ(sub.Create(HKEY_CURRENT_USER, (m_strKey + "\\Sub").c_str()), ERROR_SUCCESS);
    ASSERT_EQ(sub.SetString(nullptr, "htmlfile"), ERROR_SUCCESS);
    std::string strValue;
    EXPECT_EQ(sub.QueryDefault(strValue, 260), ERROR_SUCCESS);
    EXPECT_EQ(strValue, "htmlfile");
    std::string strShort = "unchanged";
    EXPECT_EQ(sub.QueryDefault(strShort, 4), ERROR_MORE_DATA);
    EXPECT_EQ(strShort, "unchanged");
}

TEST_F(RegKey, DeleteValueAndKey)
{
    ASSERT_EQ(m_key.SetDword("Count", 1), ERROR_SUCCESS);
    EXPECT_EQ(m_key.DeleteValue("Count"), ERROR_SUCCESS);
    DWORD nType = REG_NONE;
    EXPECT_EQ(m_key.QueryType("Count", nType), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(m_key.DeleteValue("Count"), ERROR_FILE_NOT_FOUND);

    const std::string strSub = m_strKey + "\\Sub";
    {
        CRegKey sub;
        ASSERT_EQ(sub.Create(HKEY_CURRENT_USER, strSub.c_str()), ERROR_SUCCESS);
    }
    EXPECT_EQ(CRegKey::DeleteKey(HKEY_CURRENT_USER, strSub.c_str()), ERROR_SUCCESS);
    CRegKey sub;
    EXPECT_EQ(sub.Open(HKEY_CURRENT_USER, strSub.c_str(), KEY_READ), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(CRegKey::DeleteKey(HKEY_CURRENT_USER, strSub.c_str()), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegKey, ClosedKeyRefusesEveryCall)
{
    m_key.Close();
    EXPECT_EQ(m_key.Get(), nullptr);
    DWORD nValue = 0;
    std::string strValue;
    EXPECT_EQ(m_key.SetDword("Count", 1), ERROR_INVALID_HANDLE);
    EXPECT_EQ(m_key.QueryDword("Count", nValue), ERROR_INVALID_HANDLE);
    EXPECT_EQ(m_key.QueryDefault(strValue, 260), ERROR_INVALID_HANDLE);
    EXPECT_EQ(m_key.DeleteValue("Count"), ERROR_INVALID_HANDLE);
}
