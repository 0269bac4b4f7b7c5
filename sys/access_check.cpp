#include "sys/access_check.h"

#include "sys/access_rights.h"
#include "sys/message_text.h"
#include "sys/my_exception.h"
#include "sys/os_version.h"
#include "sys/special_folders.h"

#include <windows.h>

namespace {
constexpr unsigned kNoRightsMessage = 228;
constexpr DWORD kKeyRightsNeeded = KEY_READ | KEY_WRITE;
constexpr DWORD kFolderRightsNeeded = FILE_GENERIC_READ | FILE_GENERIC_WRITE | FILE_GENERIC_EXECUTE;

struct RootAbbreviation {
    const char* pszName;
    HKEY hRoot;
};
const RootAbbreviation kRoots[] = {
    {"HKCR", HKEY_CLASSES_ROOT},
    {"HKCU", HKEY_CURRENT_USER},
    {"HKLM", HKEY_LOCAL_MACHINE},
};
constexpr std::size_t kRootLength = 4;

void TestKey(const CAccessRights& rights, const std::string& strKey)
{
    HKEY hRoot = nullptr;
    for (const RootAbbreviation& root : kRoots) {
        if (strKey.compare(0, kRootLength, root.pszName) == 0)
            hRoot = root.hRoot;
    }
    if (hRoot == nullptr)
        ThrowMyException();
    // The text after root and backslash; the root alone names the root key itself.
    const std::string strSubKey = strKey.size() > kRootLength ? strKey.substr(kRootLength + 1) : std::string();
    DWORD nGranted = 0;
    if (!rights.GetKeyRights(hRoot, strSubKey.c_str(), &nGranted) || !AreAllAccessesGranted(nGranted, kKeyRightsNeeded))
        ThrowMyException();
}

void TestFolder(const CAccessRights& rights, const std::string& strFolder)
{
    DWORD nGranted = 0;
    if (!rights.GetFileRights(strFolder.c_str(), &nGranted) || !AreAllAccessesGranted(nGranted, kFolderRightsNeeded))
        ThrowMyException();
}
} // namespace

const std::vector<std::string>& AccessCheckKeys()
{
    static const std::vector<std::string> s_vecKeys = {
        "HKLM\\Software",
        "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
        "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    };
    return s_vecKeys;
}

bool GatherSpecialFolders(std::vector<std::string>& vecFolders)
{
    using Query = BOOL (CSpecialFolders::*)(std::string&) const;
    static const Query s_queries[] = {
        &CSpecialFolders::GetWindowsFolder,
        &CSpecialFolders::GetProgramFilesFolder,
        &CSpecialFolders::GetCommonFilesFolder,
        &CSpecialFolders::GetSystemFolder,
    };
    const CSpecialFolders folders;
    for (Query pfnQuery : s_queries) {
        std::string strFolder;
        if (!(folders.*pfnQuery)(strFolder))
            return false;
        vecFolders.push_back(strFolder);
    }
    return true;
}

int CheckAccessRights()
{
    if (COsVersion().GetPlatform() != COsVersion::kWindowsNt)
        return 1;
    return CheckAccessRightsOf(AccessCheckKeys(), GatherSpecialFolders);
}

int CheckAccessRightsOf(const std::vector<std::string>& vecKeys, FolderGatherer pfnGatherFolders)
{
    try {
        try {
            std::vector<std::string> vecFolders;
            if (!pfnGatherFolders(vecFolders))
                ThrowMyException();
            const CAccessRights rights;
            for (const std::string& strKey : vecKeys)
                TestKey(rights, strKey);
            for (const std::string& strFolder : vecFolders)
                TestFolder(rights, strFolder);
        } catch (...) {
            // One box for every kind of failure; the tests stop at the first.
            MessageBoxByNumber(kNoRightsMessage, MB_ICONEXCLAMATION);
            throw;
        }
    } catch (CMyException* pException) {
        pException->Delete();
        return 0;
    } catch (CException* pException) {
        pException->Delete();
        return 0;
    } catch (...) {
        return 0;
    }
    return 1;
}
