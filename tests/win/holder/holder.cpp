// holder.exe PATH [--writer]: holds PATH open until its standard input ends: without
// sharing, as a running program holds its module, or with --writer open for writing with
// read sharing, as a program that logs into the file. Says "held" on its standard output
// once the file is open; exits with 2 when it cannot be opened.
#include "framework/handle.h"

#include <windows.h>

#include <cstring>

int main(int argc, char** argv)
{
    const bool bWriter = argc == 3 && std::strcmp(argv[2], "--writer") == 0;
    if (argc != 2 && !bWriter)
        return 1;
    const CHandle held(CreateFileA(argv[1], bWriter ? GENERIC_WRITE : GENERIC_READ, bWriter ? FILE_SHARE_READ : 0,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!held.IsValid())
        return 2;
    DWORD nDone = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "held\n", 5, &nDone, nullptr);
    // A closed pipe and a test program that died both end the read: the file is never
    // held longer than the test that wanted it.
    char buffer[64];
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &nDone, nullptr) && nDone > 0) {
    }
    return 0;
}
