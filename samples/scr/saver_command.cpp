#include "scr/saver_command.h"

#include <cctype>

SSaverCommand ParseSaverCommand(const std::string& strArguments)
{
    SSaverCommand command;
    std::size_t nAt = strArguments.find_first_not_of(" \t");
    if (nAt == std::string::npos || (strArguments[nAt] != '/' && strArguments[nAt] != '-') ||
        nAt + 1 >= strArguments.size())
        return command;
    switch (std::tolower(static_cast<unsigned char>(strArguments[nAt + 1]))) {
    case 's': command.eMode = ESaverMode::FullScreen; return command;
    case 'p': command.eMode = ESaverMode::Preview; break;
    case 'c': command.eMode = ESaverMode::Settings; break;
    default: return command;
    }
    nAt = strArguments.find_first_not_of(" \t:", nAt + 2);
    for (; nAt < strArguments.size() && std::isdigit(static_cast<unsigned char>(strArguments[nAt])) != 0; ++nAt)
        command.nWindow = command.nWindow * 10 + static_cast<std::uintptr_t>(strArguments[nAt] - '0');
    // A preview without its window has nowhere to draw; the settings are the safe answer.
    if (command.eMode == ESaverMode::Preview && command.nWindow == 0)
        command.eMode = ESaverMode::Settings;
    return command;
}
