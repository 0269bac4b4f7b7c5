#include "sys/message_text.h"

#include "framework/message_box.h"
#include "framework/string_table.h"

namespace {
// Largest template FormatOne works on, as bytes of text plus the terminating zero.
constexpr std::size_t kTemplateBuffer = 256;

// Which insert "%c" selects, or -1 when c starts no insert.
int InsertIndex(char ch)
{
    if (ch >= '1' && ch <= '9')
        return ch - '1';
    if (ch >= 'A' && ch <= 'Z')
        return 9 + (ch - 'A');
    return -1;
}
} // namespace

bool LoadMessage(unsigned nId, std::string& strText)
{
    return LoadResourceString(nId, strText);
}

int MessageBoxByNumber(unsigned nId, unsigned nStyle)
{
    return ShowMessageBoxById(nId, nStyle);
}

std::string FillInserts(const std::string& strTemplate, const char* const* ppszInserts, unsigned nInserts,
                        LeadBytePredicate isLeadByte)
{
    const std::string strText = strTemplate.substr(0, kTemplateBuffer - 1);
    std::string strOut;
    for (std::size_t i = 0; i < strText.size(); ++i) {
        const char ch = strText[i];
        if (isLeadByte != nullptr && isLeadByte(static_cast<unsigned char>(ch)) && i + 1 < strText.size()) {
            strOut += ch;
            strOut += strText[++i];
            continue;
        }
        const int nIndex = ch == '%' && i + 1 < strText.size() ? InsertIndex(strText[i + 1]) : -1;
        if (nIndex < 0) {
            strOut += ch;
            continue;
        }
        ++i;
        if (static_cast<unsigned>(nIndex) >= nInserts)
            strOut += '?';
        else if (ppszInserts[nIndex] != nullptr)
            strOut += ppszInserts[nIndex];
    }
    return strOut;
}

void FormatOne(std::string& strOut, unsigned nId, const char* pszInsert)
{
    std::string strTemplate;
    if (!LoadMessage(nId, strTemplate))
        return;
    strOut = FillInserts(strTemplate, &pszInsert, 1, IsSystemLeadByte);
}
