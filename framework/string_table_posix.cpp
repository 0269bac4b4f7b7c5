// Without a resource section the texts come compiled in from the same table the
// Windows resources are made of, converted here from UTF-8 to code page 1252.
#include "framework/string_table.h"

#include "res/message_data.h"

namespace {
// Every character of the table lies in Latin-1, where code page 1252 and Unicode agree;
// anything else would be a fault of the table and shows as '?'.
std::string Utf8ToCp1252(const char* pszUtf8)
{
    std::string strOut;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(pszUtf8); *p != 0;) {
        if (*p < 0x80) {
            strOut += static_cast<char>(*p++);
        } else if ((p[0] & 0xE0) == 0xC0 && (p[1] & 0xC0) == 0x80) {
            const unsigned nCode = ((p[0] & 0x1Fu) << 6) | (p[1] & 0x3Fu);
            strOut += nCode <= 0xFF ? static_cast<char>(nCode) : '?';
            p += 2;
        } else {
            strOut += '?';
            ++p;
            while ((*p & 0xC0) == 0x80)
                ++p;
        }
    }
    return strOut;
}
} // namespace

bool LoadResourceString(unsigned nId, std::string& strText)
{
    const char* pszText = FindMessageText(nId);
    if (pszText == nullptr)
        return false;
    strText = Utf8ToCp1252(pszText);
    return true;
}
