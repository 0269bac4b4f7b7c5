// The name loop shared by the joined package file and the extracted files.
#include "engine/temp_file_names.h"

#include "engine/file_helpers.h"
#include "sys/my_exception.h"

#include <windows.h>

#include <cstdlib>

CTempNameSeed::CTempNameSeed(Clock clock) : m_clock(clock) {}

std::time_t CTempNameSeed::CurrentSecond()
{
    // 100-nanosecond intervals since 1601; 1970 began 11644473600 seconds later.
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const ULONGLONG nTicks = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<std::time_t>(nTicks / 10000000ULL - 11644473600ULL);
}

CTempNameSeed& CTempNameSeed::OfThisThread()
{
    thread_local CTempNameSeed s_seed;
    return s_seed;
}

void CTempNameSeed::BeforeName()
{
    const std::time_t nNow = m_clock();
    if (m_bSeeded && nNow == m_nSecond)
        return;
    std::srand(static_cast<unsigned>(nNow));
    m_bSeeded = true;
    m_nSecond = nNow;
}

std::string CreateTempFile(CPlainFile& file, const std::string& strTempFolder, unsigned nPhase,
                           const std::function<void()>& beforeEachDraw, std::vector<std::string>& tempFiles,
                           CTempNameSeed& seed)
{
    seed.BeforeName();
    std::string strPath = strTempFolder + "12345678.tmp";
    const std::size_t nNameAt = strTempFolder.size();
    std::string strName;
    for (unsigned nAttempt = 0; nAttempt < kMaxTempNameAttempts; ++nAttempt) {
        if (beforeEachDraw)
            beforeEachDraw();
        MakeRandomName(strName, 8);
        strPath.replace(nNameAt, strName.size(), strName);
        // Taken names fail the create: a name that exists, or is held open, is passed over.
        if (!file.CreateOnlyReadWrite(strPath))
            continue;
        tempFiles.push_back(strPath);
        return strPath;
    }
    ThrowSetupException(nPhase, CAUSE_FILE_ERROR);
}
