// What lumidrop.scr finds in lumidrop_fx.dll: the drop record and the exported functions,
// looked up by these plain names (C linkage, cdecl, so no decoration on either architecture).
#pragma once

#include <windows.h>

extern "C" {

// One drop: it falls to its surface, then spreads as a ring until the ring fades.
// Positions and speeds are in 1/256 pixel so that slow drops still move every frame.
struct LumidropDrop {
    int nX;
    int nY;
    int nVelocity;
    int nSurface;
    int nRipple;    // ring radius; negative while the drop is still falling
    int nRippleMax; // radius at which the ring has faded out
    int nHue;       // degrees
};

// The interface version; lumidrop.scr refuses a library of another one.
constexpr int kLumidropFxApiVersion = 1;

// Fixed-point scale of LumidropDrop's positions.
constexpr int kLumidropFxScale = 256;

typedef int(__cdecl* LumidropFxApiVersionFn)();
// Advances one drop by one frame in an area of nWidth x nHeight pixels; a drop that has
// never run (all zero) or whose ring has faded starts again at the top. nSpeed is 1 to 10;
// *pnRandom is the caller's random state.
typedef void(__cdecl* LumidropFxStepFn)(LumidropDrop* pDrop, int nSpeed, int nWidth, int nHeight, unsigned* pnRandom);
// The drop's colour now: bright while falling, fading as its ring spreads.
typedef COLORREF(__cdecl* LumidropFxColourFn)(const LumidropDrop* pDrop);

// The library itself exports these; the screensaver only looks them up.
#ifdef LUMIDROP_FX_BUILD
#define LUMIDROP_FX_API __declspec(dllexport)
#else
#define LUMIDROP_FX_API
#endif
LUMIDROP_FX_API int __cdecl LumidropFxApiVersion();
LUMIDROP_FX_API void __cdecl LumidropFxStep(LumidropDrop* pDrop, int nSpeed, int nWidth, int nHeight,
                                            unsigned* pnRandom);
LUMIDROP_FX_API COLORREF __cdecl LumidropFxColour(const LumidropDrop* pDrop);
}
