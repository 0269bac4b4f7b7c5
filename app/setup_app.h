// The setup program's application object: gathers the setup configuration at start-up,
// runs the main dialog, and releases the configuration at exit.
#pragma once

#include "app/setup_config.h"
#include "framework/app.h"

#include <string>

class CSetupApp : public CWinApp {
public:
    CSetupApp();

    // Always FALSE: the work is done once the main dialog has closed.
    BOOL InitInstance() override;
    // Always 0, so the program's exit code is 0 whatever happened.
    int ExitInstance() override;

    CSetupConfig* m_pConfig = nullptr;

protected:
    // Where user.spd is looked for: the program's own folder.
    virtual std::string GetSourceFolder() const;
    // The key below HKEY_LOCAL_MACHINE that holds "ProgramFilesDir".
    virtual const char* GetSystemFoldersKey() const;
    // Shows the main setup dialog modally as the application's main window.
    virtual void RunMainDialog();
};
