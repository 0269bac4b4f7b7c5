// The sample screensaver lumidrop.scr and its lumidrop_fx.dll, started as Windows starts a
// screensaver: the preview drawn into a window of ours, the full-screen run and what ends it,
// the settings dialog and the file it writes, and the library's version resource.
#include "framework/handle.h"
#include "tests/e2e/driver/window_ops.h"
#include "tests/win/temp_folder.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// Long enough for a cold start of a Wine process; only a failing run waits this long.
constexpr DWORD kTimeoutMs = 30000;
// Once the program runs, a frame comes every 33 ms.
constexpr DWORD kPaintTimeoutMs = 5000;
constexpr const char* kSaverClass = "LumidropSaverWindow";
constexpr const char* kSettingsCaption = "Lumidrop Settings";
constexpr int kDropsField = 1001;
constexpr int kSpeedField = 1002;
constexpr const char* kFxName = "lumidrop_fx.dll";

std::string Built(const char* pszPath)
{
    // CMake gives the build's own path; Wine shows the Unix root as drive Z:.
    return std::string("Z:") + pszPath;
}

std::string WindowNumber(HWND hWnd)
{
    return std::to_string(reinterpret_cast<std::uintptr_t>(hWnd));
}

// Handles this thread's messages until done() holds or the time is up. The programs under
// test send messages to our windows (a child's creation, a dialog disabling its owner),
// and those wait for this thread.
template <class FDone>
bool PumpUntil(FDone done, DWORD nTimeoutMs)
{
    const DWORD nStart = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (done())
            return true;
        if (GetTickCount() - nStart >= nTimeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

void PumpFor(DWORD nMs)
{
    PumpUntil([] { return false; }, nMs);
}

// What the screen shows in a rectangle, as 32-bit pixels.
std::vector<DWORD> ScreenPixels(const RECT& rect)
{
    const int nWidth = rect.right - rect.left;
    const int nHeight = rect.bottom - rect.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = nWidth;
    info.bmiHeader.biHeight = -nHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<DWORD> pixels;
    void* pBits = nullptr;
    HDC hScreen = GetDC(nullptr);
    HDC hMemory = CreateCompatibleDC(hScreen);
    HBITMAP hBitmap = CreateDIBSection(hMemory, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (hBitmap != nullptr) {
        HGDIOBJ hOld = SelectObject(hMemory, hBitmap);
        BitBlt(hMemory, 0, 0, nWidth, nHeight, hScreen, rect.left, rect.top, SRCCOPY);
        GdiFlush();
        const DWORD* pFirst = static_cast<const DWORD*>(pBits);
        pixels.assign(pFirst, pFirst + static_cast<std::size_t>(nWidth) * static_cast<std::size_t>(nHeight));
        SelectObject(hMemory, hOld);
        DeleteObject(hBitmap);
    }
    DeleteDC(hMemory);
    ReleaseDC(nullptr, hScreen);
    return pixels;
}

// A plain window of ours in the place of the display settings: the preview's parent, the
// settings dialog's owner.
class CHostWindow {
public:
    CHostWindow()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = "LumidropTestHost";
        RegisterClassA(&windowClass);
        m_hWnd = CreateWindowExA(0, windowClass.lpszClassName, "Host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100, 100,
                                 152, 112, nullptr, nullptr, windowClass.hInstance, nullptr);
        PumpFor(100);
    }
    CHostWindow(const CHostWindow&) = delete;
    CHostWindow& operator=(const CHostWindow&) = delete;
    ~CHostWindow() { Destroy(); }

    HWND Get() const { return m_hWnd; }
    void Destroy()
    {
        if (m_hWnd != nullptr)
            DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
    }

private:
    HWND m_hWnd = nullptr;
};

} // namespace

class SampleScreensaver : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CopyFileA(Built(LUMIDROP_SCR_PATH).c_str(), Saver().c_str(), FALSE)) << LUMIDROP_SCR_PATH;
        ASSERT_TRUE(CopyFileA(Built(LUMIDROP_FX_PATH).c_str(), m_folder.File(kFxName).c_str(), FALSE));
    }
    void TearDown() override
    {
        // A program a failed test left running would hold the folder and its windows.
        if (m_process.IsValid() && WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_process.Get(), 99);
            WaitForSingleObject(m_process.Get(), kTimeoutMs);
        }
    }

    std::string Saver() const { return m_folder.File("lumidrop.scr"); }
    std::string Ini() const { return m_folder.File("lumidrop.ini"); }

    // Started in its own folder, so that the library is found there or not at all.
    void Start(const std::string& strArguments)
    {
        std::string strCommand = "\"" + Saver() + "\"" + (strArguments.empty() ? "" : " " + strArguments);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        ASSERT_TRUE(CreateProcessA(nullptr, &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   m_folder.Path().c_str(), &startup, &process))
            << strCommand;
        m_process.Reset(process.hProcess);
        CloseHandle(process.hThread);
    }

    bool Running() const { return WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT; }

    // The exit code, or -1 when the program did not end in time.
    long ExitCode()
    {
        if (!PumpUntil([this] { return !Running(); }, kTimeoutMs))
            return -1;
        DWORD nCode = 0;
        GetExitCodeProcess(m_process.Get(), &nCode);
        return static_cast<long>(nCode);
    }

    HWND WaitForSettings()
    {
        HWND hDialog = nullptr;
        PumpUntil(
            [&] {
                hDialog = FindWindowA("#32770", kSettingsCaption);
                return hDialog != nullptr && IsWindowVisible(hDialog);
            },
            kTimeoutMs);
        return hDialog;
    }

    void WriteIni(const std::string& strPath, const char* pszDrops, const char* pszSpeed) const
    {
        ASSERT_TRUE(WritePrivateProfileStringA("Lumidrop", "Drops", pszDrops, strPath.c_str()));
        ASSERT_TRUE(WritePrivateProfileStringA("Lumidrop", "Speed", pszSpeed, strPath.c_str()));
    }

    static int ReadIni(const std::string& strPath, const char* pszKey)
    {
        return static_cast<int>(GetPrivateProfileIntA("Lumidrop", pszKey, -1, strPath.c_str()));
    }

    CTempFolder m_folder;
    CHandle m_process;
};

