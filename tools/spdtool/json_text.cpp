#include "tools/spdtool/json_text.h"

#include <cstdio>

std::string JsonText(const std::string& strText)
{
    std::string strOut = "\"";
    for (unsigned char c : strText) {
        if (c == '"' || c == '\\') {
            strOut += '\\';
            strOut += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char sz[8];
            std::snprintf(sz, sizeof sz, "\\u%04x", static_cast<unsigned>(c));
            strOut += sz;
        } else {
            strOut += static_cast<char>(c);
        }
    }
    return strOut + "\"";
}
