// The common controls the programs use (window classes, subclassing), reached through the
// library loaded from the system, never through a static import that Windows would
// resolve in the program's own folder first.
#pragma once

#include <windows.h>
#include <commctrl.h>

// The library, loaded on first use and kept for the life of the process.
HMODULE CommonControlsModule();

// InitCommonControlsEx for the classes in N_CLASSES (ICC_...); false when it failed.
bool RegisterControlClasses(DWORD nClasses);

// SetWindowSubclass, DefSubclassProc and RemoveWindowSubclass of the library.
BOOL SubclassControl(HWND hWnd, SUBCLASSPROC pProc, UINT_PTR nId, DWORD_PTR nData);
LRESULT DefaultSubclassProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
BOOL RemoveControlSubclass(HWND hWnd, SUBCLASSPROC pProc, UINT_PTR nId);
