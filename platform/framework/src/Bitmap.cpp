// Bitmaps.
#include "Internal.h"

CBitmap* CBitmap::FromHandle(HBITMAP bitmap) {
    return static_cast<CBitmap*>(FromHandleOfKind(
        bitmap, OBJ_BITMAP, [] { return static_cast<CGdiObject*>(new CBitmap); }));
}

BOOL CBitmap::LoadBitmap(UINT id) {
    return LoadBitmap(MAKEINTRESOURCEW(id));
}

BOOL CBitmap::LoadBitmap(LPCWSTR name) {
    return !m_hObject && Attach(AfxLoadBitmap(name));
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel,
                           const void* bits) {
    return !m_hObject && Attach(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
    return !m_hObject && dc && Attach(::CreateCompatibleBitmap(dc->m_hDC, width, height));
}

int CBitmap::GetBitmap(BITMAP* bitmap) const {
    return bitmap ? GetObject(sizeof(BITMAP), bitmap) : 0;
}

CSize CBitmap::GetBitmapDimension() const {
    BITMAP bm{};
    return GetBitmap(&bm) ? CSize(bm.bmWidth, bm.bmHeight) : CSize(0, 0);
}
