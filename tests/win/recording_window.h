// A real window of a system class whose chosen messages are recorded on their way in,
// then handled by the class as usual: a progress bar that still counts its position, or a
// plain window standing in for the setup dialog.
#pragma once

#include "framework/common_controls.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

struct ReceivedMessage {
    UINT nMessage;
    WPARAM wParam;
    LPARAM lParam;
    std::string strText; // the text lParam pointed to while the message was handled
};

class CRecordingWindow {
public:
    CRecordingWindow(const char* pszClass, std::set<UINT> setWatched) : m_setWatched(std::move(setWatched))
    {
        RegisterControlClasses(ICC_PROGRESS_CLASS);
        // Message-only: it needs no display, which the plain tests run without.
        m_hWnd = CreateWindowExA(0, pszClass, "", 0, 0, 0, 200, 20, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (m_hWnd == nullptr) {
            ADD_FAILURE() << "no " << pszClass << " window";
            return;
        }
        SetPropA(m_hWnd, kProp, this);
        m_pClassProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CRecordingWindow::Record)));
    }
    CRecordingWindow(const CRecordingWindow&) = delete;
    CRecordingWindow& operator=(const CRecordingWindow&) = delete;
    ~CRecordingWindow()
    {
        if (m_hWnd == nullptr)
            return;
        SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pClassProc));
        RemovePropA(m_hWnd, kProp);
        DestroyWindow(m_hWnd);
    }

    HWND Handle() const { return m_hWnd; }

    // Watched messages end here with lResult instead of going on to the class; with
    // wParam wTextAt, lParam is a text, copied while it is valid.
    void AnswerWith(LRESULT lResult, WPARAM wTextAt)
    {
        m_bAnswer = true;
        m_lResult = lResult;
        m_wTextAt = wTextAt;
    }

    // Lets the posted messages of this thread arrive.
    static void Pump()
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }

    std::size_t Count(UINT nMessage) const
    {
        std::size_t n = 0;
        for (const ReceivedMessage& received : m_vecReceived)
            n += received.nMessage == nMessage ? 1 : 0;
        return n;
    }

    std::vector<ReceivedMessage> m_vecReceived;

private:
    static constexpr const char* kProp = "LumidropRecorder";

    static LRESULT CALLBACK Record(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
    {
        auto* pThis = static_cast<CRecordingWindow*>(GetPropA(hWnd, kProp));
        if (pThis->m_setWatched.count(nMessage) == 0)
            return CallWindowProcA(pThis->m_pClassProc, hWnd, nMessage, wParam, lParam);
        std::string strText;
        if (pThis->m_bAnswer && wParam == pThis->m_wTextAt && lParam != 0)
            strText = reinterpret_cast<const char*>(lParam);
        pThis->m_vecReceived.push_back({nMessage, wParam, lParam, strText});
        if (pThis->m_bAnswer)
            return pThis->m_lResult;
        return CallWindowProcA(pThis->m_pClassProc, hWnd, nMessage, wParam, lParam);
    }

    HWND m_hWnd = nullptr;
    WNDPROC m_pClassProc = nullptr;
    std::set<UINT> m_setWatched;
    bool m_bAnswer = false;
    LRESULT m_lResult = 0;
    WPARAM m_wTextAt = 0;
};
