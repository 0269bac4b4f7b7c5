// Names a box's text by the message it was made from: "226", "60+33" for a setup
// failure (phase and cause messages), or "-" for a text the table does not hold.
#pragma once

#include <string>

std::string BoxNameOf(const std::string& strText);

// True when strText is strTemplate with each insert (%1..%9, %A..%Z) filled by any text.
bool MatchesTemplate(const std::string& strText, const std::string& strTemplate);
