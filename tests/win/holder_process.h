// Another process that holds a file open (holder/holder.cpp, built beside the test
// programs): a target in use, as the setup finds a running screensaver's module (without
// sharing), or a file another program writes while others may read it (bWriter).
#pragma once

#include "framework/handle.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

class CHolderProcess {
public:
    // Starts the holder on strPath and returns once it holds the file (IsHolding), or has
    // given up.
    explicit CHolderProcess(const std::string& strPath, bool bWriter = false)
    {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE hChildInput = nullptr;
        HANDLE hChildOutput = nullptr;
        HANDLE hInput = nullptr;
        HANDLE hOutput = nullptr;
        if (!CreatePipe(&hChildInput, &hInput, &inherit, 0))
            return;
        m_hInput.Reset(hInput);
        const CHandle childInput(hChildInput);
        if (!CreatePipe(&hOutput, &hChildOutput, &inherit, 0))
            return;
        const CHandle output(hOutput);
        CHandle childOutput(hChildOutput);
        // Only the child's own ends go to the child: the holder must see its input end
        // when this process closes its end.
        SetHandleInformation(hInput, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(hOutput, HANDLE_FLAG_INHERIT, 0);

        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = hChildInput;
        startup.hStdOutput = hChildOutput;
        startup.hStdError = hChildOutput;
        const std::string strProgram = ProgramFolder() + "holder.exe";
        std::string strCommand = "\"" + strProgram + "\" \"" + strPath + "\"" + (bWriter ? " --writer" : "");
        PROCESS_INFORMATION process = {};
        if (!CreateProcessA(strProgram.c_str(), &strCommand[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                            &startup, &process)) {
            ADD_FAILURE() << "cannot start " << strProgram << ": error " << GetLastError();
            return;
        }
        m_hProcess.Reset(process.hProcess);
        const CHandle thread(process.hThread);
        // Once the child has its copy, this one would keep the pipe open past the child's end.
        childOutput.Reset();
        char szSaid[8] = "";
        DWORD nRead = 0;
        // The holder's output ends when it exits, so this read cannot outlast it.
        m_bHolding = ReadFile(hOutput, szSaid, 5, &nRead, nullptr) && nRead == 5 &&
                     std::string(szSaid, 5) == "held\n";
    }
    CHolderProcess(const CHolderProcess&) = delete;
    CHolderProcess& operator=(const CHolderProcess&) = delete;
    ~CHolderProcess() { End(); }

    bool IsHolding() const { return m_bHolding; }

    // Lets the file go: the holder ends when its input does.
    void End()
    {
        m_hInput.Reset();
        if (m_hProcess.IsValid() && WaitForSingleObject(m_hProcess.Get(), 10000) != WAIT_OBJECT_0) {
            TerminateProcess(m_hProcess.Get(), 1);
            WaitForSingleObject(m_hProcess.Get(), 10000);
        }
        m_hProcess.Reset();
        m_bHolding = false;
    }

private:
    static std::string ProgramFolder()
    {
        char szPath[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, szPath, sizeof szPath);
        std::string strFolder = szPath;
        return strFolder.substr(0, strFolder.rfind('\\') + 1);
    }

    CHandle m_hProcess;
    CHandle m_hInput;
    bool m_bHolding = false;
};
