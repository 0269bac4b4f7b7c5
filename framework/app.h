// Application object of the framework: one per program, constructed statically.
//
// The entry point calls InitInstance; when it returns FALSE the program's work is done
// and ExitInstance's value becomes the exit code. When it returns TRUE, Run pumps
// messages until WM_QUIT and then calls ExitInstance.
#pragma once

#include <windows.h>

class CException;
class CWnd;

class CWinApp {
public:
    CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual int Run();

    // Called with every exception that a window procedure or a thread's run let out.
    // Shows it (its own text, or message m_nInternalErrorMessage) with the stop icon;
    // pException is null for exceptions that are not CException objects. The caller
    // deletes the exception.
    virtual void ProcessWndProcException(CException* pException, UINT nMessage);

    // The window the program's boxes belong to while it exists.
    CWnd* m_pMainWnd = nullptr;

    // The message-table text shown for a failure that carries no text of its own.
    unsigned m_nInternalErrorMessage = 0;
};

// The program's application object; null before it is constructed.
CWinApp* GetApp();

// The body of the program's entry point: runs the application object as described above.
int RunApplication();

// The window the program's boxes belong to: the main window while it exists, else null.
HWND GetMainWindowHandle();

// Hands an exception caught at a window procedure or thread boundary to the application
// object (or shows it plainly when there is none), then deletes it.
void ReportBoundaryException(CException* pException, UINT nMessage);
