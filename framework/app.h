// Application object of the framework.
#pragma once

#include <windows.h>

// The window the program's boxes belong to: the main window while it exists, else null.
HWND GetMainWindowHandle();
