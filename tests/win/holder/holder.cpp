// holder.exe PATH: holds PATH open without sharing, as a running program holds its module,
// until its standard input ends. Says "held" on its standard output once the file is
// open; exits with 2 when it cannot be opened.
#include "framework/handle.h"

#include <windows.h>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 1;
    const CHandle held(CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
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
