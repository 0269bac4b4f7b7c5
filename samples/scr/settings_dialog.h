// The settings dialog of "/c": shows the configuration file's values and writes them on OK.
#pragma once

#include <windows.h>

#include <string>

// Returns when the dialog closes; hParent may be null.
void RunSettingsDialog(HINSTANCE hInstance, HWND hParent, const std::string& strSettingsPath);
