// The shipped programs' fault point: no call ever fails on purpose. This file holds
// nothing else, so that a test table defining the same function replaces it at link time.
#include "framework/fault_point.h"

DWORD InjectedFault(FaultKind)
{
    return 0;
}
