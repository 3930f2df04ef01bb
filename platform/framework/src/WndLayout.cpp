// CWnd's part in the layout of control bars: RepositionBars and its
// WM_SIZEPARENT protocol, and messages to a window's descendants.
#include "Internal.h"

void AFXAPI AfxRepositionWindow(AFX_SIZEPARENTPARAMS* layout, HWND hwnd, LPCRECT rect) {
    if (!layout || !layout->hDWP || !hwnd || !rect) return;
    CRect current;
    ::GetWindowRect(hwnd, &current);
    if (HWND parent = ::GetParent(hwnd))
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<LPPOINT>(&current), 2);
    if (current == *rect) return;
    layout->hDWP = ::DeferWindowPos(layout->hDWP, hwnd, nullptr, rect->left, rect->top,
                                    rect->right - rect->left, rect->bottom - rect->top,
                                    SWP_NOACTIVATE | SWP_NOZORDER);
}

void CWnd::RepositionBars(UINT idFirst, UINT idLast, UINT idLeftOver, UINT flags, LPRECT rectParam,
                          LPCRECT rectClient, BOOL stretch) {
    const bool query = (flags & ~reposNoPosLeftOver) == reposQuery;
    AFX_SIZEPARENTPARAMS layout{};
    layout.bStretch = stretch;
    if (rectClient)
        layout.rect = *rectClient;
    else
        ::GetClientRect(m_hWnd, &layout.rect);
    int children = 0;
    for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetNextWindow(child, GW_HWNDNEXT))
        ++children;
    if (!query) layout.hDWP = ::BeginDeferWindowPos(children > 0 ? children : 1);

    // 1. Each bar in z-order takes its edge of what is left.
    HWND leftOver = nullptr;
    for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetNextWindow(child, GW_HWNDNEXT)) {
        UINT id = static_cast<UINT>(::GetDlgCtrlID(child));
        if (id == idLeftOver)
            leftOver = child;
        else if (id >= idFirst && id <= idLast && FromHandlePermanent(child))
            ::SendMessageW(child, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    }
    if (query) {
        if (rectParam) *rectParam = layout.rect;
        return;
    }
    // 2. The left-over pane fills the rest, less any extra margins.
    if (idLeftOver && leftOver && !(flags & reposNoPosLeftOver)) {
        CRect rest(layout.rect);
        if ((flags & ~reposNoPosLeftOver) == reposExtra && rectParam) {
            rest.left += rectParam->left, rest.top += rectParam->top;
            rest.right -= rectParam->right, rest.bottom -= rectParam->bottom;
        }
        FromHandle(leftOver)->CalcWindowRect(&rest);
        AfxRepositionWindow(&layout, leftOver, &rest);
    }
    // 3. Everything moves at once.
    if (layout.hDWP) ::EndDeferWindowPos(layout.hDWP);
}

void CWnd::CalcWindowRect(LPRECT clientRect, UINT adjustType) {
    DWORD exStyle = GetExStyle();
    if (adjustType == adjustBorder) exStyle &= ~WS_EX_CLIENTEDGE;
    ::AdjustWindowRectEx(clientRect, GetStyle(), FALSE, exStyle);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL deep,
                                    BOOL onlyPermanent) {
    for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetNextWindow(child, GW_HWNDNEXT)) {
        if (!onlyPermanent || FromHandlePermanent(child))
            ::SendMessageW(child, message, wParam, lParam);
        if (deep && ::GetTopWindow(child)) {
            CWnd view; // walks the child's own children without attaching it
            view.m_hWnd = child;
            view.SendMessageToDescendants(message, wParam, lParam, TRUE, onlyPermanent);
            view.m_hWnd = nullptr;
        }
    }
}

CFrameWnd* CWnd::GetParentFrame() const {
    for (HWND hwnd = ::GetParent(m_hWnd); hwnd; hwnd = ::GetParent(hwnd)) {
        CWnd* wnd = FromHandlePermanent(hwnd);
        if (wnd && wnd->IsKindOf(RUNTIME_CLASS(CFrameWnd))) return static_cast<CFrameWnd*>(wnd);
    }
    return nullptr;
}
