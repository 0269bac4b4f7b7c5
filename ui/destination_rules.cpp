#include "ui/destination_rules.h"

#include <cstring>

namespace {
constexpr std::size_t kMaxPathBytes = 260;
constexpr const char* kForbiddenCharacters = "/*?<>\"|";
} // namespace

DestinationVerdict CheckDestinationBytes(const std::string& strPath, LeadBytePredicate isLeadByte)
{
    if (strPath.empty())
        return DestinationVerdict::Empty;
    if (strPath.size() >= kMaxPathBytes)
        return DestinationVerdict::TooLong;
    if (strPath.size() < 2)
        return DestinationVerdict::TooShort;
    if (strPath.size() > 2 && strPath[2] != '\\')
        return DestinationVerdict::NoBackslashAtRoot;

    bool bForbidden = false;
    bool bDoubled = false;
    bool bAfterBackslash = false;
    for (std::size_t i = 0; i < strPath.size(); ++i) {
        const char ch = strPath[i];
        if (isLeadByte(static_cast<unsigned char>(ch)) && i + 1 < strPath.size()) {
            ++i;
            bAfterBackslash = false;
            continue;
        }
        // strchr would also find the terminating zero.
        if (ch != '\0' && std::strchr(kForbiddenCharacters, ch) != nullptr)
            bForbidden = true;
        if (ch == '\\' && bAfterBackslash)
            bDoubled = true;
        bAfterBackslash = ch == '\\';
    }
    if (bForbidden)
        return DestinationVerdict::ForbiddenCharacter;
    if (bDoubled)
        return DestinationVerdict::DoubledBackslash;
    return DestinationVerdict::Accepted;
}

std::string DestinationRoot(const std::string& strPath)
{
    return strPath.substr(0, 2) + "\\";
}

bool IsAcceptedDriveType(unsigned nDriveType)
{
    return nDriveType == kDriveFixed || nDriveType == kDriveRemote;
}
