// The engine runner's command line.
#pragma once

#include "framework/fault_point.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

struct CRunnerOptions {
    std::string strSourceDir;
    std::string strDestDir;
    // Per message number, the buttons (IDYES, ...) to press in order; the last one again
    // for every later time the message appears.
    std::map<unsigned, std::vector<int>> answers;
    int nDefaultAnswer = 0; // 0: none
    unsigned nCancelAtCheck = 0; // 0: never
    std::vector<std::pair<FaultKind, unsigned>> faults;
    bool bListFaults = false;
    bool bCountCalls = false;
    bool bHelp = false;
};

extern const char kRunnerUsage[];

// False, with the reason in strError, when the command line is not one the runner takes.
bool ParseRunnerOptions(int argc, char** argv, CRunnerOptions& options, std::string& strError);

// The button's name on the command line ("yes"), or "?" for another button.
const char* ButtonName(int nButton);
