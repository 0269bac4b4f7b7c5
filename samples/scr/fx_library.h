// lumidrop_fx.dll, loaded by name: beside the screensaver first, then from the system folder
// where the setup puts it as a shared file.
#pragma once

#include "fx/lumidrop_fx.h"

#include <windows.h>

class CFxLibrary {
public:
    CFxLibrary();
    CFxLibrary(const CFxLibrary&) = delete;
    CFxLibrary& operator=(const CFxLibrary&) = delete;
    ~CFxLibrary();

    // False when the library is missing, lacks a function or has another interface version.
    bool IsLoaded() const { return m_pfnStep != nullptr && m_pfnColour != nullptr; }

    void Step(LumidropDrop& drop, int nSpeed, int nWidth, int nHeight, unsigned& nRandom) const
    {
        m_pfnStep(&drop, nSpeed, nWidth, nHeight, &nRandom);
    }
    COLORREF Colour(const LumidropDrop& drop) const { return m_pfnColour(&drop); }

private:
    HMODULE m_hModule;
    LumidropFxStepFn m_pfnStep = nullptr;
    LumidropFxColourFn m_pfnColour = nullptr;
};
