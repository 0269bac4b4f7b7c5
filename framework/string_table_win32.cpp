// The texts live in the program's string-table resource; LoadStringA converts them
// from their stored wide form to the ANSI code page.
#include "framework/string_table.h"

#include <windows.h>

bool LoadResourceString(unsigned nId, std::string& strText)
{
    // A string-table entry holds at most 4097 characters; ours are far shorter.
    char szBuffer[4100];
    const int nLength = LoadStringA(GetModuleHandleA(nullptr), nId, szBuffer, sizeof szBuffer);
    if (nLength <= 0)
        return false;
    strText.assign(szBuffer, static_cast<std::size_t>(nLength));
    return true;
}
