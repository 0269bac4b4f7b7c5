#include "sys/os_version.h"

#include <windows.h>

COsVersion::COsVersion() : m_nPlatform(kUnknown)
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info))
        return;
    switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32s: m_nPlatform = kWin32s; break;
    case VER_PLATFORM_WIN32_WINDOWS: m_nPlatform = kWindows9x; break;
    case VER_PLATFORM_WIN32_NT: m_nPlatform = kWindowsNt; break;
    default: break;
    }
}
