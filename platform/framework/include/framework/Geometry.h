// Point, size and rectangle value classes over the Win32 structures, so they
// pass wherever a POINT, SIZE or RECT is expected.
#pragma once

#include "Defs.h"

#include <utility>

class CSize;
class CRect;

class CPoint : public POINT {
public:
    CPoint() noexcept { x = y = 0; }
    CPoint(int initX, int initY) noexcept { x = initX, y = initY; }
    CPoint(POINT p) noexcept { x = p.x, y = p.y; }
    CPoint(SIZE s) noexcept { x = s.cx, y = s.cy; }
    // Packed coordinates as in mouse messages' lParam: low word x, high word y, both signed.
    explicit CPoint(LPARAM packed) noexcept {
        x = static_cast<short>(LOWORD(packed));
        y = static_cast<short>(HIWORD(packed));
    }

    void Offset(int dx, int dy) noexcept { x += dx, y += dy; }
    void Offset(POINT p) noexcept { Offset(p.x, p.y); }
    void SetPoint(int X, int Y) noexcept { x = X, y = Y; }

    bool operator==(POINT p) const noexcept { return x == p.x && y == p.y; }
    bool operator!=(POINT p) const noexcept { return !(*this == p); }
    CPoint& operator+=(POINT p) noexcept { return Offset(p), *this; }
    CPoint& operator-=(POINT p) noexcept { return Offset(-p.x, -p.y), *this; }
    CPoint operator+(POINT p) const noexcept { return CPoint(x + p.x, y + p.y); }
    CPoint operator-(POINT p) const noexcept { return CPoint(x - p.x, y - p.y); }
    CPoint operator+(SIZE s) const noexcept { return CPoint(x + s.cx, y + s.cy); }
    CPoint operator-(SIZE s) const noexcept { return CPoint(x - s.cx, y - s.cy); }
    CPoint& operator+=(SIZE s) noexcept { return Offset(s.cx, s.cy), *this; }
    CPoint operator-() const noexcept { return CPoint(-x, -y); }
};

class CSize : public SIZE {
public:
    CSize() noexcept { cx = cy = 0; }
    CSize(int initCX, int initCY) noexcept { cx = initCX, cy = initCY; }
    CSize(SIZE s) noexcept { cx = s.cx, cy = s.cy; }
    CSize(POINT p) noexcept { cx = p.x, cy = p.y; }

    void SetSize(int CX, int CY) noexcept { cx = CX, cy = CY; }
    bool operator==(SIZE s) const noexcept { return cx == s.cx && cy == s.cy; }
    bool operator!=(SIZE s) const noexcept { return !(*this == s); }
    CSize& operator+=(SIZE s) noexcept { return cx += s.cx, cy += s.cy, *this; }
    CSize& operator-=(SIZE s) noexcept { return cx -= s.cx, cy -= s.cy, *this; }
    CSize operator+(SIZE s) const noexcept { return CSize(cx + s.cx, cy + s.cy); }
    CSize operator-(SIZE s) const noexcept { return CSize(cx - s.cx, cy - s.cy); }
    CSize operator-() const noexcept { return CSize(-cx, -cy); }
};

class CRect : public RECT {
public:
    CRect() noexcept { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) noexcept { SetRect(l, t, r, b); }
    CRect(const RECT& r) noexcept { CopyRect(&r); }
    CRect(LPCRECT r) noexcept { CopyRect(r); }
    CRect(POINT topLeft, SIZE size) noexcept {
        SetRect(topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy);
    }
    CRect(POINT topLeft, POINT bottomRight) noexcept {
        SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
    }

    int Width() const noexcept { return right - left; }
    int Height() const noexcept { return bottom - top; }
    CSize Size() const noexcept { return CSize(Width(), Height()); }
    CPoint TopLeft() const noexcept { return CPoint(left, top); }
    CPoint BottomRight() const noexcept { return CPoint(right, bottom); }
    CPoint CenterPoint() const noexcept { return CPoint((left + right) / 2, (top + bottom) / 2); }
    bool IsRectEmpty() const noexcept { return right <= left || bottom <= top; }
    bool IsRectNull() const noexcept { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    bool PtInRect(POINT p) const noexcept {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }

    void SetRect(int l, int t, int r, int b) noexcept { left = l, top = t, right = r, bottom = b; }
    void SetRectEmpty() noexcept { SetRect(0, 0, 0, 0); }
    void CopyRect(LPCRECT r) noexcept { SetRect(r->left, r->top, r->right, r->bottom); }
    void OffsetRect(int dx, int dy) noexcept { left += dx, right += dx, top += dy, bottom += dy; }
    void OffsetRect(POINT p) noexcept { OffsetRect(p.x, p.y); }
    void InflateRect(int dx, int dy) noexcept { left -= dx, top -= dy, right += dx, bottom += dy; }
    void InflateRect(int l, int t, int r, int b) noexcept {
        left -= l, top -= t, right += r, bottom += b;
    }
    void DeflateRect(int dx, int dy) noexcept { InflateRect(-dx, -dy); }
    void DeflateRect(int l, int t, int r, int b) noexcept { InflateRect(-l, -t, -r, -b); }
    void MoveToXY(int x, int y) noexcept { OffsetRect(x - left, y - top); }
    void NormalizeRect() noexcept {
        if (left > right) std::swap(left, right);
        if (top > bottom) std::swap(top, bottom);
    }
    bool IntersectRect(LPCRECT a, LPCRECT b) noexcept { return ::IntersectRect(this, a, b) != 0; }
    bool UnionRect(LPCRECT a, LPCRECT b) noexcept { return ::UnionRect(this, a, b) != 0; }

    operator LPRECT() noexcept { return this; }
    operator LPCRECT() const noexcept { return this; }
    bool operator==(const RECT& r) const noexcept { return ::EqualRect(this, &r) != 0; }
    bool operator!=(const RECT& r) const noexcept { return !(*this == r); }
    CRect& operator+=(POINT p) noexcept { return OffsetRect(p), *this; }
    CRect& operator-=(POINT p) noexcept { return OffsetRect(-p.x, -p.y), *this; }
    CRect operator+(POINT p) const noexcept {
        CRect r(*this);
        return r += p;
    }
    CRect operator-(POINT p) const noexcept {
        CRect r(*this);
        return r -= p;
    }
    CRect& operator&=(const RECT& r) noexcept {
        IntersectRect(this, &r);
        return *this;
    }
    CRect& operator|=(const RECT& r) noexcept {
        UnionRect(this, &r);
        return *this;
    }
    CRect operator&(const RECT& r) const noexcept {
        CRect x;
        x.IntersectRect(this, &r);
        return x;
    }
    CRect operator|(const RECT& r) const noexcept {
        CRect x;
        x.UnionRect(this, &r);
        return x;
    }
};
