// e2e-driver: drives the setup program from outside, in the same Wine prefix and on the
// same display. One command per run; window handles pass between runs as hex text.
//
//   wait CAPTION [CLASS] [TIMEOUT_MS]   print the handle of a top-level window once it shows
//   find CAPTION [CLASS]                the same without waiting
//   absent CAPTION [CLASS] [GRACE_MS]   succeed when no such window shows within the grace
//                                       period, so that a late window is still caught
//   owned HWND [TIMEOUT_MS]             print the handle of a dialog (box, prompt) owned by
//                                       HWND once it shows
//   gone HWND [TIMEOUT_MS]              succeed once the window has gone
//   text HWND [ID]                      print the window's (or control's) text, raw ANSI bytes
//   style HWND [ID]                     print the style word in hex
//   icon HWND                           print a message box's icon: hand, exclamation, ...
//   enabled HWND ID / visible HWND ID   print 1 or 0
//   type HWND ID TEXT                   set an edit field's text
//   check HWND ID 0|1                   untick or tick a check box
//   press HWND ID                       click a button
//   ask HWND ID CAPTION [TIMEOUT_MS]    click a button, wait for a message box of CAPTION;
//                                       print its handle, then the milliseconds between
//   command HWND ID                     send WM_COMMAND ID as the Enter and Esc keys do, and
//                                       return once handled (only for handlers that open no box)
//   answer CAPTION ID [TIMEOUT_MS]      wait for a message box and click its button ID
//   page HWND                           print the handle of the page the dialog shows (its
//                                       visible child dialog)
//   focus HWND ID                       move the dialog's keyboard focus to control ID
//   checked HWND ID                     print 1 when the check box is ticked, else 0
//   key HWND return|escape|tab          type a key where HWND's thread has the keyboard focus
//   watch HWND ID [TIMEOUT_MS]          print every text the control shows, one a line (line
//                                       breaks as \n), until it goes out of sight
//   picture HWND FILE                   save a BMP picture of the window as the screen shows it
//   picture-on-text HWND PAGE CONTROL FILE [TIMEOUT_MS]
//                                       the same the moment control CONTROL of PAGE shows
//                                       its first text
//   refuse-end-session [TIMEOUT_MS]     put up a window that refuses the end of the session;
//                                       print "ready", then "asked" once a restart asked it
//   start-wait COMMAND-LINE [TIMEOUT_MS]
//                                       start a command line exactly as the registry holds
//                                       it, wait for it to end and print its exit code
//   write-header FILE VERSION NAME FOLDER [SIZE]
//                                       write a package header (cut to SIZE bytes)
//
// Exit code 0 on success, 1 when the window or control is not there, 2 on bad usage.
#include "format/package_records.h"
#include "framework/handle.h"
#include "end_session_refuser.h"
#include "window_picture.h"
#include "window_ops.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
// Long enough for a cold Wine start; only a failing run ever waits this long.
constexpr DWORD kDefaultTimeoutMs = 30000;
// How long a changed text takes to reach the screen.
constexpr DWORD kPaintMs = 30;
// How long a window that must not appear is watched for.
constexpr DWORD kDefaultGraceMs = 1500;

void WriteOut(const std::string& strText)
{
    DWORD nWritten = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), strText.data(), static_cast<DWORD>(strText.size()), &nWritten, nullptr);
}

HWND ParseHandle(const std::string& strText)
{
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(strText.c_str(), nullptr, 16)));
}

