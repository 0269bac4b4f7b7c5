#include "engine/registration.h"

#include "app/setup_config.h"
#include "app/setup_thread_link.h"
#include "engine/display_settings.h"
#include "engine/file_helpers.h"
#include "engine/installation_lists.h"
#include "engine/registry_before_image.h"
#include "engine/replaced_files.h"
#include "format/package_exception.h"
#include "format/plain_file.h"
#include "format/registry_entry.h"
#include "engine/short_path.h"
#include "format/uninstall_command.h"
#include "format/uninstall_log.h"
#include "engine/uninstaller_unpacking.h"
#include "framework/message_box.h"
#include "framework/reg_key.h"
#include "sys/message_text.h"
#include "sys/my_exception.h"

#include <algorithm>

namespace {
constexpr const char* kScreensaverKey = "Software\\Lumidrop Screensaver";
constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr unsigned kLogNotCreatedMessage = 223;

std::string UpperCase(std::string strText)
{
    if (!strText.empty())
        CharUpperBuffA(&strText[0], static_cast<DWORD>(strText.size()));
    return strText;
}

// The key name of the screensaver's own key: one path, and the registry takes no '\'
// inside a key name.
std::string ScreensaverKeyName(const std::string& strModulePath)
{
    std::string strName = UpperCase(ShortPathOf(strModulePath));
    std::replace(strName.begin(), strName.end(), '\\', '/');
    return strName;
}

RegistryEntry EntryOrThrow(const std::string& strSubKey, const std::string& strValueName, unsigned nPhase)
{
    RegistryEntry entry;
    if (!MakeRegistryEntry(strSubKey, strValueName, entry))
        ThrowPackageException(nPhase, CAUSE_UNEXPECTED, "registry name does not fit its record: " + strSubKey +
                                                            (strValueName.empty() ? "" : " / " + strValueName));
    return entry;
}

// Creates the log, asking Retry/Cancel while it cannot be; false after Cancel.
bool CreateLogFile(CPlainFile& log, const std::string& strLogPath)
{
    while (!log.CreateReadWrite(strLogPath)) {
        std::string strText;
        FormatOne(strText, kLogNotCreatedMessage, strLogPath.c_str());
        if (ShowMessageBox(strText, MB_RETRYCANCEL | MB_ICONEXCLAMATION) != IDRETRY)
            return false;
    }
    return true;
}

void WriteUninstallEntry(const CSetupConfig& config, const std::string& strLogPath, CInstallationLists& lists)
{
    const std::string strSubKey = std::string(kUninstallKey) + "\\" + config.m_strName;
    const RegistryEntry entry = EntryOrThrow(strSubKey, "", PHASE_FINISHING);
    CRegKey key;
    if (CreateNotedKey(lists.registryBefore, key, HKEY_LOCAL_MACHINE, strSubKey, KEY_WRITE) != ERROR_SUCCESS)
        ThrowSetupException(PHASE_FINISHING, CAUSE_UNEXPECTED);
    lists.registryEntries.push_back(entry);
    for (const char* pszValue : {"DisplayName", "UninstallString"})
        NoteValueBefore(lists.registryBefore, HKEY_LOCAL_MACHINE, strSubKey, pszValue);
    if (key.SetString("DisplayName", config.m_strName) != ERROR_SUCCESS ||
        key.SetString("UninstallString", MakeUninstallCommand(config.m_strUninstaller, strLogPath, false)) !=
            ERROR_SUCCESS)
        ThrowSetupException(PHASE_FINISHING, CAUSE_UNEXPECTED);
}

// The command a later setup of the same package runs to remove this installation first.
void WritePackageNameValue(const CRegistrationInputs& inputs, const CSetupConfig& config,
                           const std::string& strLogPath, CInstallationLists& lists)
{
    const std::string strValueName = UpperCase(inputs.m_strPackageName);
    lists.registryEntries.push_back(EntryOrThrow(kScreensaverKey, strValueName, PHASE_FILES));
    CRegKey key;
    if (CreateNotedKey(lists.registryBefore, key, HKEY_LOCAL_MACHINE, kScreensaverKey, KEY_WRITE) != ERROR_SUCCESS)
        ThrowSetupException(PHASE_FILES, CAUSE_UNEXPECTED);
    NoteValueBefore(lists.registryBefore, HKEY_LOCAL_MACHINE, kScreensaverKey, strValueName);
    if (key.SetString(strValueName.c_str(), MakeUninstallCommand(config.m_strUninstaller, strLogPath, true)) !=
            ERROR_SUCCESS)
        ThrowSetupException(PHASE_FILES, CAUSE_UNEXPECTED);
}

void WriteLogContent(CPlainFile& log, const CSetupConfig& config, const CInstallationLists& lists,
                     CSetupThreadLink& link)
{
    UninstallLogContent content;
    content.strName = config.m_strName;
    content.placedFiles = lists.placedFiles;
    content.keptSharedFiles = lists.keptSharedFiles;
    content.createdFolders = lists.createdFolders;
    content.registryEntries = lists.registryEntries;
    // Last, so that the uninstaller finds it empty once it has removed the entries above.
    if (lists.m_bCreatesProductKey)
        content.registryEntries.push_back(EntryOrThrow(kScreensaverKey, "", PHASE_FINISHING));
    const std::vector<unsigned char> image = BuildUninstallLogImage(content);
    link.CheckCancel();
    const std::vector<unsigned char> file = PackUninstallLog(image);
    log.Write(file.data(), file.size());
    log.Close();
}
} // namespace

