// The access-rights check against the prefix's real security: what the prefix grants,
// objects whose descriptors deny writing, missing keys and values, Windows 98.
#include "sys/access_check.h"
#include "sys/access_rights.h"
#include "sys/message_text.h"
#include "sys/os_version.h"
#include "tests/common/message_box_recorder.h"
#include "tests/win/program_copy.h"
#include "tests/win/registry_scratch.h"
#include "tests/win/temp_folder.h"

#include <sddl.h>

#include <gtest/gtest.h>

namespace {
constexpr const char* kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

// A descriptor written in the system's descriptor language, freed with LocalFree.
class CSddlDescriptor {
public:
    explicit CSddlDescriptor(const char* pszSddl)
    {
        ConvertStringSecurityDescriptorToSecurityDescriptorA(pszSddl, SDDL_REVISION_1, &m_pDescriptor, nullptr);
    }
    CSddlDescriptor(const CSddlDescriptor&) = delete;
    CSddlDescriptor& operator=(const CSddlDescriptor&) = delete;
    ~CSddlDescriptor() { LocalFree(m_pDescriptor); }
    PSECURITY_DESCRIPTOR Get() const { return m_pDescriptor; }

private:
    PSECURITY_DESCRIPTOR m_pDescriptor = nullptr;
};

// Everyone may read (and, for folders, list and enter), nobody may write. Generic rights,
// which only the mapping of the object's kind turns into that kind's rights.
constexpr const char* kReadOnlyKey = "D:P(A;;GR;;;WD)";
constexpr const char* kReadOnlyFolder = "D:P(A;;GRGX;;;WD)";

// The folder the test's gatherer hands to the check.
std::string g_strGatheredFolder;

bool GatherTestFolder(std::vector<std::string>& vecFolders)
{
    vecFolders.push_back(g_strGatheredFolder);
    return true;
}

bool GatherNothingFound(std::vector<std::string>&)
{
    return false;
}

class AccessCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(m_key.Get(), nullptr);
        ASSERT_TRUE(m_key.SetText("Writable", "Value", "x"));
        ASSERT_TRUE(m_key.SetText("ReadOnly", "Value", "x"));
        // A writable key whose text names a root, though not at its start.
        ASSERT_TRUE(m_key.SetText("HKCU", "Value", "x"));
        HKEY hReadOnly = nullptr;
        ASSERT_EQ(RegOpenKeyExA(m_key.Get(), "ReadOnly", 0, WRITE_DAC, &hReadOnly), ERROR_SUCCESS);
        const CSddlDescriptor readOnly(kReadOnlyKey);
        ASSERT_EQ(RegSetKeySecurity(hReadOnly, DACL_SECURITY_INFORMATION, readOnly.Get()), ERROR_SUCCESS);
        RegCloseKey(hReadOnly);

        m_strWritableFolder = m_temp.File("Writable");
        m_strReadOnlyFolder = m_temp.File("Read Only");
        ASSERT_TRUE(CreateDirectoryA(m_strWritableFolder.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA(m_strReadOnlyFolder.c_str(), nullptr));
        const CSddlDescriptor readOnlyFolder(kReadOnlyFolder);
        ASSERT_TRUE(SetFileSecurityA(m_strReadOnlyFolder.c_str(), DACL_SECURITY_INFORMATION, readOnlyFolder.Get()));
    }

    std::string ScratchKey(const char* pszSubKey) const { return "HKCU\\" + m_key.Path() + "\\" + pszSubKey; }

    // The check's result, with the boxes it showed.
    int Check(const std::vector<std::string>& vecKeys, FolderGatherer pfnGather, std::vector<ShownBox>& vecBoxes)
    {
        CMessageBoxRecorder recorder;
        const int nResult = CheckAccessRightsOf(vecKeys, pfnGather);
        vecBoxes = recorder.m_boxes;
        return nResult;
    }

    CScratchKey m_key{"AccessCheck"};
    CTempFolder m_temp;
    std::string m_strWritableFolder, m_strReadOnlyFolder;
    const CAccessRights m_rights;
};

// What a failed check must have shown: message 228, once, with the exclamation icon.
void ExpectOneNoRightsBox(const std::vector<ShownBox>& vecBoxes, const std::string& strCase)
{
    std::string strText;
    ASSERT_TRUE(LoadMessage(228, strText));
    ASSERT_EQ(vecBoxes.size(), 1u) << strCase;
    EXPECT_EQ(vecBoxes[0].strText, strText) << strCase;
    EXPECT_EQ(vecBoxes[0].nStyle, static_cast<unsigned>(MB_ICONEXCLAMATION)) << strCase;
}
} // namespace

