#include "framework/pumping_wait.h"

bool PumpingWait(HANDLE hObject)
{
    for (;;) {
        const DWORD nResult = MsgWaitForMultipleObjects(1, &hObject, FALSE, INFINITE, QS_SENDMESSAGE);
        if (nResult == WAIT_OBJECT_0)
            return true;
        if (nResult != WAIT_OBJECT_0 + 1)
            return false;
        // Looking at the queue is enough to have the pending sent messages delivered;
        // nothing is taken out of it.
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    }
}
