// The folder of the running test program, where the build puts the DLLs the tests use.
#pragma once

#include <windows.h>

#include <string>

inline std::string TestProgramFolder()
{
    char szPath[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, szPath, sizeof szPath);
    const std::string strPath = szPath;
    return strPath.substr(0, strPath.rfind('\\'));
}