TEST_F(AccessCheck, ThePrefixGrantsFullControl)
{
    DWORD nGranted = 0;
    ASSERT_TRUE(m_rights.GetKeyRights(HKEY_LOCAL_MACHINE, "Software", &nGranted));
    EXPECT_EQ(nGranted & KEY_ALL_ACCESS, static_cast<DWORD>(KEY_ALL_ACCESS));
    char szWindows[MAX_PATH] = "";
    ASSERT_NE(GetWindowsDirectoryA(szWindows, sizeof szWindows), 0u);
    ASSERT_TRUE(m_rights.GetFileRights(szWindows, &nGranted));
    EXPECT_EQ(nGranted & FILE_ALL_ACCESS, static_cast<DWORD>(FILE_ALL_ACCESS));
}

TEST_F(AccessCheck, DescriptorsThatDenyWritingGrantOnlyReading)
{
    const std::string strReadOnlyKey = m_key.Path() + "\\ReadOnly";
    DWORD nGranted = 0;
    ASSERT_TRUE(m_rights.GetKeyRights(HKEY_CURRENT_USER, strReadOnlyKey.c_str(), &nGranted));
    EXPECT_EQ(nGranted & KEY_READ, static_cast<DWORD>(KEY_READ));
    EXPECT_EQ(nGranted & (KEY_SET_VALUE | KEY_CREATE_SUB_KEY), 0u);
    ASSERT_TRUE(m_rights.GetFileRights(m_strReadOnlyFolder.c_str(), &nGranted));
    EXPECT_EQ(nGranted & FILE_GENERIC_READ, static_cast<DWORD>(FILE_GENERIC_READ));
    EXPECT_EQ(nGranted & (FILE_WRITE_DATA | FILE_APPEND_DATA), 0u);
}

// Entries that grant generic rights mean, for each kind of object, that kind's rights.
TEST_F(AccessCheck, GenericEntriesAreMappedByTheKindOfObject)
{
    // An owner nobody is, so that no right comes from owning the object.
    const CSddlDescriptor generic("O:S-1-0-0G:S-1-0-0D:P(A;;GRGWGX;;;WD)");
    ASSERT_NE(generic.Get(), nullptr);
    DWORD nGranted = 0;
    ASSERT_TRUE(CAccessRights::GetGrantedRights(generic.Get(), &CAccessRights::s_keyMapping, &nGranted));
    EXPECT_EQ(nGranted, static_cast<DWORD>(KEY_READ | KEY_WRITE | KEY_EXECUTE));
    ASSERT_TRUE(CAccessRights::GetGrantedRights(generic.Get(), &CAccessRights::s_fileMapping, &nGranted));
    EXPECT_EQ(nGranted, static_cast<DWORD>(FILE_GENERIC_READ | FILE_GENERIC_WRITE | FILE_GENERIC_EXECUTE));
}

TEST_F(AccessCheck, MissingObjectsHaveNoRights)
{
    DWORD nGranted = 0;
    EXPECT_FALSE(m_rights.GetKeyRights(HKEY_CURRENT_USER, (m_key.Path() + "\\Missing").c_str(), &nGranted));
    EXPECT_FALSE(m_rights.GetKeyRights(HKEY_CURRENT_USER, nullptr, &nGranted));
    EXPECT_FALSE(m_rights.GetFileRights(m_temp.File("Missing").c_str(), &nGranted));
    EXPECT_FALSE(m_rights.GetFileRights(m_strWritableFolder.c_str(), nullptr));
}

TEST_F(AccessCheck, ThePrefixPasses)
{
    CMessageBoxRecorder recorder;
    EXPECT_EQ(CheckAccessRights(), 1);
    EXPECT_TRUE(recorder.m_boxes.empty());
}

