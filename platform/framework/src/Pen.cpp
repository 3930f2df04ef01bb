// Pens.
#include "Internal.h"

CPen::CPen(int style, int width, COLORREF color) {
    CreatePen(style, width, color);
}

CPen* CPen::FromHandle(HPEN pen) {
    return static_cast<CPen*>(
        FromHandleOfKind(pen, OBJ_PEN, [] { return static_cast<CGdiObject*>(new CPen); }));
}

BOOL CPen::CreatePen(int style, int width, COLORREF color) {
    return !m_hObject && Attach(::CreatePen(style, width, color));
}

BOOL CPen::CreatePenIndirect(const LOGPEN* logPen) {
    return !m_hObject && logPen && Attach(::CreatePenIndirect(logPen));
}

int CPen::GetLogPen(LOGPEN* logPen) const {
    return logPen ? GetObject(sizeof(LOGPEN), logPen) : 0;
}
