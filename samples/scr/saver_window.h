// The window the screensaver draws in: full screen over every monitor (/s), or a child
// filling the window Windows gives for the preview (/p).
#pragma once

#include "scr/drop_scene.h"
#include "scr/window_handles.h"

#include <windows.h>

#include <memory>

class CSaverWindow {
public:
    static constexpr const char* kClassName = "LumidropSaverWindow";

    CSaverWindow(const CFxLibrary& fx, const SSaverSettings& settings);
    CSaverWindow(const CSaverWindow&) = delete;
    CSaverWindow& operator=(const CSaverWindow&) = delete;

    // Both return false when the window could not be made; the message loop then has nothing to run.
    bool CreateFullScreen(HINSTANCE hInstance);
    bool CreatePreview(HINSTANCE hInstance, HWND hParent);

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam);
    bool Register(HINSTANCE hInstance) const;
    // Full screen only: input from the user ends the screensaver.
    bool EndsOnInput(UINT nMessage, WPARAM wParam, LPARAM lParam);
    void Close();
    void Paint();

    CDropScene m_scene;
    HWND m_hWnd = nullptr;
    bool m_bFullScreen = false;
    bool m_bClosing = false;
    bool m_bWasActive = false;
    POINT m_ptStart = {0, 0};
    std::unique_ptr<CWindowTimer> m_pTimer;
    std::unique_ptr<CHiddenCursor> m_pHiddenCursor;
};
