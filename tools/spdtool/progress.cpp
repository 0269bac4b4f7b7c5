// CProgressLine: redrawn in place with '\r', at most once per percent.
#include "tools/spdtool/progress.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

// A progress line only helps a person watching; in a log it is noise.
bool StderrIsTerminal()
{
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

} // namespace

CProgressLine::CProgressLine(std::string strLabel, std::uint64_t nTotal)
    : m_strLabel(std::move(strLabel)), m_nTotal(nTotal), m_bActive(StderrIsTerminal())
{
}

CProgressLine::~CProgressLine()
{
    if (m_bActive && m_nShown >= 0)
        std::fprintf(stderr, "\r%*s\r", static_cast<int>(m_strLabel.size() + 8), "");
}

void CProgressLine::Advance(std::uint64_t nBytes)
{
    m_nDone += nBytes;
    if (!m_bActive || m_nTotal == 0)
        return;
    std::uint64_t nDone = m_nDone < m_nTotal ? m_nDone : m_nTotal;
    int nPercent = static_cast<int>(nDone * 100 / m_nTotal);
    if (nPercent == m_nShown)
        return;
    m_nShown = nPercent;
    std::fprintf(stderr, "\r%s %3d%%", m_strLabel.c_str(), nPercent);
    std::fflush(stderr);
}
