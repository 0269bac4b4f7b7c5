// The entry point of setup.exe and its one application object.
#include "app/setup_app.h"
#include "framework/system_library.h"

#include <windows.h>

namespace {
CSetupApp g_theApp;
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    RestrictLibrarySearch();
    return RunApplication();
}
