// The screensaver's two settings and the file that keeps them.
#pragma once

#include <string>

struct SSaverSettings {
    static constexpr int kMinDrops = 1;
    static constexpr int kMaxDrops = 200;
    static constexpr int kDefaultDrops = 40;
    static constexpr int kMinSpeed = 1;
    static constexpr int kMaxSpeed = 10;
    static constexpr int kDefaultSpeed = 5;

    int nDrops = kDefaultDrops;
    int nSpeed = kDefaultSpeed;
};

// The configuration file: the one the setup recorded for this module (value "Config" of
// HKLM\Software\Lumidrop Screensaver\<module's short path, upper case, '/' for '\'>),
// else lumidrop.ini beside the module.
std::string SettingsFilePath();

// Missing or out-of-range values read as their defaults.
SSaverSettings LoadSettings(const std::string& strPath);
bool SaveSettings(const std::string& strPath, const SSaverSettings& settings);
