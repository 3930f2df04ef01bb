// Edit controls.
#include "Internal.h"

BOOL CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create(L"EDIT", nullptr, style, rect, parent, id);
}

int CEdit::GetLine(int index, LPWSTR buffer, int maxLength) const {
    if (!buffer || maxLength <= 0) return 0;
    // EM_GETLINE reads the buffer size from its first word and does not terminate.
    buffer[0] = static_cast<wchar_t>(maxLength > 0xFFFF ? 0xFFFF : maxLength);
    int copied = static_cast<int>(SendMessage(EM_GETLINE, static_cast<WPARAM>(index),
                                              reinterpret_cast<LPARAM>(buffer)));
    if (copied < maxLength) buffer[copied] = 0;
    return copied;
}
