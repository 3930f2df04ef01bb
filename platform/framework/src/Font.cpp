// Fonts.
#include "Internal.h"

#include <cstdlib>

namespace {
enum { kFontKind = OBJ_FONT }; // the temporary map's kind, as for the other objects
} // namespace

CFont* CFont::FromHandle(HFONT font) {
    return static_cast<CFont*>(FromHandleOfKind(font, kFontKind, [] {
        return static_cast<CGdiObject*>(new CFont);
    }));
}

BOOL CFont::CreateFontIndirect(const LOGFONTW* logFont) {
    if (m_hObject || !logFont) return FALSE;
    return Attach(::CreateFontIndirectW(logFont));
}

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight,
                       BYTE italic, BYTE underline, BYTE strikeOut, BYTE charSet,
                       BYTE outPrecision, BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily,
                       LPCWSTR faceName) {
    if (m_hObject) return FALSE;
    return Attach(::CreateFontW(height, width, escapement, orientation, weight, italic, underline,
                                strikeOut, charSet, outPrecision, clipPrecision, quality,
                                pitchAndFamily, faceName));
}

BOOL CFont::CreatePointFont(int pointSize, LPCWSTR faceName, CDC* dc) {
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = pointSize;
    if (faceName) lstrcpynW(lf.lfFaceName, faceName, LF_FACESIZE);
    return CreatePointFontIndirect(&lf, dc);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONTW* logFont, CDC* dc) {
    if (m_hObject || !logFont) return FALSE;
    HDC hdc = dc ? dc->m_hDC : ::GetDC(nullptr);
    if (!hdc) return FALSE;
    // Tenths of a point to device pixels, then to the DC's logical units.
    POINT pt{0, MulDiv(::GetDeviceCaps(hdc, LOGPIXELSY), logFont->lfHeight, 720)};
    POINT origin{0, 0};
    ::DPtoLP(hdc, &pt, 1);
    ::DPtoLP(hdc, &origin, 1);
    if (!dc) ::ReleaseDC(nullptr, hdc);
    LOGFONTW lf = *logFont;
    lf.lfHeight = -std::abs(pt.y - origin.y);
    return CreateFontIndirect(&lf);
}

int CFont::GetLogFont(LOGFONTW* logFont) const {
    if (!logFont) return 0;
    return GetObject(sizeof(LOGFONTW), logFont);
}
