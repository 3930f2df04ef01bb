// CBitmap: a GDI bitmap owned by the object.
#pragma once

#include "GdiObject.h"
#include "Geometry.h"

class CDC;

class FW_API CBitmap : public CGdiObject {
public:
    static CBitmap* FromHandle(HBITMAP bitmap); // temporary, see CGdiObject::FromHandle
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }

    // Each fails when the object already holds a bitmap. LoadBitmap looks
    // the resource up through the module state and the resource chain.
    BOOL LoadBitmap(UINT id);
    BOOL LoadBitmap(LPCWSTR name);
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    int GetBitmap(BITMAP* bitmap) const;
    CSize GetBitmapDimension() const; // width and height in pixels
};
