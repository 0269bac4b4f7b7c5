// The entry point of the uninstaller, UnScNNNN.exe "<log path>" [s].
#include "framework/system_library.h"
#include "uninstaller/uninstaller_run.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR pszArguments, int)
{
    RestrictLibrarySearch();
    return RunUninstaller(pszArguments != nullptr ? pszArguments : "");
}
