// The system calls of an installation that a fault-injection test can make fail.
//
// Each wrapper of such a call asks InjectedFault first. setup.exe links the answer
// "never" (fault_point_none.cpp); the test build links a table in its place
// (tests/win/fault_table), so that no program we ship carries an armed table.
#pragma once

#include <windows.h>

enum class FaultKind : unsigned {
    FolderCreate, // CreateDirectoryA
    FileCopy,     // CopyFileA
    FileCreate,   // CreateFileA that creates or truncates
    FileWrite,    // WriteFile
    KeyCreate,    // RegCreateKeyExA
    ValueSet,     // RegSetValueExA
    DelayedMove,  // MoveFileExA with MOVEFILE_DELAY_UNTIL_REBOOT
    Count
};

// 0 when the call is to be made; otherwise the system error it fails with, which is also
// set as the thread's last error, as the failing call would have set it.
DWORD InjectedFault(FaultKind nKind);
