#include "framework/pumping_wait.h"

int PumpingWaitAny(const HANDLE* phObjects, DWORD nCount)
{
    for (;;) {
        const DWORD nResult = MsgWaitForMultipleObjects(nCount, phObjects, FALSE, INFINITE, QS_SENDMESSAGE);
        if (nResult < WAIT_OBJECT_0 + nCount)
            return static_cast<int>(nResult - WAIT_OBJECT_0);
        if (nResult != WAIT_OBJECT_0 + nCount)
            return -1;
        // Looking at the queue is enough to have the pending sent messages delivered;
        // nothing is taken out of it.
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    }
}

bool PumpingWait(HANDLE hObject)
{
    return PumpingWaitAny(&hObject, 1) == 0;
}
