// TMXToolbar's painting: the hot button and the flat bar's borders. The hot
// button is drawn in a DIB section and put on the screen in one piece:
// reading and writing single pixels of a window is very slow under Wine.
#include "TMXToolbar.h"

void TMXToolbar::OnCustomDraw(NMHDR* header, LRESULT* result) {
    auto* draw = reinterpret_cast<NMTBCUSTOMDRAW*>(header);
    *result = CDRF_DODEFAULT;
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
        *result = CDRF_NOTIFYITEMDRAW;
    } else if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && (draw->nmcd.uItemState & CDIS_HOT)) {
        DrawHotItem(draw->nmcd.hdc, draw->nmcd.rc, static_cast<UINT>(draw->nmcd.dwItemSpec));
        *result = CDRF_SKIPDEFAULT;
    }
}

void TMXToolbar::DrawHotItem(HDC dc, const CRect& item, UINT id) {
    const int width = item.Width(), height = item.Height();
    if (width <= 0 || height <= 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down: row y starts at y * width
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP canvas = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!canvas) return;
    HDC memory = ::CreateCompatibleDC(dc);
    HGDIOBJ oldCanvas = ::SelectObject(memory, canvas);
    // What the control painted under the item.
    ::BitBlt(memory, 0, 0, width, height, dc, item.left, item.top, SRCCOPY);

    // The image, when the button has one the strip holds.
    TBBUTTONINFOW button{};
    button.cbSize = sizeof(TBBUTTONINFOW);
    button.dwMask = TBIF_IMAGE;
    BITMAP strip{};
    if (SendMessage(TB_GETBUTTONINFOW, id, reinterpret_cast<LPARAM>(&button)) != -1 &&
        m_hbmImageWell && ::GetObjectW(m_hbmImageWell, sizeof strip, &strip) && button.iImage >= 0 &&
        m_sizeImage.cx > 0 &&
        static_cast<long long>(button.iImage + 1) * m_sizeImage.cx <= strip.bmWidth) {
        HDC source = ::CreateCompatibleDC(dc);
        HGDIOBJ oldSource = ::SelectObject(source, m_hbmImageWell);
        ::BitBlt(memory, 6, 4, m_sizeImage.cx, m_sizeImage.cy, source, button.iImage * m_sizeImage.cx, 0,
                 SRCCOPY);
        ::SelectObject(source, oldSource);
        ::DeleteDC(source);
    }
    ::GdiFlush();

    // Inside the frame: the face 7 % darker, everything else the shadow's
    // silhouette; the frame itself in the shadow colour.
    auto pixel = [](COLORREF c) {
        return static_cast<DWORD>(GetBValue(c) | GetGValue(c) << 8 | GetRValue(c) << 16);
    };
    const DWORD face = pixel(m_crFace), shadow = pixel(m_crShadow);
    auto darker = [](int v) { return v - static_cast<int>(v * 0.07); };
    const DWORD dark = pixel(RGB(darker(GetRValue(m_crFace)), darker(GetGValue(m_crFace)),
                                 darker(GetBValue(m_crFace))));
    auto* p = static_cast<DWORD*>(bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            DWORD& v = p[static_cast<size_t>(y) * width + x];
            const bool frame = x == 0 || y == 0 || x == width - 1 || y == height - 1;
            v = !frame && (v & 0xFFFFFF) == face ? dark : shadow;
        }
    ::BitBlt(dc, item.left, item.top, width, height, memory, 0, 0, SRCCOPY);
    ::SelectObject(memory, oldCanvas);
    ::DeleteDC(memory);
    ::DeleteObject(canvas);
}

void TMXToolbar::OnNcPaint() {
    if (!(GetStyle() & TBSTYLE_FLAT)) {
        CToolBar::OnNcPaint();
        return;
    }
    CWindowDC dc(this);
    CRect window, client;
    GetNonClientRects(window, client);
    dc.ExcludeClipRect(&client);
    dc.SetBkColor(m_crFace); // what the borders' fill takes
    Draw3DBorders(&dc, window);
    // Inside the borders the bar's face, and its gripper on it.
    dc.IntersectClipRect(&window);
    dc.FillSolidRect(&window, m_crFace);
    DrawGripper(&dc, window);
}

void TMXToolbar::Draw3DBorders(CDC* dc, CRect& rect) {
    if (!(GetStyle() & TBSTYLE_FLAT)) {
        DrawBorders(dc, rect);
        return;
    }
    const DWORD style = m_dwStyle;
    if (!(style & CBRS_BORDER_ANY)) return;
    const COLORREF line = (style & CBRS_BORDER_3D) ? m_crHighlight : m_crShadow;
    const int width = rect.Width(), height = rect.Height();
    dc->FillSolidRect(0, 0, 1, height - 1, line); // left
    dc->FillSolidRect(0, 0, width - 1, 1, line);  // top
    // The fill covers the left and top lines again, as it always has.
    const COLORREF background = dc->GetBkColor();
    dc->FillSolidRect(0, rect.top, rect.right, rect.bottom - rect.top, background);
    dc->FillSolidRect(rect.right - 1, 1, 1, height - 1, m_crShadow);  // right
    dc->FillSolidRect(1, rect.bottom - 1, width - 1, 1, m_crShadow); // bottom
    if (!m_pDockContext) { // an etched line on top
        dc->FillSolidRect(0, 0, width, 1, m_crShadow);
        dc->FillSolidRect(0, 1, width, 1, m_crHighlight);
    }
    if (style & CBRS_BORDER_LEFT) ++rect.left;
    if (style & CBRS_BORDER_TOP) ++rect.top;
    if (style & CBRS_BORDER_RIGHT) --rect.right;
    if (style & CBRS_BORDER_BOTTOM) --rect.bottom;
}
