#include "uninstaller/uninstaller_box.h"

#include "framework/message_box.h"
#include "sys/message_text.h"

int ShowUninstallerMessage(unsigned nId, const std::string& strInsert, unsigned nStyle)
{
    std::string strText;
    FormatOne(strText, nId, strInsert.c_str());
    return ShowMessageBox(strText, nStyle);
}
