// Windows names the running program's file through its module handle.
#include "tools/spdtool/program_choice.h"

#include <windows.h>

std::string ProgramFolder()
{
    char szPath[MAX_PATH] = "";
    const DWORD nLength = GetModuleFileNameA(nullptr, szPath, sizeof szPath);
    if (nLength == 0 || nLength >= sizeof szPath)
        return std::string();
    const std::string strPath(szPath, nLength);
    const std::size_t nSlash = strPath.find_last_of("\\/");
    return nSlash == std::string::npos ? std::string() : strPath.substr(0, nSlash);
}
