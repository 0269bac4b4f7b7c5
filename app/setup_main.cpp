// The entry point of setup.exe and its one application object.
#include "app/setup_app.h"

#include <windows.h>

namespace {
CSetupApp g_theApp;
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return RunApplication();
}
