// The uninstaller's boxes: one of its texts with its insert, through the program's one
// message-box seam.
#pragma once

#include <string>

int ShowUninstallerMessage(unsigned nId, const std::string& strInsert, unsigned nStyle);
