// The destination path's rules on bytes, tried in order, with the double-byte character
// searches, and the drive types the last rule accepts.
#include "ui/destination_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace {
using V = DestinationVerdict;

bool NoLeadBytes(unsigned char)
{
    return false;
}

// Shift-JIS: its trail bytes include the backslash (0x5C) and the vertical bar (0x7C).
bool ShiftJisLeadByte(unsigned char ch)
{
    return (ch >= 0x81 && ch <= 0x9F) || (ch >= 0xE0 && ch <= 0xFC);
}

std::string PathOfLength(std::size_t nBytes)
{
    std::string strPath = "C:\\";
    while (strPath.size() < nBytes)
        strPath += (strPath.size() % 9 == 0) ? '\\' : 'a';
    return strPath;
}

struct Case {
    std::string strPath;
    LeadBytePredicate isLeadByte;
    V expected;
};
} // namespace

TEST(DestinationRules, EachRuleInItsOrder)
{
    const Case kCases[] = {
        {"", NoLeadBytes, V::Empty},
        {PathOfLength(259), NoLeadBytes, V::Accepted},
        {PathOfLength(260), NoLeadBytes, V::TooLong},
        // Length comes before everything else the path may break.
        {std::string(300, '|'), NoLeadBytes, V::TooLong},
        {"C", NoLeadBytes, V::TooShort},
        {"C:", NoLeadBytes, V::Accepted},
        {"C:\\", NoLeadBytes, V::Accepted},
        {"C:\\Programme\\Nuit", NoLeadBytes, V::Accepted},
        {"C:Nuit", NoLeadBytes, V::NoBackslashAtRoot},
        {"\\\\serveur\\partage", NoLeadBytes, V::NoBackslashAtRoot},
        {"C:\\a/b", NoLeadBytes, V::ForbiddenCharacter},
        {"C:\\a*", NoLeadBytes, V::ForbiddenCharacter},
        {"C:\\a?", NoLeadBytes, V::ForbiddenCharacter},
        {"C:\\a<", NoLeadBytes, V::ForbiddenCharacter},
        {"C:\\a>", NoLeadBytes, V::ForbiddenCharacter},
        {"C:\\a\"", NoLeadBytes, V::ForbiddenCharacter},
        {"C:\\a|b", NoLeadBytes, V::ForbiddenCharacter},
        {"C:\\a:b", NoLeadBytes, V::Accepted},
        // The forbidden character is reported before a doubled backslash earlier on.
        {"C:\\\\a|", NoLeadBytes, V::ForbiddenCharacter},
        {"C:\\\\", NoLeadBytes, V::DoubledBackslash},
        {"C:\\a\\\\b", NoLeadBytes, V::DoubledBackslash},
        {"C:\\a\\b\\", NoLeadBytes, V::Accepted},
        // A trail byte is no character of its own.
        {"C:\\\x95\\\\b", ShiftJisLeadByte, V::Accepted},
        {"C:\\\x95\\\\b", NoLeadBytes, V::DoubledBackslash},
        {"C:\\\x81|", ShiftJisLeadByte, V::Accepted},
        {"C:\\\x81|", NoLeadBytes, V::ForbiddenCharacter},
        // A lead byte at the very end has no trail to hide.
        {"C:\\a\x81", ShiftJisLeadByte, V::Accepted},
        {"C:\\\\\x81", ShiftJisLeadByte, V::DoubledBackslash},
        // Byte rules stay byte rules: a lead byte in the root does not shift them.
        {"\x81x\\", ShiftJisLeadByte, V::Accepted},
        {"\x81\\x", ShiftJisLeadByte, V::NoBackslashAtRoot},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(CheckDestinationBytes(c.strPath, c.isLeadByte), c.expected) << '"' << c.strPath << '"';
}

TEST(DestinationRules, RootIsTheFirstTwoBytesAndABackslash)
{
    EXPECT_EQ(DestinationRoot("D:\\Jeux\\Nuit"), "D:\\");
    EXPECT_EQ(DestinationRoot("D:"), "D:\\");
}

TEST(DestinationRules, OnlyFixedAndNetworkDrivesAreAccepted)
{
    // The system's codes: unknown, no root, removable, fixed, remote, CD-ROM, RAM disk.
    const bool kAccepted[] = {false, false, false, true, true, false, false};
    for (unsigned nType = 0; nType < sizeof kAccepted / sizeof kAccepted[0]; ++nType)
        EXPECT_EQ(IsAcceptedDriveType(nType), kAccepted[nType]) << nType;
}
