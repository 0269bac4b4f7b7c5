// A setup exception that also says what was wrong in a package and where, for the tools;
// the setup program catches it as the plain CSetupException it is.
#pragma once

#include "sys/my_exception.h"

#include <cstdint>
#include <string>

constexpr std::uint64_t kNoOffset = ~static_cast<std::uint64_t>(0);

class CPackageException : public CSetupException {
public:
    CPackageException(unsigned nPhase, unsigned nCause, std::string strProblem, std::uint64_t nOffset)
        : CSetupException(nPhase, nCause), m_nPhase(nPhase), m_nCause(nCause),
          m_strProblem(std::move(strProblem)), m_nOffset(nOffset) {}

    unsigned m_nPhase;
    unsigned m_nCause;
    std::string m_strProblem;
    std::uint64_t m_nOffset; // offset in the file or package stream, or kNoOffset
};

// Throws a new CPackageException; caught as CSetupException* and destroyed with Delete().
[[noreturn]] inline void ThrowPackageException(unsigned nPhase, unsigned nCause, std::string strProblem,
                                               std::uint64_t nOffset = kNoOffset)
{
    throw new CPackageException(nPhase, nCause, std::move(strProblem), nOffset);
}