std::string FormatHandle(HWND hWnd)
{
    char szText[32];
    std::snprintf(szText, sizeof szText, "0x%llx\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hWnd)));
    return szText;
}

DWORD TimeoutArg(const std::vector<std::string>& args, std::size_t nIndex, DWORD nDefault = kDefaultTimeoutMs)
{
    return args.size() > nIndex ? static_cast<DWORD>(std::strtoul(args[nIndex].c_str(), nullptr, 10)) : nDefault;
}

int Found(HWND hWnd)
{
    if (hWnd == nullptr)
        return 1;
    WriteOut(FormatHandle(hWnd));
    return 0;
}

int WriteHeader(const std::vector<std::string>& args)
{
    SetupHeader header;
    header.version = static_cast<std::uint8_t>(std::strtoul(args[1].c_str(), nullptr, 10));
    if (!SetFieldText(header.packageName, args[2]) || !SetFieldText(header.defaultFolder, args[3]))
        return 2;
    std::vector<unsigned char> bytes(kSetupHeaderSize);
    EncodeSetupHeader(header, bytes.data());
    if (args.size() > 4)
        bytes.resize(std::strtoul(args[4].c_str(), nullptr, 10));
    FILE* pFile = std::fopen(args[0].c_str(), "wb");
    if (pFile == nullptr)
        return 1;
    const bool bOk = std::fwrite(bytes.data(), 1, bytes.size(), pFile) == bytes.size();
    return std::fclose(pFile) == 0 && bOk ? 0 : 1;
}

int StartAndWait(std::string strCommandLine, DWORD nTimeoutMs)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &strCommandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 1;
    const CHandle hProcess(process.hProcess);
    const CHandle hThread(process.hThread);
    DWORD nExitCode = 0;
    if (WaitForSingleObject(hProcess.Get(), nTimeoutMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(hProcess.Get(), &nExitCode))
        return 1;
    WriteOut(std::to_string(nExitCode) + "\n");
    return 0;
}

// A control's text on one line: its line breaks written as \n.
std::string OneLine(const std::string& strText)
{
    std::string strLine;
    for (char c : strText) {
        if (c == '\n')
            strLine += "\\n";
        else if (c != '\r')
            strLine += c;
    }
    return strLine + "\n";
}

UINT VirtualKeyOf(const std::string& strName)
{
    if (strName == "return")
        return VK_RETURN;
    if (strName == "escape")
        return VK_ESCAPE;
    return strName == "tab" ? VK_TAB : 0;
}

int Run(const std::string& strCommand, const std::vector<std::string>& args)
{
    const auto need = [&](std::size_t n) { return args.size() >= n; };
    if (strCommand == "wait" && need(1))
        return Found(WaitForTopLevelWindow(args[0], args.size() > 1 ? args[1] : "", TimeoutArg(args, 2)));
    if (strCommand == "find" && need(1))
        return Found(WaitForTopLevelWindow(args[0], args.size() > 1 ? args[1] : "", 0));
    if (strCommand == "absent" && need(1)) {
        HWND hWnd = WaitForTopLevelWindow(args[0], args.size() > 1 ? args[1] : "", TimeoutArg(args, 2, kDefaultGraceMs));
        if (hWnd != nullptr)
            WriteOut(FormatHandle(hWnd));
        return hWnd == nullptr ? 0 : 1;
    }
    if (strCommand == "owned" && need(1))
        return Found(WaitForOwnedDialog(ParseHandle(args[0]), TimeoutArg(args, 1)));
    if (strCommand == "gone" && need(1))
        return WaitForWindowGone(ParseHandle(args[0]), TimeoutArg(args, 1)) ? 0 : 1;
    if (strCommand == "answer" && need(2)) {
        HWND hBox = WaitForTopLevelWindow(args[0], "#32770", TimeoutArg(args, 2));
        return hBox != nullptr && PressButton(hBox, std::atoi(args[1].c_str())) ? 0 : 1;
    }
    if (strCommand == "start-wait" && need(1))
        return StartAndWait(args[0], TimeoutArg(args, 1));
    if (strCommand == "write-header" && need(4))
        return WriteHeader(args);
    if (strCommand == "refuse-end-session") {
        if (!RefuseEndOfSession(TimeoutArg(args, 0), [] { WriteOut("ready\n"); }))
            return 1;
        WriteOut("asked\n");
        return 0;
    }
    if (!need(1))
        return 2;

    HWND hWnd = ParseHandle(args[0]);
    if (!IsWindow(hWnd))
        return 1;
    const int nId = args.size() > 1 ? std::atoi(args[1].c_str()) : 0;
    HWND hControl = strCommand == "command" ? hWnd : ControlOf(hWnd, nId);
    if (hControl == nullptr)
        return 1;
    if (strCommand == "page")
        return Found(VisiblePage(hWnd));
    if (strCommand == "focus" && need(2))
        return FocusControl(hWnd, nId) ? 0 : 1;
    if (strCommand == "checked" && need(2)) {
        WriteOut(CheckState(hWnd, nId) ? "1\n" : "0\n");
        return 0;
    }
    if (strCommand == "key" && need(2))
        return VirtualKeyOf(args[1]) != 0 && PostKey(hWnd, VirtualKeyOf(args[1])) ? 0 : 1;
    if (strCommand == "watch" && need(2))
        return WatchText(hControl, TimeoutArg(args, 2), [](const std::string& strText) {
            WriteOut(OneLine(strText));
            return true;
        }) ? 0 : 1;
    if (strCommand == "picture-on-text" && need(4)) {
        bool bSaved = false;
        WatchText(ControlOf(ParseHandle(args[1]), std::atoi(args[2].c_str())), TimeoutArg(args, 4), [&](const std::string&) {
            // Long enough for the new text to be painted, short beside the run.
            Sleep(kPaintMs);
            bSaved = SaveWindowPicture(hWnd, args[3]);
            return false;
        });
        return bSaved ? 0 : 1;
    }
    if (strCommand == "picture" && need(2))
        return SaveWindowPicture(hWnd, args[1]) ? 0 : 1;
    if (strCommand == "text") {
        WriteOut(WindowText(hControl));
        return 0;
    }
    if (strCommand == "style") {
        char szText[32];
        std::snprintf(szText, sizeof szText, "0x%08lx\n", static_cast<unsigned long>(GetWindowLongA(hControl, GWL_STYLE)));
        WriteOut(szText);
        return 0;
    }
    if (strCommand == "icon") {
        WriteOut(MessageBoxIcon(hWnd) + "\n");
        return 0;
    }
    if (strCommand == "enabled") {
        WriteOut(IsWindowEnabled(hControl) ? "1\n" : "0\n");
        return 0;
    }
    if (strCommand == "visible") {
        WriteOut(IsWindowVisible(hControl) ? "1\n" : "0\n");
        return 0;
    }
    if (strCommand == "command" && need(2)) {
        SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED), 0);
        return 0;
    }
    if (strCommand == "press" && need(2))
        return PressButton(hWnd, nId) ? 0 : 1;
    if (strCommand == "ask" && need(3)) {
        // Timed in one process: a driver run of its own would add Wine's start to the figure.
        const DWORD nPressed = GetTickCount();
        if (!PressButton(hWnd, nId))
            return 1;
        HWND hBox = WaitForTopLevelWindow(args[2], "#32770", TimeoutArg(args, 3));
        if (hBox == nullptr)
            return 1;
        WriteOut(FormatHandle(hBox) + std::to_string(GetTickCount() - nPressed) + "\n");
        return 0;
    }
    if (strCommand == "type" && need(3))
        return TypeText(hWnd, nId, args[2]) ? 0 : 1;
    if (strCommand == "check" && need(3))
        return SetCheck(hWnd, nId, args[2] != "0") ? 0 : 1;
    return 2;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs("usage: e2e-driver COMMAND ARGS... (see the top of main.cpp)\n", stderr);
        return 2;
    }
    const std::vector<std::string> args(argv + 2, argv + argc);
    const int nResult = Run(argv[1], args);
    if (nResult == 2)
        std::fprintf(stderr, "e2e-driver: bad usage of '%s'\n", argv[1]);
    return nResult;
}
