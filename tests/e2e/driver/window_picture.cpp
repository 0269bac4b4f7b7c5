#include "window_picture.h"

#include "framework/handle.h"

#include <vector>

bool SaveWindowPicture(HWND hWnd, const std::string& strPath)
{
    RECT rect;
    if (!GetWindowRect(hWnd, &rect) || rect.right <= rect.left || rect.bottom <= rect.top)
        return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = rect.right - rect.left;
    info.bmiHeader.biHeight = rect.bottom - rect.top;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    // Rows of a 24-bit bitmap are padded to whole 32-bit words.
    const DWORD nRowBytes = (static_cast<DWORD>(info.bmiHeader.biWidth) * 3 + 3) & ~3u;
    info.bmiHeader.biSizeImage = nRowBytes * static_cast<DWORD>(info.bmiHeader.biHeight);

    void* pBits = nullptr;
    HDC hScreen = GetDC(nullptr);
    HDC hMemory = CreateCompatibleDC(hScreen);
    HBITMAP hBitmap = CreateDIBSection(hMemory, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
    std::vector<char> pixels;
    if (hBitmap != nullptr) {
        HGDIOBJ hOld = SelectObject(hMemory, hBitmap);
        BitBlt(hMemory, 0, 0, info.bmiHeader.biWidth, info.bmiHeader.biHeight, hScreen, rect.left, rect.top, SRCCOPY);
        GdiFlush();
        pixels.assign(static_cast<const char*>(pBits), static_cast<const char*>(pBits) + info.bmiHeader.biSizeImage);
        SelectObject(hMemory, hOld);
        DeleteObject(hBitmap);
    }
    DeleteDC(hMemory);
    ReleaseDC(nullptr, hScreen);
    if (pixels.empty())
        return false;

    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42; // "BM"
    header.bfOffBits = sizeof header + sizeof info.bmiHeader;
    header.bfSize = header.bfOffBits + info.bmiHeader.biSizeImage;
    const CHandle file(CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD nWritten = 0;
    return file.IsValid() && WriteFile(file.Get(), &header, sizeof header, &nWritten, nullptr) &&
           WriteFile(file.Get(), &info.bmiHeader, sizeof info.bmiHeader, &nWritten, nullptr) &&
           WriteFile(file.Get(), pixels.data(), static_cast<DWORD>(pixels.size()), &nWritten, nullptr);
}
