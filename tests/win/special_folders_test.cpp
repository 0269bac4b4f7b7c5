// The special folders against the prefix's own answers: the system's folder calls and
// its long names, folder values in a scratch key, and short forms Wine hands out.
#include "sys/special_folders.h"
#include "tests/win/registry_scratch.h"
#include "tests/win/temp_folder.h"

#include <gtest/gtest.h>

namespace {
// The system's own long form of an existing path: the oracle for our expansion.
std::string LongForm(const std::string& strPath)
{
    char szLong[MAX_PATH] = "";
    const DWORD nLength = GetLongPathNameA(strPath.c_str(), szLong, sizeof szLong);
    EXPECT_TRUE(nLength != 0 && nLength < sizeof szLong) << strPath;
    return szLong;
}

std::string ShortForm(const std::string& strPath)
{
    char szShort[MAX_PATH] = "";
    const DWORD nLength = GetShortPathNameA(strPath.c_str(), szShort, sizeof szShort);
    EXPECT_TRUE(nLength != 0 && nLength < sizeof szShort) << strPath;
    return szShort;
}

std::string Upper(std::string strText)
{
    CharUpperBuffA(&strText[0], static_cast<DWORD>(strText.size()));
    return strText;
}

// A folder with long components, in a temporary folder whose own path is long-formed.
class SpecialFolders : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strLong = LongForm(m_temp.Path()) + "\\Lumidrop Long Folder Name";
        ASSERT_TRUE(CreateDirectoryA(m_strLong.c_str(), nullptr));
        m_strLong += "\\Second Long Component";
        ASSERT_TRUE(CreateDirectoryA(m_strLong.c_str(), nullptr));
        // Wine hashes short names: only its own answer tells what the 8.3 form is.
        m_strShort = ShortForm(m_strLong);
        ASSERT_NE(m_strShort, m_strLong);
    }

    CTempFolder m_temp;
    std::string m_strLong, m_strShort;
    CScratchKey m_key{"SpecialFolders"};
    const CSpecialFolders m_folders;
};
} // namespace

TEST_F(SpecialFolders, SystemFoldersComeInTheirLongForm)
{
    char szWindows[MAX_PATH] = "", szSystem[MAX_PATH] = "";
    ASSERT_NE(GetWindowsDirectoryA(szWindows, sizeof szWindows), 0u);
    ASSERT_NE(GetSystemDirectoryA(szSystem, sizeof szSystem), 0u);
    std::string strFolder;
    ASSERT_TRUE(m_folders.GetWindowsFolder(strFolder));
    EXPECT_EQ(strFolder, LongForm(szWindows));
    ASSERT_TRUE(m_folders.GetSystemFolder(strFolder));
    EXPECT_EQ(strFolder, LongForm(szSystem));
}

TEST_F(SpecialFolders, ProgramAndCommonFilesComeFromTheRegistry)
{
    HKEY hKey = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0, KEY_QUERY_VALUE, &hKey),
              ERROR_SUCCESS);
    for (const char* pszValue : {"ProgramFilesDir", "CommonFilesDir"}) {
        char szValue[MAX_PATH] = "";
        DWORD nSize = sizeof szValue;
        ASSERT_EQ(RegQueryValueExA(hKey, pszValue, nullptr, nullptr, reinterpret_cast<BYTE*>(szValue), &nSize),
                  ERROR_SUCCESS);
        std::string strFolder;
        const BOOL bFound = pszValue[0] == 'P' ? m_folders.GetProgramFilesFolder(strFolder)
                                               : m_folders.GetCommonFilesFolder(strFolder);
        ASSERT_TRUE(bFound) << pszValue;
        EXPECT_EQ(strFolder, LongForm(szValue)) << pszValue;
    }
    RegCloseKey(hKey);
}

