// The pumping wait: messages another thread sends to this thread's windows are handled
// while it waits, posted ones stay queued.
#include "framework/handle.h"
#include "framework/pumping_wait.h"

#include <gtest/gtest.h>

#include <thread>

namespace {
constexpr UINT WM_TEST_SENT = WM_APP + 7;
constexpr UINT WM_TEST_POSTED = WM_APP + 8;
int g_nSentHandled = 0;

LRESULT CALLBACK CountingProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_TEST_SENT) {
        ++g_nSentHandled;
        return 42;
    }
    return DefWindowProcA(hWnd, nMessage, wParam, lParam);
}
} // namespace

TEST(PumpingWait, SentMessagesGetThroughPostedOnesWait)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = CountingProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "PumpingWaitTest";
    RegisterClassA(&windowClass);
    const HWND hWnd = CreateWindowA("PumpingWaitTest", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(hWnd, nullptr);
    const CHandle done(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    g_nSentHandled = 0;
    LRESULT lAnswer = 0;
    std::thread sender([&] {
        PostMessageA(hWnd, WM_TEST_POSTED, 0, 0);
        lAnswer = SendMessageA(hWnd, WM_TEST_SENT, 0, 0);
        lAnswer += SendMessageA(hWnd, WM_TEST_SENT, 0, 0);
        SetEvent(done.Get());
    });
    EXPECT_TRUE(PumpingWait(done.Get()));
    sender.join();
    EXPECT_EQ(g_nSentHandled, 2);
    EXPECT_EQ(lAnswer, 84);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, hWnd, WM_TEST_POSTED, WM_TEST_POSTED, PM_REMOVE));
    DestroyWindow(hWnd);
}
