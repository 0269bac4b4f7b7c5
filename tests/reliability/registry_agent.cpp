// registry_agent.exe: the reliability sweep's hands in the registry, one process for the
// whole sweep (a Wine process costs a quarter of a second to start; a case needs several
// looks at the registry). Reads one command per line on standard input, answers with
// lines and a line "." after each; keys are paths below HKEY_LOCAL_MACHINE:
//
//   dump KEY                          "absent", or "key REL" and "value REL<TAB>NAME<TAB>TYPE<TAB>HEX"
//                                     for the key and everything below it (REL relative to KEY)
//   delete-key KEY                    the key with everything below it
//   delete-value KEY<TAB>NAME
//   set-value KEY<TAB>NAME<TAB>TYPE<TAB>HEX   creating the key when needed
//
// A change answers "ok" or "error N" (a missing key or value is no error).
#include "framework/reg_key.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {
std::vector<std::string> Fields(const std::string& strText)
{
    std::vector<std::string> vecFields;
    std::istringstream text(strText);
    std::string strField;
    while (std::getline(text, strField, '\t'))
        vecFields.push_back(strField);
    return vecFields;
}

std::string Hex(const unsigned char* pData, DWORD nSize)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string strHex;
    for (DWORD n = 0; n < nSize; ++n) {
        strHex += kDigits[pData[n] >> 4];
        strHex += kDigits[pData[n] & 15];
    }
    return strHex;
}

std::vector<unsigned char> Bytes(const std::string& strHex)
{
    std::vector<unsigned char> vecBytes;
    for (std::size_t n = 0; n + 1 < strHex.size(); n += 2)
        vecBytes.push_back(static_cast<unsigned char>(std::stoul(strHex.substr(n, 2), nullptr, 16)));
    return vecBytes;
}

void DumpKey(const std::string& strKey, const std::string& strRelative)
{
    CRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, strKey.c_str(), KEY_READ) != ERROR_SUCCESS)
        return;
    std::printf("key %s\n", strRelative.c_str());
    std::vector<unsigned char> data(1 << 16);
    char szName[16384];
    for (DWORD n = 0;; ++n) {
        DWORD nNameSize = sizeof szName;
        DWORD nType = 0;
        DWORD nSize = static_cast<DWORD>(data.size());
        if (RegEnumValueA(key.Get(), n, szName, &nNameSize, nullptr, &nType, data.data(), &nSize) != ERROR_SUCCESS)
            break;
        std::printf("value %s\t%s\t%lu\t%s\n", strRelative.c_str(), szName, nType, Hex(data.data(), nSize).c_str());
    }
    std::vector<std::string> vecSubKeys;
    for (DWORD n = 0;; ++n) {
        DWORD nNameSize = sizeof szName;
        if (RegEnumKeyExA(key.Get(), n, szName, &nNameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        vecSubKeys.push_back(szName);
    }
    key.Close();
    for (const std::string& strSub : vecSubKeys)
        DumpKey(strKey + "\\" + strSub, strRelative.empty() ? strSub : strRelative + "\\" + strSub);
}

void Report(LONG nResult)
{
    if (nResult == ERROR_SUCCESS || nResult == ERROR_FILE_NOT_FOUND)
        std::printf("ok\n");
    else
        std::printf("error %ld\n", nResult);
}

void Perform(const std::string& strCommand, const std::string& strArgument)
{
    const std::vector<std::string> vecArgs = Fields(strArgument);
    CRegKey key;
    if (strCommand == "dump") {
        if (key.Open(HKEY_LOCAL_MACHINE, strArgument.c_str(), KEY_READ) != ERROR_SUCCESS)
            std::printf("absent\n");
        else
            DumpKey(strArgument, "");
    } else if (strCommand == "delete-key") {
        Report(static_cast<LONG>(SHDeleteKeyA(HKEY_LOCAL_MACHINE, strArgument.c_str())));
    } else if (strCommand == "delete-value" && vecArgs.size() == 2) {
        LONG nResult = key.Open(HKEY_LOCAL_MACHINE, vecArgs[0].c_str(), KEY_SET_VALUE);
        if (nResult == ERROR_SUCCESS)
            nResult = key.DeleteValue(vecArgs[1].c_str());
        Report(nResult);
    } else if (strCommand == "set-value" && vecArgs.size() >= 3) {
        const std::vector<unsigned char> data = Bytes(vecArgs.size() > 3 ? vecArgs[3] : "");
        LONG nResult = key.Create(HKEY_LOCAL_MACHINE, vecArgs[0].c_str(), KEY_SET_VALUE);
        if (nResult == ERROR_SUCCESS)
            nResult = key.SetValue(vecArgs[1].c_str(), std::stoul(vecArgs[2]), data.data(),
                                   static_cast<DWORD>(data.size()));
        Report(nResult);
    } else {
        std::printf("error unknown command\n");
    }
}
} // namespace

int main()
{
    std::string strLine;
    while (std::getline(std::cin, strLine)) {
        if (!strLine.empty() && strLine.back() == '\r')
            strLine.pop_back();
        const std::size_t nSpace = strLine.find(' ');
        Perform(strLine.substr(0, nSpace), nSpace == std::string::npos ? "" : strLine.substr(nSpace + 1));
        std::printf(".\n");
        std::fflush(stdout);
    }
    return 0;
}