TEST_F(SpecialFolders, FolderValuesAreTrimmedAndExpanded)
{
    const struct {
        std::string strStored;
        std::string strExpected;
    } cases[] = {
        {m_strLong, m_strLong},
        {m_strLong + "\\", m_strLong},
        // One backslash trimmed from the value, one more before expanding.
        {m_strLong + "\\\\", m_strLong},
        {m_strShort, m_strLong},
        {m_strShort + "\\", m_strLong},
        // The file system's spelling, not the value's.
        {Upper(m_strLong), m_strLong},
        // Missing: only made absolute; the value was still read.
        {m_strLong + "\\Missing\\Deeper\\", m_strLong + "\\Missing\\Deeper"},
        {m_strShort + "\\.\\..\\Missing", m_strShort.substr(0, m_strShort.rfind('\\')) + "\\Missing"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(m_key.SetText("", "Folder", c.strStored));
        std::string strFolder;
        EXPECT_TRUE(m_folders.GetRegistryFolder(HKEY_CURRENT_USER, m_key.Path().c_str(), "Folder", strFolder))
            << c.strStored;
        EXPECT_EQ(strFolder, c.strExpected) << c.strStored;
    }
}

TEST_F(SpecialFolders, UnreadableValuesFail)
{
    ASSERT_TRUE(m_key.SetText("", "Folder", m_strLong));
    // A default value that a null name must not reach.
    ASSERT_TRUE(m_key.SetText("", nullptr, m_strLong));
    std::string strFolder;
    EXPECT_FALSE(m_folders.GetRegistryFolder(HKEY_CURRENT_USER, m_key.Path().c_str(), "Missing", strFolder));
    EXPECT_FALSE(m_folders.GetRegistryFolder(HKEY_CURRENT_USER, m_key.Path().c_str(), nullptr, strFolder));
    EXPECT_FALSE(
        m_folders.GetRegistryFolder(HKEY_CURRENT_USER, (m_key.Path() + "\\Missing").c_str(), "Folder", strFolder));
}

TEST_F(SpecialFolders, NormaliseSucceedsOnlyForExistingPaths)
{
    std::string strOut;
    EXPECT_TRUE(CSpecialFolders::Normalize(m_strShort + "\\", strOut));
    EXPECT_EQ(strOut, m_strLong);
    EXPECT_FALSE(CSpecialFolders::Normalize(m_strShort + "\\Missing", strOut));
    EXPECT_EQ(strOut, m_strShort + "\\Missing");
}

TEST_F(SpecialFolders, LongNameExpansionInPlace)
{
    const struct {
        std::string strPath;
        int nExpected; // the new length; -1 for a failure
        std::string strAfter;
    } cases[] = {
        {"", 0, ""},
        {"C", 1, "C"},
        {"C:", 2, "C:"},
        {m_strShort, static_cast<int>(m_strLong.size()), m_strLong},
        {Upper(m_strLong), static_cast<int>(m_strLong.size()), m_strLong},
        // A failure leaves the path as it was.
        {m_strShort + "\\Missing", -1, m_strShort + "\\Missing"},
        {"NoBackslashAtAll", -1, "NoBackslashAtAll"},
    };
    for (const auto& c : cases) {
        char szPath[MAX_PATH] = "";
        lstrcpynA(szPath, c.strPath.c_str(), sizeof szPath);
        EXPECT_EQ(CSpecialFolders::ExpandLongNames(szPath, MAX_PATH), c.nExpected) << c.strPath;
        EXPECT_EQ(std::string(szPath), c.strAfter) << c.strPath;
    }
}

TEST_F(SpecialFolders, ARelativePathFailsWhole)
{
    // Its last component is found, its first has no backslash before it: the failure
    // comes from below, after the path was cut, and the cut must be mended.
    char szPrevious[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof szPrevious, szPrevious);
    ASSERT_TRUE(SetCurrentDirectoryA(m_temp.Path().c_str()));
    char szPath[MAX_PATH] = "Lumidrop Long Folder Name\\Second Long Component";
    const std::string strBefore = szPath;
    const int nResult = CSpecialFolders::ExpandLongNames(szPath, MAX_PATH);
    SetCurrentDirectoryA(szPrevious);
    EXPECT_EQ(nResult, -1);
    EXPECT_EQ(std::string(szPath), strBefore);
}

TEST_F(SpecialFolders, LongNameExpansionStaysWithinItsCapacity)
{
    // Room for the short form, but not for every long name: the result is cut, ends in
    // a zero inside the capacity, and nothing past it is touched.
    const int nCapacity = static_cast<int>(m_strShort.size()) + 1;
    ASSERT_LT(nCapacity, static_cast<int>(m_strLong.size()) + 1);
    std::string strBuffer(MAX_PATH, '#');
    lstrcpynA(&strBuffer[0], m_strShort.c_str(), nCapacity);
    const int nLength = CSpecialFolders::ExpandLongNames(&strBuffer[0], nCapacity);
    EXPECT_LT(nLength, nCapacity);
    EXPECT_EQ(strBuffer.c_str(), m_strLong.substr(0, static_cast<std::size_t>(nLength)));
    EXPECT_EQ(strBuffer.find_first_not_of('#', static_cast<std::size_t>(nCapacity)), std::string::npos);
}