// Wine gives a child window of another process no picture of its own on the screen, so
// the preview's pixels cannot be read here (the full-screen test reads the same drawing);
// what shows that it draws is its window paints, taking away the region we invalidate.
TEST_F(SampleScreensaver, PreviewFillsTheGivenWindowPaintsAndEndsWithIt)
{
    CHostWindow host;
    Start("/p " + WindowNumber(host.Get()));
    HWND hPreview = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (hPreview = FindWindowExA(host.Get(), nullptr, kSaverClass, nullptr)) != nullptr; },
                          kTimeoutMs));
    EXPECT_NE(GetWindowLongA(hPreview, GWL_STYLE) & WS_CHILD, 0);
    RECT hostClient;
    RECT previewClient;
    GetClientRect(host.Get(), &hostClient);
    GetClientRect(hPreview, &previewClient);
    EXPECT_EQ(previewClient.right, hostClient.right);
    EXPECT_EQ(previewClient.bottom, hostClient.bottom);

    for (int nRound = 0; nRound < 3; ++nRound) {
        ASSERT_TRUE(InvalidateRect(hPreview, nullptr, FALSE));
        ASSERT_TRUE(PumpUntil([&] { return !GetUpdateRect(hPreview, nullptr, FALSE); }, kPaintTimeoutMs));
    }

    // The display settings close: the preview goes with its parent.
    host.Destroy();
    EXPECT_EQ(ExitCode(), 0);
}

