// Reading the engine runner's command line.
#include "tests/win/engine_runner/runner_options.h"

#include "tests/win/fault_table/fault_table.h"

#include <windows.h>

#include <cstdlib>
#include <sstream>

const char kRunnerUsage[] =
    "usage: engine_runner SOURCE_DIR DEST_DIR [--answer NUMBER=BUTTON[,BUTTON...]]...\n"
    "                     [--default-answer BUTTON] [--cancel-at-check K] [--fail KIND:N]...\n"
    "                     [--count-calls]\n"
    "       engine_runner --list-faults | --help\n"
    "Runs one whole installation of the setup files in SOURCE_DIR into DEST_DIR on a real\n"
    "setup thread and prints one line per event: 'phase N [file]', 'box ID STYLE BUTTON TEXT',\n"
    "with --count-calls 'calls KIND N' per fault kind and 'checks N' (cancel checks made), and\n"
    "last 'exit N', the thread's exit code and the runner's own. BUTTON is yes, no, ok, cancel\n"
    "or retry; a list is used in order, its last button for every later time.\n"
    "--cancel-at-check K raises the cancel request just before the K-th cancel check;\n"
    "--fail KIND:N makes the N-th call of KIND fail (--list-faults lists the kinds).\n"
    "Exit codes: 0 and 1 the thread's, 2 a wrong command line or unreadable setup files,\n"
    "3 a question without an answer.\n";

namespace {
struct ButtonRow {
    const char* pszName;
    int nButton;
};
constexpr ButtonRow kButtons[] = {{"yes", IDYES}, {"no", IDNO}, {"ok", IDOK}, {"cancel", IDCANCEL}, {"retry", IDRETRY}};

bool ButtonByName(const std::string& strName, int& nButton)
{
    for (const ButtonRow& row : kButtons) {
        if (strName == row.pszName) {
            nButton = row.nButton;
            return true;
        }
    }
    return false;
}

bool PositiveNumber(const std::string& strText, unsigned& nValue)
{
    if (strText.empty() || strText.find_first_not_of("0123456789") != std::string::npos || strText.size() > 9)
        return false;
    nValue = static_cast<unsigned>(std::strtoul(strText.c_str(), nullptr, 10));
    return nValue > 0;
}

// "NUMBER=BUTTON[,BUTTON...]"
bool ParseAnswer(const std::string& strArg, CRunnerOptions& options)
{
    const std::size_t nEquals = strArg.find('=');
    unsigned nMessage = 0;
    if (nEquals == std::string::npos || !PositiveNumber(strArg.substr(0, nEquals), nMessage))
        return false;
    std::vector<int>& vecButtons = options.answers[nMessage];
    std::istringstream list(strArg.substr(nEquals + 1));
    std::string strName;
    while (std::getline(list, strName, ',')) {
        int nButton = 0;
        if (!ButtonByName(strName, nButton))
            return false;
        vecButtons.push_back(nButton);
    }
    return !vecButtons.empty();
}

// "KIND:N"
bool ParseFault(const std::string& strArg, CRunnerOptions& options)
{
    const std::size_t nColon = strArg.rfind(':');
    FaultKind nKind = FaultKind::Count;
    unsigned nCall = 0;
    if (nColon == std::string::npos || !FaultKindByName(strArg.substr(0, nColon), nKind) ||
        !PositiveNumber(strArg.substr(nColon + 1), nCall))
        return false;
    options.faults.emplace_back(nKind, nCall);
    return true;
}
} // namespace

const char* ButtonName(int nButton)
{
    for (const ButtonRow& row : kButtons)
        if (row.nButton == nButton)
            return row.pszName;
    return "?";
}

bool ParseRunnerOptions(int argc, char** argv, CRunnerOptions& options, std::string& strError)
{
    std::vector<std::string> vecPlaces;
    for (int n = 1; n < argc; ++n) {
        const int nFirst = n;
        const std::string strArg = argv[n];
        const bool bHasValue = n + 1 < argc;
        bool bGood = true;
        if (strArg == "--help") {
            options.bHelp = true;
        } else if (strArg == "--list-faults") {
            options.bListFaults = true;
        } else if (strArg == "--count-calls") {
            options.bCountCalls = true;
        } else if (strArg == "--answer") {
            bGood = bHasValue && ParseAnswer(argv[++n], options);
        } else if (strArg == "--default-answer") {
            bGood = bHasValue && ButtonByName(argv[++n], options.nDefaultAnswer);
        } else if (strArg == "--cancel-at-check") {
            bGood = bHasValue && PositiveNumber(argv[++n], options.nCancelAtCheck);
        } else if (strArg == "--fail") {
            bGood = bHasValue && ParseFault(argv[++n], options);
        } else if (strArg.compare(0, 2, "--") == 0) {
            bGood = false;
        } else {
            vecPlaces.push_back(strArg);
        }
        if (!bGood) {
            strError = "cannot use '" + strArg + (n > nFirst ? " " + std::string(argv[n]) : "") + "'";
            return false;
        }
    }
    if (options.bHelp || options.bListFaults)
        return true;
    if (vecPlaces.size() != 2) {
        strError = "SOURCE_DIR and DEST_DIR are needed";
        return false;
    }
    options.strSourceDir = vecPlaces[0];
    options.strDestDir = vecPlaces[1];
    return true;
}
