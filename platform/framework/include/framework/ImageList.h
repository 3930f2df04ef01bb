// CImageList: an image list of the common controls.
//
// An object that created or attached a list owns it and destroys it with
// itself. FromHandle answers the owning object, or a temporary one for a
// list nobody attached (freed by AfxUnlockTempMaps, never destroying the
// list).
#pragma once

#include "Bitmap.h"
#include "CmdTarget.h"
#include "DC.h"

class FW_API CImageList : public CObject {
public:
    DECLARE_DYNAMIC(CImageList)

    CImageList();
    ~CImageList() override;

    HIMAGELIST m_hImageList = nullptr;
    operator HIMAGELIST() const { return m_hImageList; }
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }

    static CImageList* PASCAL FromHandle(HIMAGELIST list);
    static CImageList* PASCAL FromHandlePermanent(HIMAGELIST list);
    BOOL Attach(HIMAGELIST list);
    HIMAGELIST Detach();
    BOOL DeleteImageList();

    // ILC_* flags; each fails when the object already holds a list.
    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    // From a bitmap resource (found through the resource chain), images
    // `cx` wide, `mask` the transparent colour.
    BOOL Create(UINT bitmapId, int cx, int grow, COLORREF mask);

    int GetImageCount() const { return m_hImageList ? ImageList_GetImageCount(m_hImageList) : 0; }
    BOOL SetImageCount(UINT count) { return ImageList_SetImageCount(m_hImageList, count); }
    int Add(CBitmap* bitmap, CBitmap* mask);
    int Add(CBitmap* bitmap, COLORREF mask);
    int Add(HICON icon) { return ImageList_AddIcon(m_hImageList, icon); }
    int Replace(int image, HICON icon) { return ImageList_ReplaceIcon(m_hImageList, image, icon); }
    BOOL Remove(int image) { return ImageList_Remove(m_hImageList, image); }
    HICON ExtractIcon(int image) { return ImageList_GetIcon(m_hImageList, image, ILD_NORMAL); }
    BOOL Draw(CDC* dc, int image, POINT point, UINT style) {
        return dc && ImageList_Draw(m_hImageList, image, dc->m_hDC, point.x, point.y, style);
    }
    COLORREF SetBkColor(COLORREF color) { return ImageList_SetBkColor(m_hImageList, color); }
    COLORREF GetBkColor() const { return ImageList_GetBkColor(m_hImageList); }
    BOOL GetImageInfo(int image, IMAGEINFO* info) const {
        return ImageList_GetImageInfo(m_hImageList, image, info);
    }
    BOOL GetIconSize(int& cx, int& cy) const { return ImageList_GetIconSize(m_hImageList, &cx, &cy); }
};
