// Header controls.
#include "Internal.h"

BOOL CHeaderCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    AfxEnsureControls();
    return CWnd::Create(WC_HEADERW, nullptr, style, rect, parent, id);
}

CImageList* CHeaderCtrl::SetImageList(CImageList* list) {
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
        SendMessage(HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list ? list->m_hImageList : nullptr))));
}

CImageList* CHeaderCtrl::GetImageList() const {
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SendMessage(HDM_GETIMAGELIST)));
}
