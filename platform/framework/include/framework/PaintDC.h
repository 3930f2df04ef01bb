// The DCs of a window, each released as the system wants it released
// (never deleted): CPaintDC for WM_PAINT (BeginPaint/EndPaint), CClientDC
// for the client area and CWindowDC for the whole window (GetDC or
// GetWindowDC, then ReleaseDC).
#pragma once

#include "DC.h"

class FW_API CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    PAINTSTRUCT m_ps{};

protected:
    HWND m_hWnd;
};

class FW_API CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd); // null: the screen
    ~CClientDC() override;
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;

protected:
    HWND m_hWnd;
};

class FW_API CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* wnd); // null: the screen
    ~CWindowDC() override;
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;

protected:
    HWND m_hWnd;
};
