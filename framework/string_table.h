// Numbered texts of the program, handed out as code page 1252 bytes.
#pragma once

#include <string>

// Fills strText with text nId; false (and strText untouched) when there is no such text.
bool LoadResourceString(unsigned nId, std::string& strText);
