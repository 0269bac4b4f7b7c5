#include "framework/app.h"

HWND GetMainWindowHandle()
{
    return nullptr;
}
