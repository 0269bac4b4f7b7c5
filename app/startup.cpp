#include "app/startup.h"

#include "app/startup_rules.h"
#include "format/package_records.h"
#include "framework/file.h"
#include "framework/reg_key.h"

namespace {
// Path buffers of the system calls hold this many bytes.
constexpr DWORD kPathBuffer = 260;

// The first kSetupHeaderSize bytes of the package; false when it cannot be opened or
// is shorter. Other programs may read it meanwhile but not change it.
bool ReadHeaderBytes(const std::string& strPath, unsigned char* pBytes)
{
    try {
        CFile file(strPath, CFile::modeRead | CFile::shareDenyWrite);
        return file.Read(pBytes, kSetupHeaderSize) == kSetupHeaderSize;
    } catch (CFileException* pException) {
        pException->Delete();
        return false;
    }
}
} // namespace

void ReadPlatformFacts(CSetupConfig& config)
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    static_assert(sizeof(OSVERSIONINFOA) == 148, "the version query expects the 148-byte structure");
    config.m_bWin9x = GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? 1 : 0;
    config.m_wLanguage = PrimaryLanguageOf(GetUserDefaultLangID());
}

std::string GetModuleFolder()
{
    char szPath[kPathBuffer] = "";
    const DWORD nLength = GetModuleFileNameA(nullptr, szPath, kPathBuffer);
    return FolderOfModulePath(std::string(szPath, nLength < kPathBuffer ? nLength : kPathBuffer - 1));
}

bool ReadPackageFacts(CSetupConfig& config, const char* pszSystemKey)
{
    // Only the version is checked here; the setup thread checks the rest of the header
    // when it reads the package.
    unsigned char header[kSetupHeaderSize] = {};
    if (!ReadHeaderBytes(config.m_strSourceDir + "\\user.spd", header))
        return false;
    const SetupHeader setupHeader = DecodeSetupHeader(header);
    if (setupHeader.version != kFormatVersion)
        return false;
    config.m_strName = FieldText(setupHeader.packageName);
    // The name makes the registry names the installation owns: without it, the uninstall
    // entry and the package-name value would stand for whole keys that other screensavers
    // share, and a roll-back or uninstall would delete them.
    if (config.m_strName.empty())
        return false;

    CRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, pszSystemKey, KEY_READ) != ERROR_SUCCESS)
        return false;
    if (!key.QueryString("ProgramFilesDir", config.m_strProgramFiles, kPathBuffer))
        return false;
    key.Close();

    config.m_strDefaultDest = MakeDefaultDestination(config.m_strProgramFiles, FieldText(setupHeader.defaultFolder));
    return true;
}
