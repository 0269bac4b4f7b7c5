// A failure of spdtool that is not a damaged package: bad arguments, missing files.
#pragma once

#include <stdexcept>
#include <string>

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1; // damaged package, or the work could not be done
constexpr int kExitUsage = 2;

class CToolError : public std::runtime_error {
public:
    CToolError(const std::string& strWhat, int nExit = kExitFailed) : std::runtime_error(strWhat), m_nExit(nExit) {}
    int m_nExit;
};
