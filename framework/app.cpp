#include "framework/app.h"

#include "framework/exception.h"
#include "framework/message_box.h"
#include "framework/wnd.h"

namespace {
CWinApp*& CurrentApp()
{
    static CWinApp* s_pApp = nullptr;
    return s_pApp;
}
} // namespace

CWinApp::CWinApp()
{
    CurrentApp() = this;
}

CWinApp::~CWinApp()
{
    if (CurrentApp() == this)
        CurrentApp() = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return 0;
}

int CWinApp::Run()
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return ExitInstance();
}

void CWinApp::ProcessWndProcException(CException* pException, UINT)
{
    if (pException != nullptr)
        pException->ReportError(MB_ICONHAND, m_nInternalErrorMessage);
    else
        ShowMessageBoxById(m_nInternalErrorMessage, MB_ICONHAND);
}

CWinApp* GetApp()
{
    return CurrentApp();
}

int RunApplication()
{
    CWinApp* pApp = GetApp();
    if (pApp == nullptr)
        return -1;
    if (!pApp->InitInstance())
        return pApp->ExitInstance();
    return pApp->Run();
}

HWND GetMainWindowHandle()
{
    CWinApp* pApp = GetApp();
    if (pApp == nullptr || pApp->m_pMainWnd == nullptr)
        return nullptr;
    return pApp->m_pMainWnd->m_hWnd;
}

void ReportBoundaryException(CException* pException, UINT nMessage)
{
    // Reporting must not throw in turn: it runs where nothing above can catch.
    try {
        if (CWinApp* pApp = GetApp())
            pApp->ProcessWndProcException(pException, nMessage);
        else if (pException != nullptr)
            pException->ReportError(MB_ICONHAND, 0);
        else
            ShowMessageBoxById(0, MB_ICONHAND);
    } catch (...) {
    }
    if (pException != nullptr)
        pException->Delete();
}
