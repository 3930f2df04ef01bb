// CFont: a GDI font owned by the object.
#pragma once

#include "GdiObject.h"

class CDC;

class FW_API CFont : public CGdiObject {
public:
    static CFont* FromHandle(HFONT font); // temporary, see CGdiObject::FromHandle
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }

    // Each Create fails when the object already holds a font.
    BOOL CreateFontIndirect(const LOGFONTW* logFont);
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight,
                    BYTE italic, BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision,
                    BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily, LPCWSTR faceName);
    // Sizes in tenths of a point, converted through `dc`'s resolution and
    // mapping mode (the screen's when null).
    BOOL CreatePointFont(int pointSize, LPCWSTR faceName, CDC* dc = nullptr);
    BOOL CreatePointFontIndirect(const LOGFONTW* logFont, CDC* dc = nullptr);
    // Bytes of the LOGFONTW written, 0 when the font cannot be read.
    int GetLogFont(LOGFONTW* logFont) const;
};
