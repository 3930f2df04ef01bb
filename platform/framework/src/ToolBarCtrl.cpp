// The toolbar common control.
#include "Internal.h"

BOOL CToolBarCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    if (!CWnd::Create(TOOLBARCLASSNAME, nullptr, style, rect, parent, id)) return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return TRUE;
}

int CToolBarCtrl::AddBitmap(int count, UINT bitmapId) {
    TBADDBITMAP add{AfxFindResourceHandle(MAKEINTRESOURCEW(bitmapId), reinterpret_cast<LPCWSTR>(RT_BITMAP)),
                    bitmapId};
    return static_cast<int>(SendMessage(TB_ADDBITMAP, count, reinterpret_cast<LPARAM>(&add)));
}

void CToolBarCtrl::SaveState(HKEY root, LPCWSTR subKey, LPCWSTR valueName) {
    TBSAVEPARAMSW params{root, subKey, valueName};
    SendMessage(TB_SAVERESTOREW, TRUE, reinterpret_cast<LPARAM>(&params));
}

void CToolBarCtrl::RestoreState(HKEY root, LPCWSTR subKey, LPCWSTR valueName) {
    TBSAVEPARAMSW params{root, subKey, valueName};
    SendMessage(TB_SAVERESTOREW, FALSE, reinterpret_cast<LPARAM>(&params));
}
