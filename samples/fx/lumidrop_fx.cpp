// lumidrop_fx.dll: the physics and colours of Lumidrop's drops, shared by its screensavers.
#include "fx/lumidrop_fx.h"

namespace {

unsigned NextRandom(unsigned* pnRandom, unsigned nRange)
{
    // A plain LCG: the picture needs variety, not quality, and the state stays the caller's.
    *pnRandom = *pnRandom * 1664525u + 1013904223u;
    return nRange == 0 ? 0 : (*pnRandom >> 8) % nRange;
}

int RandomIn(unsigned* pnRandom, int nLow, int nHigh)
{
    return nLow + static_cast<int>(NextRandom(pnRandom, static_cast<unsigned>(nHigh - nLow + 1)));
}

void Respawn(LumidropDrop* pDrop, int nSpeed, int nWidth, int nHeight, unsigned* pnRandom)
{
    pDrop->nX = RandomIn(pnRandom, 0, nWidth - 1) * kLumidropFxScale;
    // Starting above the top at different heights spreads the first drops over time.
    pDrop->nY = -RandomIn(pnRandom, 0, nHeight / 2) * kLumidropFxScale;
    pDrop->nVelocity = nSpeed * nHeight / 16 + RandomIn(pnRandom, 0, kLumidropFxScale);
    pDrop->nSurface = RandomIn(pnRandom, nHeight * 45 / 100, nHeight * 95 / 100) * kLumidropFxScale;
    pDrop->nRipple = -1;
    // Rings nearer the bottom look nearer, so they grow larger.
    pDrop->nRippleMax = (4 + nHeight / 12) * pDrop->nSurface / nHeight + RandomIn(pnRandom, 0, nHeight / 20) * kLumidropFxScale;
    pDrop->nHue = RandomIn(pnRandom, 170, 300);
}

} // namespace

extern "C" {

int __cdecl LumidropFxApiVersion()
{
    return kLumidropFxApiVersion;
}

void __cdecl LumidropFxStep(LumidropDrop* pDrop, int nSpeed, int nWidth, int nHeight,
                                                 unsigned* pnRandom)
{
    if (nWidth < 1 || nHeight < 1)
        return;
    nSpeed = nSpeed < 1 ? 1 : nSpeed > 10 ? 10 : nSpeed;
    if (pDrop->nRippleMax <= 0) {
        Respawn(pDrop, nSpeed, nWidth, nHeight, pnRandom);
        return;
    }
    if (pDrop->nRipple < 0) {
        pDrop->nVelocity += nSpeed * nHeight / 64 + 1;
        pDrop->nY += pDrop->nVelocity;
        if (pDrop->nY >= pDrop->nSurface) {
            pDrop->nY = pDrop->nSurface;
            pDrop->nRipple = 0;
        }
        return;
    }
    pDrop->nRipple += nSpeed * nHeight / 8 + kLumidropFxScale / 4;
    if (pDrop->nRipple >= pDrop->nRippleMax)
        Respawn(pDrop, nSpeed, nWidth, nHeight, pnRandom);
}

COLORREF __cdecl LumidropFxColour(const LumidropDrop* pDrop)
{
    int nValue = 255;
    if (pDrop->nRipple >= 0 && pDrop->nRippleMax > 0)
        nValue = 255 - 255 * pDrop->nRipple / pDrop->nRippleMax;
    nValue = nValue < 0 ? 0 : nValue;
    // HSV to RGB with full saturation softened towards white, so that drops glow.
    const int nHue = ((pDrop->nHue % 360) + 360) % 360;
    const int nSector = nHue / 60;
    const int nRise = (nHue % 60) * 255 / 60;
    int nRed = 0, nGreen = 0, nBlue = 0;
    switch (nSector) {
    case 0: nRed = 255; nGreen = nRise; break;
    case 1: nRed = 255 - nRise; nGreen = 255; break;
    case 2: nGreen = 255; nBlue = nRise; break;
    case 3: nGreen = 255 - nRise; nBlue = 255; break;
    case 4: nRed = nRise; nBlue = 255; break;
    default: nRed = 255; nBlue = 255 - nRise; break;
    }
    auto soften = [nValue](int nChannel) { return static_cast<BYTE>((nChannel * 3 / 4 + 64) * nValue / 255); };
    return RGB(soften(nRed), soften(nGreen), soften(nBlue));
}
}
