// Owners of the user-interface handles the link control holds: a GDI font, a cursor
// copy, a loaded library and a window of its own (the tooltip). Each closes its handle
// on destruction.
#pragma once

#include <windows.h>

#include <utility>

template <class THandle, class TCloser>
class CScopedHandle {
public:
    CScopedHandle() = default;
    explicit CScopedHandle(THandle hHandle) : m_hHandle(hHandle) {}
    CScopedHandle(const CScopedHandle&) = delete;
    CScopedHandle& operator=(const CScopedHandle&) = delete;
    ~CScopedHandle() { Reset(); }

    THandle Get() const { return m_hHandle; }

    void Reset(THandle hHandle = nullptr)
    {
        if (m_hHandle != nullptr)
            TCloser()(m_hHandle);
        m_hHandle = hHandle;
    }

private:
    THandle m_hHandle = nullptr;
};

struct FontCloser {
    void operator()(HFONT hFont) const { DeleteObject(hFont); }
};
struct CursorCloser {
    void operator()(HCURSOR hCursor) const { DestroyCursor(hCursor); }
};
struct LibraryCloser {
    void operator()(HMODULE hModule) const { FreeLibrary(hModule); }
};
struct WindowCloser {
    void operator()(HWND hWnd) const
    {
        if (IsWindow(hWnd))
            DestroyWindow(hWnd);
    }
};

using CFontHandle = CScopedHandle<HFONT, FontCloser>;
using CCursorHandle = CScopedHandle<HCURSOR, CursorCloser>;
using CLibraryHandle = CScopedHandle<HMODULE, LibraryCloser>;
using CWindowHandle = CScopedHandle<HWND, WindowCloser>;
