// What self-painted controls put on the screen, and what they ask the shell:
// a snapshot of a window's client area read back from its DC, and a recorder
// for TMXUI.dll's calls of ShellExecuteW (so no test opens a browser).
#pragma once

#include "ImportPatch.h"

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace guitest {

// The client area of a window as it is now (call UpdateWindow first).
class Snapshot {
public:
    explicit Snapshot(HWND hwnd) {
        RECT client{};
        GetClientRect(hwnd, &client);
        width = client.right, height = client.bottom;
        if (width <= 0 || height <= 0) return;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height; // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC window = GetDC(hwnd);
        HDC memory = CreateCompatibleDC(window);
        HBITMAP dib = CreateDIBSection(window, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(memory, dib);
        BitBlt(memory, 0, 0, width, height, window, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* quads = static_cast<const DWORD*>(bits);
        pixels.resize(static_cast<size_t>(width) * height);
        for (size_t i = 0; i < pixels.size(); ++i) // 0x00RRGGBB to COLORREF
            pixels[i] = RGB((quads[i] >> 16) & 0xFF, (quads[i] >> 8) & 0xFF, quads[i] & 0xFF);
        SelectObject(memory, old);
        DeleteObject(dib);
        DeleteDC(memory);
        ReleaseDC(hwnd, window);
    }

    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }

    int Count(const std::function<bool(COLORREF)>& match) const {
        return static_cast<int>(std::count_if(pixels.begin(), pixels.end(), match));
    }
    int CountOf(COLORREF color) const {
        return Count([color](COLORREF c) { return c == color; });
    }
    // Pixels that are not `background`.
    int Ink(COLORREF background) const {
        return Count([background](COLORREF c) { return c != background; });
    }
    // Bounding box of the matching pixels; empty (0,0,0,0) when none.
    RECT Box(const std::function<bool(COLORREF)>& match) const {
        RECT box{width, height, -1, -1};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (match(At(x, y))) {
                    box.left = std::min<LONG>(box.left, x), box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1);
                    box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
        return box.right < 0 ? RECT{} : box;
    }
    RECT InkBox(COLORREF background) const {
        return Box([background](COLORREF c) { return c != background; });
    }
    bool operator==(const Snapshot& other) const {
        return width == other.width && height == other.height && pixels == other.pixels;
    }

    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
};

// Each ShellExecuteW of TMXUI.dll while the recorder lives, answered with
// `result` instead of opening anything.
class ShellRecorder {
public:
    struct Call {
        HWND owner;
        bool hasVerb;
        std::wstring verb, file;
        bool hasParameters, hasDirectory;
        int show;
    };

    ShellRecorder() { Current() = this; }
    ~ShellRecorder() { Current() = nullptr; }
    ShellRecorder(const ShellRecorder&) = delete;
    ShellRecorder& operator=(const ShellRecorder&) = delete;

    bool Active() const { return patch_.Active(); }

    std::vector<Call> calls;
    INT_PTR result = 42;

private:
    static ShellRecorder*& Current() {
        static ShellRecorder* current = nullptr;
        return current;
    }
    static HINSTANCE WINAPI Record(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                                   LPCWSTR directory, INT show) {
        ShellRecorder* self = Current();
        self->calls.push_back({owner, verb != nullptr, verb ? verb : L"", file ? file : L"",
                               parameters != nullptr, directory != nullptr, show});
        return reinterpret_cast<HINSTANCE>(self->result);
    }

    testsupport::ImportPatch patch_{GetModuleHandleW(L"TMXUI.dll"), "shell32.dll",
                                    "ShellExecuteW", &Record};
};

} // namespace guitest
