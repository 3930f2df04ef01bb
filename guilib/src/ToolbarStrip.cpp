// Reading a packed DIB with every offset checked against its size, and
// recolouring it to the system's button colours.
#include "ToolbarStrip.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace toolbarstrip {
namespace {

// The strip's four greys and what they become.
bool MapColour(BYTE& r, BYTE& g, BYTE& b) {
    static const struct {
        BYTE r, g, b;
        int sysColour;
    } kMap[] = {
        {0, 0, 0, COLOR_BTNTEXT},
        {128, 128, 128, COLOR_BTNSHADOW},
        {192, 192, 192, COLOR_BTNFACE},
        {255, 255, 255, COLOR_BTNHIGHLIGHT},
    };
    for (const auto& m : kMap)
        if (r == m.r && g == m.g && b == m.b) {
            const COLORREF c = ::GetSysColor(m.sysColour);
            r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
            return true;
        }
    return false;
}

} // namespace

HBITMAP Build(const BYTE* data, size_t size, int width, int height) {
    if (!data || width <= 0 || height <= 0 || size < sizeof(BITMAPINFOHEADER)) return nullptr;
    BITMAPINFOHEADER header;
    std::memcpy(&header, data, sizeof header);
    const int bits = header.biBitCount;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biSize > size || header.biPlanes != 1 ||
        header.biWidth <= 0 || header.biHeight == 0 || header.biHeight == INT32_MIN)
        return nullptr;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return nullptr;
    const bool bitfields = header.biCompression == BI_BITFIELDS;
    if (header.biCompression != BI_RGB && !(bitfields && (bits == 16 || bits == 32))) return nullptr;
    // Three masks follow a plain header; larger headers hold them.
    const uint64_t masks = bitfields && header.biSize == sizeof(BITMAPINFOHEADER) ? 12 : 0;
    uint64_t colours = header.biClrUsed;
    if (bits <= 8) {
        if (colours == 0) colours = 1u << bits;
        if (colours > (1u << bits)) return nullptr;
    }
    const uint64_t table = header.biSize + masks;
    const uint64_t offset = table + colours * sizeof(RGBQUAD);
    const uint64_t rows = header.biHeight < 0 ? -static_cast<int64_t>(header.biHeight) : header.biHeight;
    const uint64_t stride = (static_cast<uint64_t>(header.biWidth) * bits + 31) / 32 * 4;
    if (offset > size || stride * rows > size - offset) return nullptr;

    // A private copy of header, masks and table: the resource is read-only.
    std::vector<BYTE> info(data, data + offset);
    if (bits <= 8)
        for (uint64_t i = 0; i < colours && i < 16; ++i) {
            auto* q = reinterpret_cast<RGBQUAD*>(info.data() + table + i * sizeof(RGBQUAD));
            MapColour(q->rgbRed, q->rgbGreen, q->rgbBlue);
        }

    BITMAPINFO target{};
    target.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    target.bmiHeader.biWidth = width;
    target.bmiHeader.biHeight = -height;
    target.bmiHeader.biPlanes = 1;
    target.bmiHeader.biBitCount = 32;
    target.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP strip = ::CreateDIBSection(nullptr, &target, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!strip) return nullptr;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, strip);
    ::SetStretchBltMode(dc, COLORONCOLOR);
    const int drawn = ::StretchDIBits(dc, 0, 0, width, height, 0, 0, header.biWidth, static_cast<int>(rows),
                                      data + offset, reinterpret_cast<BITMAPINFO*>(info.data()),
                                      DIB_RGB_COLORS, SRCCOPY);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::GdiFlush();
    if (drawn == 0 || drawn == static_cast<int>(GDI_ERROR)) {
        ::DeleteObject(strip);
        return nullptr;
    }
    if (bits > 8) {
        auto* p = static_cast<BYTE*>(pixels); // blue, green, red, unused
        for (size_t i = 0, n = static_cast<size_t>(width) * height; i < n; ++i, p += 4)
            MapColour(p[2], p[1], p[0]);
    }
    return strip;
}

} // namespace toolbarstrip
