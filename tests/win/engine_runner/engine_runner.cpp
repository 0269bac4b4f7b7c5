// engine_runner: one whole installation on a real CSetupThread without the dialog, as if
// setup.exe lay in SOURCE_DIR; every phase and box printed as a line, every question
// answered from the command line, faults and a cancel injected where it says.
#include "app/setup_config.h"
#include "app/setup_thread_link.h"
#include "app/startup.h"
#include "engine/scripted_disk_prompt.h"
#include "engine/setup_thread.h"
#include "framework/message_box.h"
#include "tests/win/engine_runner/box_names.h"
#include "tests/win/engine_runner/runner_options.h"
#include "tests/win/fault_table/fault_table.h"
#include "tests/win/phase_window.h"

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {
constexpr int kUsageExit = 2;
constexpr int kUnansweredExit = 3;
// Sent by the setup thread's answerer: the box is named, answered and printed on the
// main thread, after the phases posted before it.
constexpr UINT WM_RUNNER_BOX = WM_APP + 1;

struct BoxRequest {
    const std::string* pText;
    unsigned nStyle;
    int nAnswer;
};

// Raises the cancel request just before the chosen check, as the dialog would when the
// user presses Cancel at that moment.
class CCancellingLink : public CSetupThreadLink {
public:
    explicit CCancellingLink(unsigned nCancelAt) : m_nCancelAt(nCancelAt) {}
    void CheckCancel() override
    {
        if (m_nCancelChecks + 1 == m_nCancelAt)
            SetEvent(m_hCancelEvent.Get());
        CSetupThreadLink::CheckCancel();
    }

private:
    unsigned m_nCancelAt;
};

bool HasButton(unsigned nStyle, int nButton)
{
    switch (nStyle & MB_TYPEMASK) {
    case MB_OK: return nButton == IDOK;
    case MB_OKCANCEL: return nButton == IDOK || nButton == IDCANCEL;
    case MB_YESNO: return nButton == IDYES || nButton == IDNO;
    case MB_YESNOCANCEL: return nButton == IDYES || nButton == IDNO || nButton == IDCANCEL;
    case MB_RETRYCANCEL: return nButton == IDRETRY || nButton == IDCANCEL;
    default: return false;
    }
}

std::string OnOneLine(const std::string& strText)
{
    std::string strLine;
    for (const char ch : strText) {
        if (ch == '\n')
            strLine += "\\n";
        else if (ch == '\r')
            strLine += "\\r";
        else
            strLine += ch;
    }
    return strLine;
}

// Stands in for the setup dialog: prints each phase as it arrives, and each box.
class CRunnerWindow : public CPhaseWindowBase {
public:
    explicit CRunnerWindow(const CRunnerOptions& options)
        : CPhaseWindowBase("LumidropEngineRunner"), m_options(options)
    {
    }

private:
    void OnPhase(WPARAM wParam, LPARAM lParam) override
    {
        if (wParam == CSetupThreadLink::PHASE_COPYING)
            std::printf("phase %d %s\n", static_cast<int>(wParam), reinterpret_cast<const char*>(lParam));
        else
            std::printf("phase %d\n", static_cast<int>(wParam));
        // The first line of a phase goes out at once, for whoever times the phases; the
        // file lines after it wait in the buffer. Written one by one, they would hold the
        // setup thread, which waits for each, for a write to the pipe per file.
        if (wParam != m_nLastPhase)
            std::fflush(stdout);
        m_nLastPhase = wParam;
    }

    LRESULT OnOtherMessage(UINT nMessage, WPARAM wParam, LPARAM lParam) override
    {
        if (nMessage != WM_RUNNER_BOX)
            return CPhaseWindowBase::OnOtherMessage(nMessage, wParam, lParam);
        Answer(*reinterpret_cast<BoxRequest*>(lParam));
        std::fflush(stdout);
        return 0;
    }

    void Answer(BoxRequest& request)
    {
        const std::string strName = BoxNameOf(*request.pText);
        request.nAnswer = ChooseAnswer(strName, request.nStyle);
        if (request.nAnswer == 0) {
            std::fflush(stdout);
            std::fprintf(stderr, "engine_runner: no answer for message %s (style 0x%x): %s\n", strName.c_str(),
                         request.nStyle, OnOneLine(*request.pText).c_str());
            std::fflush(stderr);
            // At once: an orderly exit would wait for the setup thread, which waits for this answer.
            TerminateProcess(GetCurrentProcess(), kUnansweredExit);
        }
        std::printf("box %s 0x%x %s %s\n", strName.c_str(), request.nStyle, ButtonName(request.nAnswer),
                    OnOneLine(*request.pText).c_str());
    }

    // The button for this box, or 0 when it asks a question nobody answered.
    int ChooseAnswer(const std::string& strName, unsigned nStyle)
    {
        if ((nStyle & MB_TYPEMASK) == MB_OK)
            return IDOK;
        // Only a box from one message can be answered by its number.
        const bool bOneMessage = strName.find_first_not_of("0123456789") == std::string::npos;
        const auto found = bOneMessage ? m_options.answers.find(static_cast<unsigned>(std::stoul(strName)))
                                       : m_options.answers.end();
        int nButton = m_options.nDefaultAnswer;
        if (found != m_options.answers.end()) {
            unsigned& nTimes = m_timesAsked[found->first];
            nButton = found->second[nTimes < found->second.size() ? nTimes : found->second.size() - 1];
            ++nTimes;
        }
        return HasButton(nStyle, nButton) ? nButton : 0;
    }

    const CRunnerOptions& m_options;
    std::map<unsigned, unsigned> m_timesAsked;
    WPARAM m_nLastPhase = static_cast<WPARAM>(-1);
};

// The configuration start-up fills, with DEST_DIR as the user's destination.
bool FillConfig(CSetupConfig& config, const CRunnerOptions& options)
{
    ReadPlatformFacts(config);
    config.m_strSourceDir = options.strSourceDir;
    if (!config.m_strSourceDir.empty() && config.m_strSourceDir.back() == '\\')
        config.m_strSourceDir.pop_back();
    if (!ReadPackageFacts(config, kSystemFoldersKey))
        return false;
    config.m_strDestination = options.strDestDir;
    return true;
}

// Starts the thread as the dialog does and pumps until it has ended and its last phase
// has been printed; returns its exit code.
int RunThread(CSetupThreadLink& link, IDiskPrompt& diskPrompt)
{
    std::unique_ptr<CSetupThread> pThread(BeginThread<CSetupThread>(THREAD_PRIORITY_NORMAL, 0, true));
    if (pThread == nullptr)
        return 1;
    pThread->m_pLink = &link;
    pThread->m_pDiskPrompt = &diskPrompt;
    link.m_pThread = pThread.get();
    SetEvent(link.m_hStartEvent.Get());
    pThread->ResumeThread();
    const HANDLE hDone = link.m_hDoneEvent.Get();
    MSG msg;
    while (MsgWaitForMultipleObjects(1, &hDone, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    WaitForSingleObject(pThread->GetHandle(), INFINITE);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    DWORD nExitCode = 1;
    GetExitCodeThread(pThread->GetHandle(), &nExitCode);
    link.m_pThread = nullptr;
    return static_cast<int>(nExitCode);
}
} // namespace

int main(int argc, char** argv)
{
    // Lines go out whole, when they are flushed. Left unbuffered, a stream into a pipe
    // goes out one character per system call, and the setup thread waits for every
    // PHASE_COPYING line to be written.
    std::setvbuf(stdout, nullptr, _IOFBF, BUFSIZ);
    CRunnerOptions options;
    std::string strError;
    if (!ParseRunnerOptions(argc, argv, options, strError)) {
        std::fprintf(stderr, "engine_runner: %s\n%s", strError.c_str(), kRunnerUsage);
        return kUsageExit;
    }
    if (options.bHelp) {
        std::fputs(kRunnerUsage, stdout);
        return 0;
    }
    if (options.bListFaults) {
        for (unsigned n = 0; n < static_cast<unsigned>(FaultKind::Count); ++n)
            std::printf("%s\n", FaultKindName(static_cast<FaultKind>(n)));
        return 0;
    }

    CSetupConfig* pConfig = AcquireSetupConfig();
    if (!FillConfig(*pConfig, options)) {
        ReleaseSetupConfig(pConfig);
        std::fprintf(stderr, "engine_runner: cannot read the package header in %s or the Program Files folder\n",
                     options.strSourceDir.c_str());
        return kUsageExit;
    }
    for (const auto& fault : options.faults)
        ArmFault(fault.first, fault.second);

    CRunnerWindow window(options);
    SetMessageBoxAnswerer([&window](const std::string& strText, unsigned nStyle) {
        BoxRequest request = {&strText, nStyle, 0};
        SendMessageA(window.Handle(), WM_RUNNER_BOX, 0, reinterpret_cast<LPARAM>(&request));
        return request.nAnswer;
    });
    CCancellingLink link(options.nCancelAtCheck);
    link.m_hWndDialog = window.Handle();
    // Volumes lie beside user.spd; a prompt for one is refused as a user who gives up would.
    CScriptedDiskPrompt diskPrompt;
    const int nExitCode = RunThread(link, diskPrompt);
    SetMessageBoxAnswerer(MessageBoxAnswerer());
    ReleaseSetupConfig(pConfig);

    if (options.bCountCalls) {
        for (unsigned n = 0; n < static_cast<unsigned>(FaultKind::Count); ++n)
            std::printf("calls %s %u\n", FaultKindName(static_cast<FaultKind>(n)),
                        FaultCallCount(static_cast<FaultKind>(n)));
        std::printf("checks %u\n", link.m_nCancelChecks);
    }
    // For the installation benchmark: what the whole run cost in memory, by the process's
    // own counters.
    if (std::getenv("ENGINE_RUNNER_MEMORY") != nullptr) {
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof counters;
        if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
            std::printf("memory peak-working-set %lu peak-pagefile %lu\n",
                        static_cast<unsigned long>(counters.PeakWorkingSetSize),
                        static_cast<unsigned long>(counters.PeakPagefileUsage));
    }
    std::printf("exit %d\n", nExitCode);
    return nExitCode;
}
