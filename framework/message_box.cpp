#include "framework/message_box.h"

#include "framework/string_table.h"

#include <utility>

namespace {
MessageBoxAnswerer& Answerer()
{
    static MessageBoxAnswerer answerer;
    return answerer;
}
} // namespace

unsigned ApplyDefaultIcon(unsigned nStyle)
{
    if ((nStyle & MB_ICONMASK) != 0)
        return nStyle;
    switch (nStyle & MB_TYPEMASK) {
    case MB_OK:
    case MB_OKCANCEL:
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return nStyle | MB_ICONEXCLAMATION;
    default:
        return nStyle;
    }
}

MessageBoxAnswerer SetMessageBoxAnswerer(MessageBoxAnswerer answerer)
{
    return std::exchange(Answerer(), std::move(answerer));
}

int ShowMessageBox(const std::string& strText, unsigned nStyle)
{
    const unsigned nShown = ApplyDefaultIcon(nStyle);
    if (Answerer())
        return Answerer()(strText, nShown);
    return ShowSystemMessageBox(strText, nShown);
}

int ShowMessageBoxById(unsigned nId, unsigned nStyle)
{
    std::string strText;
    LoadResourceString(nId, strText);
    return ShowMessageBox(strText, nStyle);
}
