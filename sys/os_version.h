// The platform the program runs on, read once from the system's version information.
#pragma once

class COsVersion {
public:
    // Platforms as GetVersionExA numbers them; kUnknown when it fails or names another.
    enum : int { kUnknown = -1, kWin32s = 0, kWindows9x = 1, kWindowsNt = 2 };

    COsVersion();
    COsVersion(const COsVersion&) = delete;
    COsVersion& operator=(const COsVersion&) = delete;
    virtual ~COsVersion() = default;

    int GetPlatform() const { return m_nPlatform; }

private:
    int m_nPlatform;
};
