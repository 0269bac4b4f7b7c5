// Recording an installation once its files are in place: the screensaver's own key, then
// the uninstall log, the uninstaller program, the uninstall entry, the package-name value
// and the screensaver handed to the display settings.
#pragma once

#include <windows.h>

#include <string>

class CSetupConfig;
class CSetupThreadLink;
struct CInstallationLists;

// What the registration needs of the run beyond the configuration and the lists.
struct CRegistrationInputs {
    std::string m_strWindowsFolder;  // root folder 1, where the uninstaller goes
    std::string m_strSetupCopy;      // the run's temporary copy of _setup.spd
    std::string m_strTempFolder;     // the run's own folder, with a trailing backslash
    std::string m_strPackageName;    // SetupHeader.packageName as stored
    HINSTANCE m_hInstance = nullptr; // the program's instance, for InstallScreenSaver
};

// "Software\Lumidrop Screensaver\<key name>" with "Destination" and "Config": the key name
// is the short form of the screensaver module's target, upper case, '\' turned to '/'. Its
// RegistryEntry goes to the log's list; the key, when this call creates it, and its values
// are noted in registryBefore before they are written, so a half-made key is rolled back
// too, and an older installation's key gets its values back. Without a Screensaver file nothing is written; without a Config file the "Config"
// value is left out. Raises phase 3, cause 7 when the key or a value cannot be written or
// the key's name does not fit a RegistryEntry.
void WriteScreensaverKey(const CSetupConfig& config, CInstallationLists& lists);

// The rest, after the thread has posted PHASE_FINISHING. A cancel check; the log file
// "%s\Unscr.log" in the destination, created with message 223 (Retry/Cancel) while it
// cannot be, and appended to placedFiles; a log already there is first kept in the
// temporary folder for the roll-back (phase 4, cause 2 when it cannot be). Then the uninstaller, "UnSc" + four digits drawn
// from the C runtime's generator (as the run seeded it) + ".exe" in the Windows folder,
// unpacked from the copy of _setup.spd; its path goes to config.m_strUninstaller and to
// unloggedFiles. The uninstall entry, the package-name value, and the log's content (a
// cancel check before it is packed), which lists "Software\Lumidrop Screensaver" as a whole
// key after every other entry when lists.m_bCreatesProductKey. Each key and value is noted
// in registryBefore before it is written. Last, InstallScreenSaver of the system folder's desk.cpl for the screensaver.
//
// After Cancel on message 223, or when the uninstaller cannot be unpacked (silently; the
// log then stays empty), the uninstaller, the entry, the value and the log's content are
// left out and m_strUninstaller is empty; the screensaver still goes to the display
// settings. Raises CMyException on cancel; phase 4, cause 7 when the log's path does not
// fit its record or the uninstall entry cannot be written; phase 3, cause 7 when the
// package-name value cannot; as PackUninstallLog and BuildUninstallLogImage for the log;
// CFileException when writing the log fails.
void RecordInstallation(const CRegistrationInputs& inputs, CSetupConfig& config, CInstallationLists& lists,
                        CSetupThreadLink& link);
