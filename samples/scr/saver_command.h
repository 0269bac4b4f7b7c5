// What the screensaver was asked to do, from the command line Windows gives it.
#pragma once

#include <cstdint>
#include <string>

enum class ESaverMode { Settings, FullScreen, Preview };

struct SSaverCommand {
    ESaverMode eMode = ESaverMode::Settings;
    // The window of "/p HWND" and "/c:HWND", 0 when none was given.
    std::uintptr_t nWindow = 0;
};

// Reads "/s", "/c", "/c:HWND", "/c HWND", "/p HWND" (also with "-" and in upper case);
// anything else, an empty line included, asks for the settings as Windows does.
SSaverCommand ParseSaverCommand(const std::string& strArguments);
