// Start-up decisions that need no system: where the program's folder ends, how the
// default destination is formed and which language the user's language id names.
#pragma once

#include <cstdint>
#include <string>

// The module path cut before its last backslash; a path without one is kept whole.
std::string FolderOfModulePath(const std::string& strModulePath);

// The Program Files folder and the package's default folder joined by one backslash,
// both ends trimmed of white space and then of every trailing backslash. An empty
// default folder gives an empty destination: the destination page then proposes one.
std::string MakeDefaultDestination(const std::string& strProgramFiles, const std::string& strDefaultFolder);

// Removes trailing white space, then all trailing backslashes.
std::string TrimFolderEnd(std::string strPath);

// The language the program keeps of a language id: its primary language, the low ten
// bits, without the sublanguage (0x0807, German as in Switzerland, gives 0x07).
std::uint16_t PrimaryLanguageOf(std::uint16_t nLanguageId);
