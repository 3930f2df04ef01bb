// Image lists.
#include "Internal.h"

CImageList::CImageList() = default;

CImageList::~CImageList() {
    DeleteImageList();
}

CImageList* PASCAL CImageList::FromHandlePermanent(HIMAGELIST list) {
    if (!list) return nullptr;
    AfxThreadState* ts = AfxGetThreadState();
    auto it = ts->permanentImageLists.find(list);
    return it == ts->permanentImageLists.end() ? nullptr : it->second;
}

CImageList* PASCAL CImageList::FromHandle(HIMAGELIST list) {
    if (!list) return nullptr;
    if (CImageList* owner = FromHandlePermanent(list)) return owner;
    AfxThreadState* ts = AfxGetThreadState();
    CImageList*& temp = ts->tempImageLists[list];
    if (!temp) {
        temp = new CImageList;
        temp->m_hImageList = list;
    }
    return temp;
}

BOOL CImageList::Attach(HIMAGELIST list) {
    if (!list || m_hImageList || FromHandlePermanent(list)) return FALSE;
    AfxGetThreadState()->permanentImageLists[list] = this;
    m_hImageList = list;
    return TRUE;
}

HIMAGELIST CImageList::Detach() {
    HIMAGELIST list = m_hImageList;
    if (list) {
        AfxThreadState* ts = AfxGetThreadState();
        auto it = ts->permanentImageLists.find(list);
        if (it != ts->permanentImageLists.end() && it->second == this) ts->permanentImageLists.erase(it);
    }
    m_hImageList = nullptr;
    return list;
}

BOOL CImageList::DeleteImageList() {
    if (!m_hImageList) return FALSE;
    // Only an owner destroys the list; a temporary object merely lets go.
    bool owned = FromHandlePermanent(m_hImageList) == this;
    HIMAGELIST list = Detach();
    return owned ? ImageList_Destroy(list) : FALSE;
}

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
    if (m_hImageList) return FALSE;
    AfxEnsureControls();
    return Attach(ImageList_Create(cx, cy, flags, initial, grow));
}

BOOL CImageList::Create(UINT bitmapId, int cx, int grow, COLORREF mask) {
    if (m_hImageList) return FALSE;
    AfxEnsureControls();
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEW(bitmapId), MAKEINTRESOURCEW(2));
    return Attach(ImageList_LoadImageW(module, MAKEINTRESOURCEW(bitmapId), cx, grow, mask,
                                       IMAGE_BITMAP, LR_CREATEDIBSECTION));
}

int CImageList::Add(CBitmap* bitmap, CBitmap* mask) {
    return bitmap ? ImageList_Add(m_hImageList, static_cast<HBITMAP>(bitmap->GetSafeHandle()),
                                  mask ? static_cast<HBITMAP>(mask->GetSafeHandle()) : nullptr)
                  : -1;
}

int CImageList::Add(CBitmap* bitmap, COLORREF mask) {
    return bitmap ? ImageList_AddMasked(m_hImageList, static_cast<HBITMAP>(bitmap->GetSafeHandle()), mask)
                  : -1;
}
