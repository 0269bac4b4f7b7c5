#include "scr/saver_settings.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

namespace {

constexpr const char* kSection = "Lumidrop";

class CRegKey {
public:
    CRegKey(HKEY hParent, const std::string& strSubKey)
    {
        if (RegOpenKeyExA(hParent, strSubKey.c_str(), 0, KEY_QUERY_VALUE, &m_hKey) != ERROR_SUCCESS)
            m_hKey = nullptr;
    }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;
    ~CRegKey()
    {
        if (m_hKey != nullptr)
            RegCloseKey(m_hKey);
    }

    // Empty when the key or a text value of that name is missing.
    std::string ReadString(const char* pszName) const
    {
        char szValue[MAX_PATH] = "";
        DWORD nType = 0;
        DWORD nSize = sizeof szValue - 1;
        if (m_hKey == nullptr ||
            RegQueryValueExA(m_hKey, pszName, nullptr, &nType, reinterpret_cast<BYTE*>(szValue), &nSize) !=
                ERROR_SUCCESS ||
            nType != REG_SZ)
            return std::string();
        // The buffer keeps a zero after the longest value it accepts.
        return std::string(szValue);
    }

private:
    HKEY m_hKey = nullptr;
};

std::string ModulePath()
{
    char szPath[MAX_PATH] = "";
    const DWORD nLength = GetModuleFileNameA(nullptr, szPath, sizeof szPath);
    return std::string(szPath, nLength < sizeof szPath ? nLength : 0);
}

// The key name the setup derives from the installed module's path.
std::string SetupKeyName(const std::string& strModule)
{
    char szShort[MAX_PATH] = "";
    const DWORD nLength = GetShortPathNameA(strModule.c_str(), szShort, sizeof szShort);
    std::string strName = nLength > 0 && nLength < sizeof szShort ? std::string(szShort, nLength) : strModule;
    for (char& ch : strName)
        ch = ch == '\\' ? '/' : static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return strName;
}

int ReadInt(const std::string& strPath, const char* pszKey, int nDefault, int nMin, int nMax)
{
    const int nValue = static_cast<int>(GetPrivateProfileIntA(kSection, pszKey, nDefault, strPath.c_str()));
    return nValue < nMin || nValue > nMax ? nDefault : nValue;
}

} // namespace

std::string SettingsFilePath()
{
    const std::string strModule = ModulePath();
    const std::string strRecorded =
        CRegKey(HKEY_LOCAL_MACHINE, "Software\\Lumidrop Screensaver\\" + SetupKeyName(strModule)).ReadString("Config");
    if (!strRecorded.empty())
        return strRecorded;
    const std::size_t nSlash = strModule.find_last_of('\\');
    return (nSlash == std::string::npos ? std::string() : strModule.substr(0, nSlash + 1)) + "lumidrop.ini";
}

SSaverSettings LoadSettings(const std::string& strPath)
{
    SSaverSettings settings;
    settings.nDrops = ReadInt(strPath, "Drops", SSaverSettings::kDefaultDrops, SSaverSettings::kMinDrops,
                              SSaverSettings::kMaxDrops);
    settings.nSpeed = ReadInt(strPath, "Speed", SSaverSettings::kDefaultSpeed, SSaverSettings::kMinSpeed,
                              SSaverSettings::kMaxSpeed);
    return settings;
}

bool SaveSettings(const std::string& strPath, const SSaverSettings& settings)
{
    const bool bDrops =
        WritePrivateProfileStringA(kSection, "Drops", std::to_string(settings.nDrops).c_str(), strPath.c_str()) != 0;
    const bool bSpeed =
        WritePrivateProfileStringA(kSection, "Speed", std::to_string(settings.nSpeed).c_str(), strPath.c_str()) != 0;
    // Flushes the profile cache of Windows 9x, so that a preview started next reads the new values.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, strPath.c_str());
    return bDrops && bSpeed;
}
