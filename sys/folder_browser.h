// The shell's folder browser, as the program's dialogs open it: rooted at the computer's
// drives, limited to file-system folders, with a title and a folder selected at start.
#pragma once

#include <windows.h>

#include <string>

// Shows the browser modal to hOwner with strTitle, strInitial selected once it has
// initialised. True when the user chose a folder, whose path is then in strChosen.
bool BrowseForFolder(HWND hOwner, const std::string& strTitle, const std::string& strInitial, std::string& strChosen);