TEST_F(AccessCheck, EachMissingRightFailsWithOneBox)
{
    const std::vector<std::string>& vecDefault = AccessCheckKeys();
    const struct {
        const char* pszCase;
        std::vector<std::string> vecKeys;
        std::string strFolder; // given to the check in place of the special folders
        int nExpected;
    } cases[] = {
        {"writable", {ScratchKey("Writable"), vecDefault[0]}, m_strWritableFolder, 1},
        {"the root key alone", {"HKCU"}, m_strWritableFolder, 1},
        {"read-only key", {ScratchKey("Writable"), ScratchKey("ReadOnly")}, m_strWritableFolder, 0},
        {"read-only folder", {ScratchKey("Writable")}, m_strReadOnlyFolder, 0},
        {"missing key", {ScratchKey("Missing")}, m_strWritableFolder, 0},
        {"missing folder", {}, m_temp.File("Missing"), 0},
        {"unknown root", {"HKXX\\Software"}, m_strWritableFolder, 0},
        {"root not at the start", {"XXXX\\" + m_key.Path() + "\\HKCU"}, m_strWritableFolder, 0},
        // Two failures still give one box.
        {"two failures", {ScratchKey("ReadOnly"), ScratchKey("Missing")}, m_strReadOnlyFolder, 0},
    };
    for (const auto& c : cases) {
        g_strGatheredFolder = c.strFolder;
        std::vector<ShownBox> vecBoxes;
        EXPECT_EQ(Check(c.vecKeys, GatherTestFolder, vecBoxes), c.nExpected) << c.pszCase;
        if (c.nExpected == 1)
            EXPECT_TRUE(vecBoxes.empty()) << c.pszCase;
        else
            ExpectOneNoRightsBox(vecBoxes, c.pszCase);
    }
}

TEST_F(AccessCheck, FoldersThatCannotBeFoundFailTheCheck)
{
    std::vector<ShownBox> vecBoxes;
    EXPECT_EQ(Check({ScratchKey("Writable")}, GatherNothingFound, vecBoxes), 0);
    ExpectOneNoRightsBox(vecBoxes, "no folders");
}

TEST_F(AccessCheck, TheSpecialFoldersAreGatheredInOrder)
{
    char szWindows[MAX_PATH] = "", szSystem[MAX_PATH] = "";
    GetWindowsDirectoryA(szWindows, sizeof szWindows);
    GetSystemDirectoryA(szSystem, sizeof szSystem);
    std::vector<std::string> vecFolders;
    ASSERT_TRUE(GatherSpecialFolders(vecFolders));
    ASSERT_EQ(vecFolders.size(), 4u);
    EXPECT_EQ(vecFolders[0], szWindows);
    EXPECT_EQ(vecFolders[3], szSystem);
    // Common files lie below program files.
    EXPECT_EQ(vecFolders[2].compare(0, vecFolders[1].size() + 1, vecFolders[1] + "\\"), 0)
        << vecFolders[1] << " / " << vecFolders[2];
}

namespace {
constexpr const char* kReportVariable = "LUMIDROP_ACCESS_CHECK_REPORT";

// Runs in a copy of this program to which Wine reports Windows 98 (test below): writes
// the platform, the check's result and the number of boxes it showed.
TEST(DISABLED_AccessCheckReport, WritesWhatTheCheckDid)
{
    char szReport[MAX_PATH] = "";
    ASSERT_NE(GetEnvironmentVariableA(kReportVariable, szReport, sizeof szReport), 0u);
    CMessageBoxRecorder recorder;
    const int nResult = CheckAccessRights();
    const std::string strReport = std::to_string(COsVersion().GetPlatform()) + " " + std::to_string(nResult) + " " +
                                  std::to_string(recorder.m_boxes.size());
    ASSERT_TRUE(WriteWholeFile(szReport, strReport.data(), static_cast<DWORD>(strReport.size())));
}
} // namespace

// Without "CommonFilesDir" the check fails on NT; Windows 98 has nothing to check.
TEST_F(AccessCheck, MissingCommonFilesFailsOnNtAndWindows98IsNotChecked)
{
    const CRemovedValue commonFiles(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "CommonFilesDir");
    ASSERT_TRUE(commonFiles.IsRemoved());
    {
        CMessageBoxRecorder recorder;
        EXPECT_EQ(CheckAccessRights(), 0);
        ExpectOneNoRightsBox(recorder.m_boxes, "NT without CommonFilesDir");
    }
    const std::string strPid = std::to_string(GetCurrentProcessId());
    const char* pszFilter = "DISABLED_AccessCheckReport.*";
    EXPECT_EQ(RunInCopy(m_temp, "nt-" + strPid + ".exe", pszFilter, kReportVariable), "2 0 1");
    const std::string strWin98 = "w98-" + strPid + ".exe";
    const CWin98Program win98(strWin98);
    ASSERT_TRUE(win98.IsSet());
    EXPECT_EQ(RunInCopy(m_temp, strWin98, pszFilter, kReportVariable), "1 1 0");
}
