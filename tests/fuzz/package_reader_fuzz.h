// How the fuzz target's reading of one input ended, so that the corpus replay can hold
// every seed to the outcome it was made for.
#pragma once

#include <cstddef>
#include <cstdint>

// Accepted, or the first rejection by the message numbers of its phase and cause (all a
// CSetupException keeps of them).
struct SFuzzOutcome {
    bool bAccepted = true;
    unsigned nPhaseMessage = 0;
    unsigned nCauseMessage = 0;
};

// Reads one input as the fuzz target does: the first byte picks the mode, the rest is the
// image. The target reads on past a rejection; only the first one is reported.
SFuzzOutcome ReadFuzzInput(const std::uint8_t* pData, std::size_t nSize);
