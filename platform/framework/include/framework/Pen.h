// CPen: a GDI pen owned by the object.
#pragma once

#include "GdiObject.h"

class FW_API CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF color); // no handle when GDI refuses

    static CPen* FromHandle(HPEN pen); // temporary, see CGdiObject::FromHandle
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }

    // Fails when the object already holds a pen.
    BOOL CreatePen(int style, int width, COLORREF color);
    BOOL CreatePenIndirect(const LOGPEN* logPen);
    int GetLogPen(LOGPEN* logPen) const;
};
