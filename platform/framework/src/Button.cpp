// Buttons.
#include "Internal.h"

BOOL CButton::Create(LPCWSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create(L"Button", caption, style, rect, parent, id);
}
