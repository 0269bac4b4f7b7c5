// Stands in the way of a restart: Wine's ExitWindowsEx starts "wineboot --end-session",
// which asks every top-level window whether the session may end, and stops (no restart,
// no RunOnce, no pending renames) at the first window that says no. So a test can see
// that a restart was asked for while nothing is restarted.
#pragma once

#include <windows.h>

#include <string>

// Shows a hidden top-level window that refuses the end of the session. Calls
// reportReady once the window is there; returns true when it was asked within
// nTimeoutMs, false otherwise.
bool RefuseEndOfSession(DWORD nTimeoutMs, void (*reportReady)());
