// Pictures of windows as the screen shows them, written as PNG files with
// the Windows Imaging Component.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace wincapture {

// 24-bit pixels, rows top to bottom, blue-green-red, `stride` bytes a row.
struct Picture {
    int width = 0, height = 0, stride = 0;
    std::vector<BYTE> pixels;
    COLORREF At(int x, int y) const; // as RGB()
};

// Runs the thread's messages for a while, so that new windows are mapped
// and painted on screen before they are pictured.
void Pump(unsigned milliseconds);

// The window and everything over it on screen, after it and its children
// have repainted. Empty for a window that is not visible.
Picture Capture(HWND window);

// Writes the picture as a PNG file; false (and no file) on failure.
bool SavePng(const Picture& picture, const std::wstring& path);

inline bool CaptureToPng(HWND window, const std::wstring& path) {
    Picture picture = Capture(window);
    return picture.width > 0 && SavePng(picture, path);
}

} // namespace wincapture
