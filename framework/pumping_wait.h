// Waiting for another thread from a thread that owns windows.
#pragma once

#include <windows.h>

// Waits without time limit until one of the nCount objects is signalled, handling
// meanwhile the messages that other threads send to this thread's windows: a thread that
// reports with SendMessage (progress, the file being copied) would otherwise block before
// it ever signals, and a plain wait would never end. Posted messages stay queued for the
// message loop. Returns the index of the signalled object, -1 when the wait itself fails.
int PumpingWaitAny(const HANDLE* phObjects, DWORD nCount);

// The same for one object; false when the wait fails.
bool PumpingWait(HANDLE hObject);
