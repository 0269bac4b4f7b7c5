// The code of the version-probe DLLs: they are only ever read for their version resource,
// never loaded, but a DLL needs something to export.
extern "C" __declspec(dllexport) int LumidropProbe()
{
    return PROBE_VARIANT;
}
