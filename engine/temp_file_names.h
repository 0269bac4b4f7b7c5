// New temporary files of a run: 8 random letters and ".tmp" in the run's private folder.
#pragma once

#include "format/plain_file.h"

#include <ctime>
#include <functional>
#include <string>
#include <vector>

// How many names are drawn before a folder that refuses new files is given up. A refusing
// folder costs only a moment to give up on, and no run meets that many taken names.
constexpr unsigned kMaxTempNameAttempts = 10000;

// When the generator of the temporary names is seeded: with the clock's second before a
// file's name is drawn, but only when that second differs from the one it was last seeded
// with. Seeded again within the same second, the k-th file of a second would draw the k - 1
// names before it once more. The generator's state belongs to the thread, and so does the
// setup thread's seed.
class CTempNameSeed {
public:
    using Clock = std::time_t (*)();
    // The clock is the system's, as the C runtime's time() gives it.
    explicit CTempNameSeed(Clock clock = &CurrentSecond);
    static CTempNameSeed& OfThisThread();

    void BeforeName();

    // The seconds since 1970 (UTC) that time() returns, read without the time zone
    // that the C runtime's time() looks up on every call.
    static std::time_t CurrentSecond();

private:
    Clock m_clock;
    bool m_bSeeded = false;
    std::time_t m_nSecond = 0;
};

// Draws strTempFolder (ending in a backslash) + 8 letters + ".tmp", seed.BeforeName() first,
// until a name that names no existing file can be created, read-write and exclusive, as
// file. beforeEachDraw runs first at every attempt (the extraction's cancel check). Raises
// phase nPhase, cause 2 once kMaxTempNameAttempts names have failed. The new file's path
// is added to tempFiles and returned.
std::string CreateTempFile(CPlainFile& file, const std::string& strTempFolder, unsigned nPhase,
                           const std::function<void()>& beforeEachDraw, std::vector<std::string>& tempFiles,
                           CTempNameSeed& seed = CTempNameSeed::OfThisThread());
