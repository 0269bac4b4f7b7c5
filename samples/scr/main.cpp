// lumidrop.scr: the Lumidrop screensaver. Windows starts it with /s to run it, /p HWND to
// draw a preview into the display settings, /c to change its settings.
#include "scr/fx_library.h"
#include "scr/saver_command.h"
#include "scr/saver_settings.h"
#include "scr/saver_window.h"
#include "scr/settings_dialog.h"

#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

// Exit codes: what a caller (or a test) can tell apart without a window.
constexpr int kExitOk = 0;
constexpr int kExitNoWindow = 1;
constexpr int kExitNoEffects = 2;

std::string Arguments()
{
    std::string strArguments;
    for (int nArg = 1; nArg < __argc; ++nArg)
        strArguments += std::string(nArg > 1 ? " " : "") + __argv[nArg];
    return strArguments;
}

int RunMessageLoop()
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return kExitOk;
}

int RunSaver(HINSTANCE hInstance, const SSaverCommand& command)
{
    const CFxLibrary fx;
    if (!fx.IsLoaded()) {
        // The preview is a thumbnail in another program's dialog: no box there.
        if (command.eMode == ESaverMode::FullScreen)
            MessageBoxA(nullptr, "lumidrop_fx.dll is missing or too old; reinstall Lumidrop.", "Lumidrop",
                        MB_OK | MB_ICONEXCLAMATION);
        return kExitNoEffects;
    }
    CSaverWindow window(fx, LoadSettings(SettingsFilePath()));
    const bool bCreated = command.eMode == ESaverMode::FullScreen
                              ? window.CreateFullScreen(hInstance)
                              : window.CreatePreview(hInstance, reinterpret_cast<HWND>(command.nWindow));
    return bCreated ? RunMessageLoop() : kExitNoWindow;
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    const SSaverCommand command = ParseSaverCommand(Arguments());
    if (command.eMode == ESaverMode::Settings) {
        RunSettingsDialog(hInstance, reinterpret_cast<HWND>(command.nWindow), SettingsFilePath());
        return kExitOk;
    }
    return RunSaver(hInstance, command);
}
