// The rules a destination path must pass before the installation starts, on its bytes
// in the ANSI code page; the drive's type is the system's to tell.
#pragma once

#include "sys/message_text.h"

#include <string>

// Which rule refused a path, in the order the rules are tried.
enum class DestinationVerdict {
    Accepted,
    Empty,
    TooLong,            // 260 bytes or more
    TooShort,           // under 2 bytes
    NoBackslashAtRoot,  // longer than 2 bytes, third byte not a backslash
    ForbiddenCharacter, // one of / * ? < > " |
    DoubledBackslash,
    WrongDriveType,     // neither a fixed disk nor a network drive
};

// The path's length, its root and its characters. The two searches go by characters of
// the code page that isLeadByte describes, so the trail byte of a double-byte character
// matches neither a forbidden character nor a backslash.
DestinationVerdict CheckDestinationBytes(const std::string& strPath, LeadBytePredicate isLeadByte);

// The root whose drive type decides: the path's first two bytes and a backslash.
std::string DestinationRoot(const std::string& strPath);

// The system's drive-type codes that the rule accepts: a fixed disk (3) and a network
// drive (4).
constexpr unsigned kDriveFixed = 3;
constexpr unsigned kDriveRemote = 4;
bool IsAcceptedDriveType(unsigned nDriveType);