void WriteScreensaverKey(const CSetupConfig& config, CInstallationLists& lists)
{
    if (lists.m_strScreensaverPath.empty())
        return;
    const std::string strSubKey = std::string(kScreensaverKey) + "\\" + ScreensaverKeyName(lists.m_strScreensaverPath);
    lists.registryEntries.push_back(EntryOrThrow(strSubKey, "", PHASE_FILES));
    CRegKey key;
    if (CreateNotedKey(lists.registryBefore, key, HKEY_LOCAL_MACHINE, strSubKey,
                       KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY) != ERROR_SUCCESS)
        ThrowSetupException(PHASE_FILES, CAUSE_UNEXPECTED);
    for (const char* pszValue : {"Destination", "Config"})
        NoteValueBefore(lists.registryBefore, HKEY_LOCAL_MACHINE, strSubKey, pszValue);
    if (key.SetString("Destination", ShortPathOf(config.m_strDestination)) != ERROR_SUCCESS)
        ThrowSetupException(PHASE_FILES, CAUSE_UNEXPECTED);
    if (!lists.m_strConfigPath.empty() && key.SetString("Config", ShortPathOf(lists.m_strConfigPath)) != ERROR_SUCCESS)
        ThrowSetupException(PHASE_FILES, CAUSE_UNEXPECTED);
}

void RecordInstallation(const CRegistrationInputs& inputs, CSetupConfig& config, CInstallationLists& lists,
                        CSetupThreadLink& link)
{
    link.CheckCancel();
    const std::string strLogPath = config.m_strDestination + "\\" + kUninstallLogName;
    // Refused before the file exists: a log listing a cut path would have the uninstaller
    // delete whatever that path names.
    if (!FileFitsInLog(strLogPath))
        ThrowPackageException(PHASE_FINISHING, CAUSE_UNEXPECTED, "uninstall log path does not fit its record: " + strLogPath);

    // An older installation's log at the same path is given back by a roll-back.
    if (FileExists(strLogPath) && !KeepExistingFile(lists.replacedFiles, strLogPath, inputs.m_strTempFolder))
        ThrowSetupException(PHASE_FINISHING, CAUSE_FILE_ERROR);
    CPlainFile log;
    config.m_strUninstaller.clear();
    // Without a log the installation still stands; only its removal is lost.
    if (CreateLogFile(log, strLogPath)) {
        lists.placedFiles.push_back(strLogPath);
        const std::string strUninstaller = NewUninstallerPath(inputs.m_strWindowsFolder);
        if (UnpackUninstaller(inputs.m_strSetupCopy, strUninstaller)) {
            // Not in the log, which it reads: it deletes itself. A roll-back deletes it.
            lists.unloggedFiles.push_back(strUninstaller);
            config.m_strUninstaller = strUninstaller;
            WriteUninstallEntry(config, strLogPath, lists);
            WritePackageNameValue(inputs, config, strLogPath, lists);
            WriteLogContent(log, config, lists, link);
        } else {
            log.Close();
        }
    }

    if (!lists.m_strScreensaverPath.empty())
        HandToDisplaySettings(inputs.m_hInstance, lists.m_strScreensaverPath);
}
