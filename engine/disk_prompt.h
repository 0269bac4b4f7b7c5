// The question for the next disk, as the volume search sees it: the real dialog on the
// setup thread, or a scripted stand-in in tests.
#pragma once

#include <string>

class IDiskPrompt {
public:
    IDiskPrompt() = default;
    IDiskPrompt(const IDiskPrompt&) = delete;
    IDiskPrompt& operator=(const IDiskPrompt&) = delete;
    virtual ~IDiskPrompt() = default;

    // Asks, modally, for strFileName of disk nDisk, proposing strFolder. True when the
    // user confirmed a folder, then given in strChosenFolder without a trailing
    // backslash; false for every other ending.
    virtual bool Ask(const std::string& strFileName, const std::string& strFolder, unsigned nDisk,
                     std::string& strChosenFolder) = 0;
};
