// Without a desktop the program's boxes go to the standard error stream; the answer
// is the first button of the set.
#include "framework/message_box.h"

#include <cstdio>

int ShowSystemMessageBox(const std::string& strText, unsigned nStyle)
{
    std::fprintf(stderr, "%s\n", strText.c_str());
    switch (nStyle & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL: return IDYES;
    case MB_RETRYCANCEL: return IDRETRY;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    default: return IDOK;
    }
}
