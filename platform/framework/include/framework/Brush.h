// CBrush: a GDI brush owned by the object.
#pragma once

#include "GdiObject.h"

class CBitmap;

class FW_API CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF color); // a solid brush; no handle when GDI refuses

    static CBrush* FromHandle(HBRUSH brush); // temporary, see CGdiObject::FromHandle
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }

    // Each Create fails when the object already holds a brush.
    BOOL CreateSolidBrush(COLORREF color);
    BOOL CreateHatchBrush(int index, COLORREF color);
    BOOL CreatePatternBrush(CBitmap* bitmap);
    BOOL CreateSysColorBrush(int index);
    BOOL CreateBrushIndirect(const LOGBRUSH* logBrush);
    int GetLogBrush(LOGBRUSH* logBrush) const;
};
