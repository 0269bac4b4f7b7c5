// A library planted beside setup.exe under the name of a library of the system. Whoever
// loads it leaves a line in the marker file that LUMIDROP_PROBE_MARKERS names: the probe's
// own file and the program that loaded it. It then refuses to stay, so that the program
// goes on as far as it can and every load of the run is caught.
#include <windows.h>

namespace {
void AppendMarker(HINSTANCE hInstance)
{
    char szMarkers[MAX_PATH] = "";
    const DWORD nLength = GetEnvironmentVariableA("LUMIDROP_PROBE_MARKERS", szMarkers, sizeof szMarkers);
    if (nLength == 0 || nLength >= sizeof szMarkers)
        return;
    char szProbe[MAX_PATH] = "";
    char szProgram[MAX_PATH] = "";
    GetModuleFileNameA(hInstance, szProbe, sizeof szProbe);
    GetModuleFileNameA(nullptr, szProgram, sizeof szProgram);
    const HANDLE hFile = CreateFileA(szMarkers, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return;
    DWORD nWritten = 0;
    const char* const parts[] = {szProbe, " loaded by ", szProgram, "\r\n"};
    for (const char* pszPart : parts)
        WriteFile(hFile, pszPart, lstrlenA(pszPart), &nWritten, nullptr);
    CloseHandle(hFile);
}
} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD nReason, LPVOID);

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD nReason, LPVOID)
{
    if (nReason != DLL_PROCESS_ATTACH)
        return TRUE;
    AppendMarker(hInstance);
    return FALSE;
}
