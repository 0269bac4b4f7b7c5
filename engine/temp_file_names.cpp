// The name loop shared by the joined package file and the extracted files.
#include "engine/temp_file_names.h"

#include "engine/file_helpers.h"
#include "sys/my_exception.h"

#include <cstdlib>

CTempNameSeed::CTempNameSeed(Clock clock) : m_clock(clock) {}

CTempNameSeed& CTempNameSeed::OfThisThread()
{
    thread_local CTempNameSeed s_seed;
    return s_seed;
}

void CTempNameSeed::BeforeName()
{
    const std::time_t nNow = m_clock(nullptr);
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
        if (FileExists(strPath) || !file.CreateReadWrite(strPath))
            continue;
        tempFiles.push_back(strPath);
        return strPath;
    }
    ThrowSetupException(nPhase, CAUSE_FILE_ERROR);
}
