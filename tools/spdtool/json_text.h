// Texts of packages and logs as JSON strings, for the commands' --json output.
#pragma once

#include <string>

// strText quoted and escaped. Package and log texts are ANSI bytes and JSON wants UTF-8,
// so bytes above 127 are taken as Latin-1.
std::string JsonText(const std::string& strText);
