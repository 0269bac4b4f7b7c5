// The short (8.3) form of a path, as written to the registry, wininit.ini and delayed moves.
#pragma once

#include <string>

// Asks the system for the length first, then converts into a buffer of that size. A path
// the system cannot convert (it does not exist) is returned as given: a move or a
// wininit.ini line with an empty name would be worse than one with the long name.
std::string ShortPathOf(const std::string& strPath);
