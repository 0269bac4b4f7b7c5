#include "app/item_message.h"

#include "framework/wnd.h"
#include "sys/message_text.h"

void SetItemMessage(const CWnd& window, int nId, unsigned nMessage)
{
    std::string strText;
    if (LoadMessage(nMessage, strText))
        window.SetDlgItemText(nId, strText);
}
