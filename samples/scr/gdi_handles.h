// Owners of the GDI handles the drawing uses, each released in its destructor.
#pragma once

#include <windows.h>

#include <utility>

// A pen, brush or bitmap: deleted when dropped.
template <class THandle>
class CGdiObject {
public:
    CGdiObject() = default;
    explicit CGdiObject(THandle hObject) : m_hObject(hObject) {}
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    CGdiObject(CGdiObject&& other) noexcept : m_hObject(std::exchange(other.m_hObject, nullptr)) {}
    CGdiObject& operator=(CGdiObject&& other) noexcept
    {
        if (this != &other)
            Reset(std::exchange(other.m_hObject, nullptr));
        return *this;
    }
    ~CGdiObject() { Reset(); }

    THandle Get() const { return m_hObject; }
    void Reset(THandle hObject = nullptr)
    {
        if (m_hObject != nullptr)
            DeleteObject(m_hObject);
        m_hObject = hObject;
    }

private:
    THandle m_hObject = nullptr;
};

using CPen = CGdiObject<HPEN>;
using CBrush = CGdiObject<HBRUSH>;
using CBitmap = CGdiObject<HBITMAP>;

// An object selected into a DC for one scope; the DC gets its previous object back, so
// the object can be deleted afterwards.
class CSelection {
public:
    CSelection(HDC hDC, HGDIOBJ hObject) : m_hDC(hDC), m_hPrevious(SelectObject(hDC, hObject)) {}
    CSelection(const CSelection&) = delete;
    CSelection& operator=(const CSelection&) = delete;
    ~CSelection() { SelectObject(m_hDC, m_hPrevious); }

private:
    HDC m_hDC;
    HGDIOBJ m_hPrevious;
};

// A memory DC compatible with another DC.
class CMemoryDC {
public:
    explicit CMemoryDC(HDC hCompatible) : m_hDC(CreateCompatibleDC(hCompatible)) {}
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;
    ~CMemoryDC()
    {
        if (m_hDC != nullptr)
            DeleteDC(m_hDC);
    }

    HDC Get() const { return m_hDC; }

private:
    HDC m_hDC;
};

// The DC of one WM_PAINT.
class CPaintDC {
public:
    explicit CPaintDC(HWND hWnd) : m_hWnd(hWnd) { BeginPaint(hWnd, &m_paint); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    ~CPaintDC() { EndPaint(m_hWnd, &m_paint); }

    HDC Get() const { return m_paint.hdc; }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_paint = {};
};