TEST_F(SampleScreensaver, FullScreenDrawsMovingDrops)
{
    Start("/s");
    const HWND hSaver = WaitForTopLevelWindow("", kSaverClass, kTimeoutMs);
    ASSERT_NE(hSaver, nullptr);
    RECT rect;
    GetWindowRect(hSaver, &rect);
    Sleep(1500);
    const std::vector<DWORD> first = ScreenPixels(rect);
    Sleep(500);
    const std::vector<DWORD> later = ScreenPixels(rect);
    ASSERT_FALSE(first.empty());
    // The night-blue pool: dark at the top, lighter towards the bottom (rows' average blue,
    // so that a drop passing by changes nothing), with drops moving in it.
    const std::size_t nWidth = static_cast<std::size_t>(rect.right - rect.left);
    auto rowBlue = [&](std::size_t nRow) {
        std::size_t nSum = 0;
        for (std::size_t nColumn = 0; nColumn < nWidth; ++nColumn)
            nSum += first[nRow * nWidth + nColumn] & 0xFF;
        return nSum / nWidth;
    };
    const std::size_t nTopBlue = rowBlue(0);
    const std::size_t nBottomBlue = rowBlue(first.size() / nWidth - 1);
    EXPECT_LT(nTopBlue, 0x20u);
    EXPECT_GT(nBottomBlue, nTopBlue + 0x10);
    std::size_t nChanged = 0;
    for (std::size_t n = 0; n < first.size() && n < later.size(); ++n)
        nChanged += first[n] != later[n] ? 1 : 0;
    EXPECT_GT(nChanged, 50u);
    PostMessageA(hSaver, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(ExitCode(), 0);
}

TEST_F(SampleScreensaver, PreviewWithoutItsEffectsLibraryEndsWithoutAWindow)
{
    ASSERT_TRUE(DeleteFileA(m_folder.File(kFxName).c_str()));
    CHostWindow host;
    Start("/p " + WindowNumber(host.Get()));
    EXPECT_EQ(ExitCode(), 2);
    EXPECT_EQ(FindWindowExA(host.Get(), nullptr, kSaverClass, nullptr), nullptr);
}

// How the user ends the full-screen run: the message, and for a mouse move how far from
// where the cursor stood.
struct SEnding {
    const char* pszName;
    UINT nMessage;
    WPARAM wParam;
    int nMoveBy;
};

class SampleScreensaverEnding : public SampleScreensaver, public ::testing::WithParamInterface<SEnding> {};

TEST_P(SampleScreensaverEnding, FullScreenCoversEveryMonitorOnTopUntilTheUserActs)
{
    POINT cursor;
    GetCursorPos(&cursor);
    Start("/s");
    const HWND hSaver = WaitForTopLevelWindow("", kSaverClass, kTimeoutMs);
    ASSERT_NE(hSaver, nullptr);
    EXPECT_NE(GetWindowLongA(hSaver, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    RECT rect;
    GetWindowRect(hSaver, &rect);
    EXPECT_EQ(rect.left, GetSystemMetrics(SM_XVIRTUALSCREEN));
    EXPECT_EQ(rect.top, GetSystemMetrics(SM_YVIRTUALSCREEN));
    EXPECT_EQ(rect.right - rect.left, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(rect.bottom - rect.top, GetSystemMetrics(SM_CYVIRTUALSCREEN));

    // A nudge of the mouse is no wish to stop.
    const LPARAM nudge = MAKELPARAM(cursor.x - rect.left + 2, cursor.y - rect.top + 1);
    PostMessageA(hSaver, WM_MOUSEMOVE, 0, nudge);
    Sleep(500);
    ASSERT_TRUE(IsWindow(hSaver));

    const SEnding& ending = GetParam();
    const LPARAM lParam = ending.nMessage == WM_MOUSEMOVE
                              ? MAKELPARAM(cursor.x - rect.left + ending.nMoveBy, cursor.y - rect.top)
                              : MAKELPARAM(10, 10);
    PostMessageA(hSaver, ending.nMessage, ending.wParam, lParam);
    EXPECT_TRUE(WaitForWindowGone(hSaver, kTimeoutMs));
    EXPECT_EQ(ExitCode(), 0);
}

INSTANTIATE_TEST_SUITE_P(Endings, SampleScreensaverEnding,
                         ::testing::Values(SEnding{"Key", WM_KEYDOWN, VK_SPACE, 0},
                                           SEnding{"Click", WM_LBUTTONDOWN, MK_LBUTTON, 0},
                                           SEnding{"MouseMove", WM_MOUSEMOVE, 0, 40}),
                         [](const ::testing::TestParamInfo<SEnding>& param) { return std::string(param.param.pszName); });

TEST_F(SampleScreensaver, SettingsShowTheIniBesideItAndOkWritesThem)
{
    WriteIni(Ini(), "12", "3");
    Start("/c");
    const HWND hDialog = WaitForSettings();
    ASSERT_NE(hDialog, nullptr);
    EXPECT_EQ(WindowText(ControlOf(hDialog, kDropsField)), "12");
    EXPECT_EQ(WindowText(ControlOf(hDialog, kSpeedField)), "3");
    ASSERT_TRUE(TypeText(hDialog, kDropsField, "77"));
    ASSERT_TRUE(TypeText(hDialog, kSpeedField, "8"));
    ASSERT_TRUE(PressButton(hDialog, IDOK));
    EXPECT_EQ(ExitCode(), 0);
    EXPECT_EQ(ReadIni(Ini(), "Drops"), 77);
    EXPECT_EQ(ReadIni(Ini(), "Speed"), 8);
}

TEST_F(SampleScreensaver, NoArgumentShowsTheSettingsAndCancelKeepsTheFile)
{
    WriteIni(Ini(), "12", "3");
    Start("");
    const HWND hDialog = WaitForSettings();
    ASSERT_NE(hDialog, nullptr);
    ASSERT_TRUE(TypeText(hDialog, kDropsField, "99"));
    ASSERT_TRUE(PressButton(hDialog, IDCANCEL));
    EXPECT_EQ(ExitCode(), 0);
    EXPECT_EQ(ReadIni(Ini(), "Drops"), 12);
}

TEST_F(SampleScreensaver, SettingsUseTheConfigFileTheSetupRecorded)
{
    // The key the setup writes for an installed screensaver: its short path in upper case
    // with forward slashes, holding the short path of the file marked Config.
    char szShort[MAX_PATH] = "";
    ASSERT_GT(GetShortPathNameA(Saver().c_str(), szShort, sizeof szShort), 0u);
    std::string strKeyName = szShort;
    for (char& ch : strKeyName)
        ch = ch == '\\' ? '/' : static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    const std::string strKey = "Software\\Lumidrop Screensaver\\" + strKeyName;
    const std::string strRecorded = m_folder.File("recorded.ini");
    WriteIni(strRecorded, "150", "2");
    HKEY hKey = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, strKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(hKey, "Config", 0, REG_SZ, reinterpret_cast<const BYTE*>(strRecorded.c_str()),
                   static_cast<DWORD>(strRecorded.size() + 1));
    RegCloseKey(hKey);

    CHostWindow owner;
    Start("/c:" + WindowNumber(owner.Get()));
    const HWND hDialog = WaitForSettings();
    if (hDialog != nullptr) {
        EXPECT_EQ(WindowText(ControlOf(hDialog, kDropsField)), "150");
        TypeText(hDialog, kDropsField, "20");
        PressButton(hDialog, IDOK);
    }
    const long nExit = ExitCode();
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, strKey.c_str());
    // The parent, made by this test too, goes as well unless something else lives in it.
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Lumidrop Screensaver");
    ASSERT_NE(hDialog, nullptr);
    EXPECT_EQ(nExit, 0);
    EXPECT_EQ(ReadIni(strRecorded, "Drops"), 20);
    EXPECT_EQ(GetFileAttributesA(Ini().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(SampleEffectsLibrary, CarriesItsVersionResource)
{
    const std::string strPath = Built(LUMIDROP_FX_PATH);
    DWORD dwHandle = 0;
    const DWORD nSize = GetFileVersionInfoSizeA(strPath.c_str(), &dwHandle);
    ASSERT_GT(nSize, 0u) << strPath;
    std::vector<char> info(nSize);
    ASSERT_TRUE(GetFileVersionInfoA(strPath.c_str(), 0, nSize, info.data()));

    VS_FIXEDFILEINFO* pFixed = nullptr;
    UINT nLength = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&pFixed), &nLength));
    EXPECT_EQ(pFixed->dwFileVersionMS, 0x00010001u);
    EXPECT_EQ(pFixed->dwFileVersionLS, 0u);

    WORD* pLanguages = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&pLanguages), &nLength));
    ASSERT_EQ(nLength, 4u);
    EXPECT_EQ(pLanguages[0], 0x0409);
    EXPECT_EQ(pLanguages[1], 1252);

    char* pszDescription = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040904E4\\FileDescription",
                               reinterpret_cast<void**>(&pszDescription), &nLength));
    EXPECT_STREQ(pszDescription, "Lumidrop drop effects");
}
