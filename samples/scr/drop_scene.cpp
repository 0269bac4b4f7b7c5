#include "scr/drop_scene.h"

namespace {

constexpr int kGradientBands = 48;
constexpr COLORREF kWaterTop = RGB(2, 3, 12);
constexpr COLORREF kWaterBottom = RGB(8, 22, 48);

int Pixels(int nScaled)
{
    return nScaled / kLumidropFxScale;
}

COLORREF Blend(COLORREF top, COLORREF bottom, int nAt, int nOf)
{
    auto channel = [&](int nTop, int nBottom) { return static_cast<BYTE>(nTop + (nBottom - nTop) * nAt / nOf); };
    return RGB(channel(GetRValue(top), GetRValue(bottom)), channel(GetGValue(top), GetGValue(bottom)),
               channel(GetBValue(top), GetBValue(bottom)));
}

// Light adds to the water beneath it, so a fading ring melts into the pool instead of darkening it.
COLORREF Lit(COLORREF water, COLORREF light)
{
    auto channel = [](int nWater, int nLight) { return static_cast<BYTE>(nWater + nLight > 255 ? 255 : nWater + nLight); };
    return RGB(channel(GetRValue(water), GetRValue(light)), channel(GetGValue(water), GetGValue(light)),
               channel(GetBValue(water), GetBValue(light)));
}

COLORREF Dimmed(COLORREF colour, int nPercent)
{
    return RGB(GetRValue(colour) * nPercent / 100, GetGValue(colour) * nPercent / 100,
               GetBValue(colour) * nPercent / 100);
}

} // namespace

CDropScene::CDropScene(const CFxLibrary& fx, const SSaverSettings& settings, unsigned nSeed)
    : m_fx(fx), m_nSpeed(settings.nSpeed), m_nRandom(nSeed), m_drops(static_cast<std::size_t>(settings.nDrops))
{
}

void CDropScene::Step(int nWidth, int nHeight)
{
    for (LumidropDrop& drop : m_drops)
        m_fx.Step(drop, m_nSpeed, nWidth, nHeight, m_nRandom);
}

void CDropScene::Paint(HDC hDC, int nWidth, int nHeight)
{
    if (m_background.Get() == nullptr || m_nBackgroundWidth != nWidth || m_nBackgroundHeight != nHeight) {
        m_background.Reset(CreateCompatibleBitmap(hDC, nWidth, nHeight));
        m_nBackgroundWidth = nWidth;
        m_nBackgroundHeight = nHeight;
        CMemoryDC memory(hDC);
        CSelection selection(memory.Get(), m_background.Get());
        PaintBackground(memory.Get(), nWidth, nHeight);
    }
    {
        CMemoryDC memory(hDC);
        CSelection selection(memory.Get(), m_background.Get());
        BitBlt(hDC, 0, 0, nWidth, nHeight, memory.Get(), 0, 0, SRCCOPY);
    }
    for (const LumidropDrop& drop : m_drops)
        PaintDrop(hDC, drop, nHeight);
}

void CDropScene::PaintBackground(HDC hDC, int nWidth, int nHeight) const
{
    for (int nBand = 0; nBand < kGradientBands; ++nBand) {
        RECT band = {0, nHeight * nBand / kGradientBands, nWidth, nHeight * (nBand + 1) / kGradientBands};
        CBrush brush(CreateSolidBrush(Blend(kWaterTop, kWaterBottom, nBand, kGradientBands - 1)));
        FillRect(hDC, &band, brush.Get());
    }
}

void CDropScene::PaintDrop(HDC hDC, const LumidropDrop& drop, int nHeight) const
{
    if (drop.nRippleMax <= 0)
        return;
    const int nX = Pixels(drop.nX);
    const int nWaterY = Pixels(drop.nRipple < 0 ? drop.nY : drop.nSurface);
    const COLORREF water = Blend(kWaterTop, kWaterBottom, nWaterY < 0 ? 0 : nWaterY, nHeight);
    const COLORREF light = m_fx.Colour(drop);
    const COLORREF colour = Lit(water, light);
    const int nThick = nHeight >= 400 ? 2 : 1;
    if (drop.nRipple < 0) {
        const int nY = Pixels(drop.nY);
        // A trail as long as a few frames of fall, fainter than the drop's head.
        CPen trail(CreatePen(PS_SOLID, nThick, Lit(water, Dimmed(light, 35))));
        CSelection trailSelection(hDC, trail.Get());
        MoveToEx(hDC, nX, nY - Pixels(drop.nVelocity) * 4 - nThick * 2, nullptr);
        LineTo(hDC, nX, nY);
        CBrush head(CreateSolidBrush(colour));
        CPen edge(CreatePen(PS_SOLID, 1, colour));
        CSelection headSelection(hDC, head.Get());
        CSelection edgeSelection(hDC, edge.Get());
        const int nHead = nThick + 1;
        Ellipse(hDC, nX - nHead, nY - nHead * 2, nX + nHead + 1, nY + nHead);
        return;
    }
    // Rings lie flat on the water: three times as wide as high, with a fainter echo inside.
    const int nY = Pixels(drop.nSurface);
    const int nRadius = Pixels(drop.nRipple) + 1;
    CSelection hollow(hDC, GetStockObject(NULL_BRUSH));
    CPen ring(CreatePen(PS_SOLID, nThick, colour));
    CSelection ringSelection(hDC, ring.Get());
    Ellipse(hDC, nX - nRadius, nY - nRadius / 3, nX + nRadius + 1, nY + nRadius / 3 + 1);
    if (nRadius > 6) {
        CPen echo(CreatePen(PS_SOLID, 1, Lit(water, Dimmed(light, 45))));
        CSelection echoSelection(hDC, echo.Get());
        const int nInner = nRadius / 2;
        Ellipse(hDC, nX - nInner, nY - nInner / 3, nX + nInner + 1, nY + nInner / 3 + 1);
    }
}
