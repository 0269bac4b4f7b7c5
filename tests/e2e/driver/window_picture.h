// A picture of a window as the screen shows it, saved as a BMP file.
#pragma once

#include <windows.h>

#include <string>

// Copies the screen under hWnd's whole window (frame and caption too) into a 24-bit BMP
// file at strPath. False when the window or the file could not be had.
bool SaveWindowPicture(HWND hWnd, const std::string& strPath);
