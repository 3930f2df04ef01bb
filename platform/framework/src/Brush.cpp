// Brushes.
#include "Internal.h"

CBrush::CBrush(COLORREF color) {
    CreateSolidBrush(color);
}

CBrush* CBrush::FromHandle(HBRUSH brush) {
    return static_cast<CBrush*>(
        FromHandleOfKind(brush, OBJ_BRUSH, [] { return static_cast<CGdiObject*>(new CBrush); }));
}

BOOL CBrush::CreateSolidBrush(COLORREF color) {
    return !m_hObject && Attach(::CreateSolidBrush(color));
}

BOOL CBrush::CreateHatchBrush(int index, COLORREF color) {
    return !m_hObject && Attach(::CreateHatchBrush(index, color));
}

BOOL CBrush::CreatePatternBrush(CBitmap* bitmap) {
    return !m_hObject && bitmap && Attach(::CreatePatternBrush(*bitmap));
}

BOOL CBrush::CreateSysColorBrush(int index) {
    return !m_hObject && Attach(::GetSysColorBrush(index));
}

BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* logBrush) {
    return !m_hObject && logBrush && Attach(::CreateBrushIndirect(logBrush));
}

int CBrush::GetLogBrush(LOGBRUSH* logBrush) const {
    return logBrush ? GetObject(sizeof(LOGBRUSH), logBrush) : 0;
}
