// Runs the fuzz target's reading once on every file of the folders (or files) named on
// the command line, so that the corpus is an ordinary test in builds without libFuzzer.
// Each seed's name ends in the outcome it was made for: "-accepted", or "-phaseP-causeC"
// for the phase and cause of the first rejection; a seed that says neither fails too.
#include "tests/fuzz/package_reader_fuzz.h"

#include "sys/my_exception.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

namespace {

std::string OutcomeText(const SFuzzOutcome& outcome)
{
    if (outcome.bAccepted)
        return "accepted";
    std::string strText;
    for (unsigned nPhase = PHASE_PREPARING; nPhase <= PHASE_FINISHING; ++nPhase) {
        if (CSetupException::PhaseMessage(nPhase) == outcome.nPhaseMessage)
            strText = "phase" + std::to_string(nPhase);
    }
    for (unsigned nCause = CAUSE_OPEN_FILE; nCause <= CAUSE_COMPRESSION; ++nCause) {
        if (CSetupException::CauseMessage(nCause) == outcome.nCauseMessage)
            strText += "-cause" + std::to_string(nCause);
    }
    return strText.empty() ? "messages " + std::to_string(outcome.nPhaseMessage) + "/" + std::to_string(outcome.nCauseMessage)
                           : strText;
}

// False, with a line on stderr, when the seed is not read as its name says.
bool RunOne(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    SFuzzOutcome outcome = ReadFuzzInput(bytes.data(), bytes.size());

    static const std::regex kExpected(".*-(accepted|phase[0-9]+-cause[0-9]+)");
    std::smatch match;
    std::string strName = path.filename().string();
    if (!std::regex_match(strName, match, kExpected)) {
        std::fprintf(stderr, "%s: the name says no outcome (read as %s)\n", strName.c_str(), OutcomeText(outcome).c_str());
        return false;
    }
    if (match[1] != OutcomeText(outcome)) {
        std::fprintf(stderr, "%s: read as %s\n", strName.c_str(), OutcomeText(outcome).c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    unsigned nCount = 0;
    unsigned nWrong = 0;
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path path(argv[i]);
        std::vector<std::filesystem::path> vecFiles;
        if (std::filesystem::is_directory(path)) {
            for (const auto& entry : std::filesystem::directory_iterator(path)) {
                if (entry.is_regular_file())
                    vecFiles.push_back(entry.path());
            }
        } else {
            vecFiles.push_back(path);
        }
        for (const std::filesystem::path& file : vecFiles) {
            if (!RunOne(file))
                ++nWrong;
            ++nCount;
        }
    }
    std::printf("replayed %u inputs, %u not read as their names say\n", nCount, nWrong);
    return nCount > 0 && nWrong == 0 ? 0 : 1;
}
