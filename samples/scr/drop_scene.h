// The picture: a night-blue pool into which luminous drops fall and ripple.
#pragma once

#include "fx/lumidrop_fx.h"
#include "scr/fx_library.h"
#include "scr/gdi_handles.h"
#include "scr/saver_settings.h"

#include <windows.h>

#include <vector>

class CDropScene {
public:
    CDropScene(const CFxLibrary& fx, const SSaverSettings& settings, unsigned nSeed);

    // Moves every drop by one frame in an area of the given size.
    void Step(int nWidth, int nHeight);
    // Draws the whole picture into hDC, which is nWidth x nHeight pixels.
    void Paint(HDC hDC, int nWidth, int nHeight);

private:
    void PaintBackground(HDC hDC, int nWidth, int nHeight) const;
    void PaintDrop(HDC hDC, const LumidropDrop& drop, int nHeight) const;

    const CFxLibrary& m_fx;
    int m_nSpeed;
    unsigned m_nRandom;
    std::vector<LumidropDrop> m_drops;
    // The gradient is costly to draw band by band, so it is drawn once per size.
    CBitmap m_background;
    int m_nBackgroundWidth = 0;
    int m_nBackgroundHeight = 0;
};
