// Window objects: handle maps, creation hook, the framework's window
// procedure, message routing and reflection, and the common wrappers.
#include "Internal.h"

#include <cstdio>

// Friend of CWnd: the parts of the machinery that reach into window objects.
struct AfxWndInternals {
    static void AttachNew(CWnd* wnd, HWND hwnd) {
        wnd->Attach(hwnd);
        auto old = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
        if (old != &AfxWndProc) wnd->m_pfnSuper = old;
    }

    static void Finish(CWnd* wnd, HWND hwnd) {
        // After the last message: hand the window back and let the object go.
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) == &AfxWndProc &&
            wnd->m_pfnSuper)
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(wnd->m_pfnSuper));
        wnd->m_pfnSuper = nullptr;
        wnd->Detach();
        wnd->PostNcDestroy();
    }
};

static LRESULT CALLBACK CbtFilterHook(int code, WPARAM wParam, LPARAM lParam) {
    AfxThreadState* ts = AfxPeekThreadState();
    if (!ts) return CallNextHookEx(nullptr, code, wParam, lParam);
    HHOOK hook = ts->cbtHook;
    if (code != HCBT_CREATEWND || !ts->wndInit) return CallNextHookEx(hook, code, wParam, lParam);
    CWnd* wnd = ts->wndInit;
    ts->wndInit = nullptr;
    AfxWndInternals::AttachNew(wnd, reinterpret_cast<HWND>(wParam));
    LRESULT result = CallNextHookEx(hook, code, wParam, lParam);
    // Only the first window is ours: the hook goes before any child is created.
    UnhookWindowsHookEx(hook);
    ts->cbtHook = nullptr;
    return result;
}

void AfxHookWindowCreate(CWnd* wnd) {
    AfxThreadState* ts = AfxGetThreadState();
    if (!ts->cbtHook)
        ts->cbtHook = SetWindowsHookExW(WH_CBT, &CbtFilterHook, nullptr, GetCurrentThreadId());
    ts->wndInit = wnd;
}

BOOL AfxUnhookWindowCreate() {
    AfxThreadState* ts = AfxGetThreadState();
    if (ts->cbtHook) {
        UnhookWindowsHookEx(ts->cbtHook);
        ts->cbtHook = nullptr;
    }
    bool attached = ts->wndInit == nullptr;
    ts->wndInit = nullptr;
    return attached;
}

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    if (!wnd) return DefWindowProcW(hwnd, message, wParam, lParam);
    AFX_MAINTAIN_STATE2 state(wnd->m_pModuleState ? wnd->m_pModuleState : AfxGetModuleState());
    AfxThreadState* ts = AfxGetThreadState();
    MSG saved = ts->lastMsg;
    ts->lastMsg.hwnd = hwnd;
    ts->lastMsg.message = message;
    ts->lastMsg.wParam = wParam;
    ts->lastMsg.lParam = lParam;
    LRESULT result;
    try {
        result = wnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        // A handler that failed (out of memory) must not unwind into the
        // system: the message ends as a failed one, a creation is refused and
        // a paint is taken as done, so that it does not come back at once.
        result = message == WM_CREATE ? -1 : 0;
        if (message == WM_PAINT) ValidateRect(hwnd, nullptr);
    }
    if (message == WM_NCDESTROY && CWnd::FromHandlePermanent(hwnd) == wnd)
        AfxWndInternals::Finish(wnd, hwnd);
    ts->lastMsg = saved;
    return result;
}

UINT AFXAPI AfxCtlColorType(UINT message) {
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC
               ? message - WM_CTLCOLORMSGBOX
               : CTLCOLOR_STATIC;
}

LPCWSTR AFXAPI AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
    // One class per combination, named after it; a thread-safe registry is the system's own.
    static wchar_t names[64][80];
    static LONG count = 0;
    wchar_t name[80];
    swprintf(name, 80, L"FwWnd:%x:%p:%p:%p", classStyle, static_cast<void*>(cursor),
             static_cast<void*>(background), static_cast<void*>(icon));
    HINSTANCE instance = AfxGetFrameworkInstance();
    WNDCLASSW wc{};
    if (!GetClassInfoW(instance, name, &wc)) {
        wc.style = classStyle | CS_GLOBALCLASS;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = instance;
        wc.hCursor = cursor;
        wc.hbrBackground = background;
        wc.hIcon = icon;
        wc.lpszClassName = name;
        if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
    }
    // The name must outlive the call: keep it in a small table of registered names.
    for (LONG i = 0; i < count && i < 64; ++i)
        if (wcscmp(names[i], name) == 0) return names[i];
    LONG slot = InterlockedIncrement(&count) - 1;
    if (slot >= 64) return nullptr;
    wcscpy(names[slot], name);
    return names[slot];
}

// ---- CWnd: handle map

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
        HWND hwnd = m_hWnd;
        ::DestroyWindow(hwnd);
        if (FromHandlePermanent(hwnd) == this) Detach();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    if (!hwnd) return nullptr;
    AfxThreadState* ts = AfxGetThreadState();
    auto it = ts->permanentWnds.find(AfxWndKey(hwnd));
    return it == ts->permanentWnds.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    if (CWnd* wnd = FromHandlePermanent(hwnd)) return wnd;
    AfxThreadState* ts = AfxGetThreadState();
    auto it = ts->tempWnds.find(AfxWndKey(hwnd));
    if (it != ts->tempWnds.end()) return it->second;
    CWnd* wnd = new CWnd;
    wnd->m_hWnd = hwnd;
    ts->tempWnds[AfxWndKey(hwnd)] = wnd;
    return wnd;
}

BOOL CWnd::Attach(HWND hwnd) {
    if (!hwnd || m_hWnd || FromHandlePermanent(hwnd)) return FALSE;
    AfxGetThreadState()->permanentWnds[AfxWndKey(hwnd)] = this;
    m_hWnd = hwnd;
    if (!m_pModuleState) m_pModuleState = AfxGetModuleState();
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hwnd = m_hWnd;
    if (hwnd) {
        AfxThreadState* ts = AfxGetThreadState();
        auto it = ts->permanentWnds.find(AfxWndKey(hwnd));
        if (it != ts->permanentWnds.end() && it->second == this) ts->permanentWnds.erase(it);
    }
    m_hWnd = nullptr;
    return hwnd;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (!::IsWindow(hwnd)) return FALSE;
    if (!Attach(hwnd)) return FALSE;
    m_pModuleState = AfxGetModuleState();
    PreSubclassWindow();
    auto old = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (!old) {
        Detach();
        return FALSE;
    }
    if (old != &AfxWndProc) m_pfnSuper = old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    HWND control = parent ? ::GetDlgItem(parent->m_hWnd, static_cast<int>(id)) : nullptr;
    return control && SubclassWindow(control);
}

HWND CWnd::UnsubclassWindow() {
    if (!m_hWnd) return nullptr;
    if (m_pfnSuper &&
        reinterpret_cast<WNDPROC>(GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC)) == &AfxWndProc)
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

void CWnd::PreSubclassWindow() {}
BOOL CWnd::PreCreateWindow(CREATESTRUCT&) {
    return TRUE;
}
void CWnd::PostNcDestroy() {}
BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

BOOL PASCAL CWnd::WalkPreTranslateTree(HWND stop, MSG* msg) {
    if (!msg) return FALSE;
    // GetParent gives a popup's owner, so a dialog's walk goes on to its owner.
    for (HWND hwnd = msg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
        if (CWnd* wnd = FromHandlePermanent(hwnd))
            if (wnd->PreTranslateMessage(msg)) return TRUE;
        if (hwnd == stop) break;
    }
    return FALSE;
}

BOOL AFXAPI AfxPreTranslateMessage(MSG* msg) {
    if (!msg) return FALSE;
    if (CWinApp* app = AfxGetApp()) return app->PreTranslateMessage(msg);
    return CWnd::WalkPreTranslateTree(nullptr, msg);
}

// ---- CWnd: creation

BOOL CWnd::Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id) {
    return CreateEx(0, className, windowName, style | WS_CHILD, rect, parent, id);
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style,
                    const RECT& rect, CWnd* parent, UINT id, LPVOID param) {
    HMENU menu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)) : nullptr;
    return CreateEx(exStyle, className, windowName, style, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, AfxGetSafeHwnd(parent), menu,
                    param);
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU idOrMenu, LPVOID param) {
    if (m_hWnd) return FALSE;
    AfxEnsureControls();
    CREATESTRUCTW cs{};
    cs.dwExStyle = exStyle;
    cs.lpszClass = className;
    cs.lpszName = windowName;
    cs.style = style;
    cs.x = x, cs.y = y, cs.cx = width, cs.cy = height;
    cs.hwndParent = parent;
    cs.hMenu = idOrMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = param;
    if (!PreCreateWindow(cs)) return FALSE;
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, LoadCursorW(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    m_pModuleState = AfxGetModuleState();
    AfxHookWindowCreate(this);
    HWND hwnd =
        CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx, cs.cy,
                        cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    AfxUnhookWindowCreate();
    if (!hwnd) return FALSE;
    // The window is complete (its WM_CREATE has run): the same set-up as a
    // dialog item gets when it is subclassed, unless creation failed in a
    // way that left the object without its window.
    if (FromHandlePermanent(hwnd) == this) PreSubclassWindow();
    return TRUE;
}

BOOL CWnd::DestroyWindow() {
    HWND hwnd = m_hWnd;
    if (!hwnd) return FALSE;
    BOOL ok = ::DestroyWindow(hwnd);
    // A window attached without subclassing sends us no WM_NCDESTROY.
    if (FromHandlePermanent(hwnd) == this) Detach();
    return ok;
}

// ---- CWnd: message routing

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    const MSG& msg = AfxGetThreadState()->lastMsg;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

// Offers a notification to the object of the control that sent it.
static BOOL SendChildNotify(CWnd* parent, HWND child, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT* pResult) {
    if (!child || child == parent->m_hWnd) return FALSE;
    CWnd* control = CWnd::FromHandlePermanent(child);
    return control && control->OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectLastMsg(HWND child, LRESULT* pResult) {
    CWnd* control = FromHandlePermanent(child);
    if (!control) return FALSE;
    const MSG& msg = AfxGetThreadState()->lastMsg;
    LRESULT ignored = 0;
    return control->OnChildNotify(msg.message, msg.wParam, msg.lParam,
                                  pResult ? pResult : &ignored);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    LRESULT result = 0;
    switch (message) {
    case WM_COMMAND:
        if (!OnCommand(wParam, lParam)) return FALSE;
        *pResult = 0;
        return TRUE;
    case WM_NOTIFY:
        if (!OnNotify(wParam, lParam, &result)) return FALSE;
        *pResult = result;
        return TRUE;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        if (SendChildNotify(this, reinterpret_cast<HWND>(lParam), message, wParam, lParam,
                            &result) ||
            DispatchMapMessage(WM_CTLCOLOR, 0, 0, message, wParam, lParam, &result)) {
            *pResult = result;
            return TRUE;
        }
        return FALSE;
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM: {
        HWND child = nullptr;
        if (message == WM_DRAWITEM) {
            auto* dis = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
            if (dis->CtlType != ODT_MENU) child = dis->hwndItem;
        } else if (message == WM_MEASUREITEM) {
            auto* mis = reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam);
            if (mis->CtlType != ODT_MENU)
                child = ::GetDlgItem(m_hWnd, static_cast<int>(mis->CtlID));
        } else if (message == WM_COMPAREITEM) {
            child = reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam)->hwndItem;
        } else {
            child = reinterpret_cast<LPDELETEITEMSTRUCT>(lParam)->hwndItem;
        }
        if (SendChildNotify(this, child, message, wParam, lParam, &result)) {
            *pResult = result;
            return TRUE;
        }
        break;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (SendChildNotify(this, reinterpret_cast<HWND>(lParam), message, wParam, lParam,
                            &result)) {
            *pResult = result;
            return TRUE;
        }
        break;
    default:
        break;
    }
    return DispatchMapMessage(message, 0, 0, message, wParam, lParam, pResult);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    UINT id = LOWORD(wParam);
    HWND control = reinterpret_cast<HWND>(lParam);
    int code = HIWORD(wParam);
    if (!control) {
        if (id == 0) return FALSE;
        if (!AfxIsCommandEnabled(this, id)) return TRUE; // disabled since it was shown
        code = CN_COMMAND; // menus and accelerators are plain commands
    } else {
        LRESULT result = 0;
        if (SendChildNotify(this, control, WM_COMMAND, wParam, lParam, &result)) return TRUE;
        if (id == 0) return FALSE;
    }
    return OnCmdMsg(id, code, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    auto* nmhdr = reinterpret_cast<NMHDR*>(lParam);
    if (!nmhdr) return FALSE;
    if (SendChildNotify(this, nmhdr->hwndFrom, WM_NOTIFY, wParam, lParam, pResult)) return TRUE;
    return DispatchMapMessage(WM_NOTIFY, nmhdr->code, static_cast<UINT>(nmhdr->idFrom), WM_NOTIFY,
                              wParam, lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    switch (message) {
    case WM_COMMAND:
        return DispatchMapMessage(WM_REFLECT_BASE + WM_COMMAND, HIWORD(wParam), 0, message, wParam,
                                  lParam, pResult);
    case WM_NOTIFY:
        return DispatchMapMessage(WM_REFLECT_BASE + WM_NOTIFY,
                                  reinterpret_cast<NMHDR*>(lParam)->code, 0, message, wParam,
                                  lParam, pResult);
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        // The control's CtlColor gets the device context and the CTLCOLOR_* type.
        return DispatchMapMessage(WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0, message, wParam,
                                  AfxCtlColorType(message), pResult);
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
        return DispatchMapMessage(WM_REFLECT_BASE + message, 0, 0, message, wParam, lParam,
                                  pResult);
    default:
        return FALSE;
    }
}

// CWnd's own map is empty: every message it does not route goes to DefWindowProc.
const AFX_MSGMAP* CWnd::GetMessageMap() const {
    return GetThisMessageMap();
}
const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {&CCmdTarget::GetThisMessageMap, &entries[0]};
    return &map;
}

// ---- CWnd: wrappers

void CWnd::SetWindowText(LPCWSTR text) {
    ::SetWindowTextW(m_hWnd, text);
}
int CWnd::GetWindowText(LPWSTR buffer, int maxCount) const {
    return ::GetWindowTextW(m_hWnd, buffer, maxCount);
}
void CWnd::GetWindowText(CString& text) const {
    int length = ::GetWindowTextLengthW(m_hWnd);
    if (length <= 0) {
        text.Empty();
        return;
    }
    int got = ::GetWindowTextW(m_hWnd, text.GetBuffer(length + 1), length + 1);
    text.ReleaseBuffer(got);
}
int CWnd::GetWindowTextLength() const {
    return ::GetWindowTextLengthW(m_hWnd);
}
BOOL CWnd::ShowWindow(int cmdShow) {
    return ::ShowWindow(m_hWnd, cmdShow);
}
BOOL CWnd::IsWindowVisible() const {
    return ::IsWindowVisible(m_hWnd);
}
BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}
BOOL CWnd::EnableWindow(BOOL enable) {
    return ::EnableWindow(m_hWnd, enable);
}
DWORD CWnd::GetStyle() const {
    return static_cast<DWORD>(GetWindowLongPtrW(m_hWnd, GWL_STYLE));
}
DWORD CWnd::GetExStyle() const {
    return static_cast<DWORD>(GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE));
}

static BOOL ModifyLong(HWND hwnd, int index, DWORD remove, DWORD add, UINT swpFlags) {
    DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, index));
    DWORD changed = (style & ~remove) | add;
    if (style == changed) return FALSE;
    SetWindowLongPtrW(hwnd, index, static_cast<LONG_PTR>(changed));
    if (swpFlags)
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    return TRUE;
}
BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) {
    return ModifyLong(m_hWnd, GWL_STYLE, remove, add, swpFlags);
}
BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags) {
    return ModifyLong(m_hWnd, GWL_EXSTYLE, remove, add, swpFlags);
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
    ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}
void CWnd::MoveWindow(LPCRECT rect, BOOL repaint) {
    MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}
BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, AfxGetSafeHwnd(insertAfter), x, y, cx, cy, flags);
}
void CWnd::GetWindowRect(LPRECT rect) const {
    ::GetWindowRect(m_hWnd, rect);
}
void CWnd::GetClientRect(LPRECT rect) const {
    ::GetClientRect(m_hWnd, rect);
}
BOOL CWnd::GetWindowPlacement(WINDOWPLACEMENT* placement) const {
    if (!placement) return FALSE;
    placement->length = sizeof(WINDOWPLACEMENT);
    return ::GetWindowPlacement(m_hWnd, placement);
}
void CWnd::ClientToScreen(LPPOINT point) const {
    ::ClientToScreen(m_hWnd, point);
}
void CWnd::ClientToScreen(LPRECT rect) const {
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&rect->left));
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&rect->right));
}
void CWnd::ScreenToClient(LPPOINT point) const {
    ::ScreenToClient(m_hWnd, point);
}
void CWnd::ScreenToClient(LPRECT rect) const {
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->left));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->right));
}

void CWnd::CenterWindow(CWnd* alternateOwner) {
    DWORD style = GetStyle();
    HWND center = AfxGetSafeHwnd(alternateOwner);
    if (!center) center = (style & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
    CRect window;
    GetWindowRect(&window);
    CRect target, bounds;
    if (style & WS_CHILD) {
        HWND parent = ::GetParent(m_hWnd);
        ::GetClientRect(parent, &bounds);
        if (center && center != parent) {
            ::GetWindowRect(center, &target);
            ::MapWindowPoints(nullptr, parent, reinterpret_cast<LPPOINT>(&target), 2);
        } else {
            target = bounds;
        }
    } else {
        HMONITOR monitor = MonitorFromWindow(center ? center : m_hWnd, MONITOR_DEFAULTTONEAREST);
        MONITORINFO info{};
        info.cbSize = sizeof info;
        GetMonitorInfoW(monitor, &info);
        bounds = info.rcWork;
        if (center && ::IsWindowVisible(center) && !::IsIconic(center))
            ::GetWindowRect(center, &target);
        else
            target = bounds;
    }
    int x = (target.left + target.right) / 2 - window.Width() / 2;
    int y = (target.top + target.bottom) / 2 - window.Height() / 2;
    // Keep it within the work area (or the parent's client area).
    if (x + window.Width() > bounds.right) x = bounds.right - window.Width();
    if (x < bounds.left) x = bounds.left;
    if (y + window.Height() > bounds.bottom) y = bounds.bottom - window.Height();
    if (y < bounds.top) y = bounds.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CWnd* CWnd::GetParent() const {
    return FromHandle(::GetParent(m_hWnd));
}
CWnd* CWnd::GetOwner() const {
    return m_hWndOwner ? FromHandle(m_hWndOwner) : GetParent();
}
CWnd* CWnd::SetParent(CWnd* newParent) {
    return FromHandle(::SetParent(m_hWnd, AfxGetSafeHwnd(newParent)));
}
CWnd* CWnd::GetTopLevelParent() const {
    return FromHandle(::GetAncestor(m_hWnd, GA_ROOT));
}
CWnd* CWnd::GetDlgItem(int id) const {
    return FromHandle(::GetDlgItem(m_hWnd, id));
}
int CWnd::GetDlgCtrlID() const {
    return ::GetDlgCtrlID(m_hWnd);
}
CWnd* CWnd::GetFocus() {
    return FromHandle(::GetFocus());
}
CWnd* CWnd::SetFocus() {
    return FromHandle(::SetFocus(m_hWnd));
}
CWnd* CWnd::GetActiveWindow() {
    return FromHandle(::GetActiveWindow());
}

void CWnd::SetDlgItemText(int id, LPCWSTR text) {
    ::SetDlgItemTextW(m_hWnd, id, text);
}
int CWnd::GetDlgItemText(int id, CString& text) const {
    HWND control = ::GetDlgItem(m_hWnd, id);
    text.Empty();
    if (!control) return 0;
    FromHandle(control)->GetWindowText(text);
    return text.GetLength();
}
void CWnd::SetDlgItemInt(int id, UINT value, BOOL isSigned) {
    ::SetDlgItemInt(m_hWnd, id, value, isSigned);
}
UINT CWnd::GetDlgItemInt(int id, BOOL* translated, BOOL isSigned) const {
    return ::GetDlgItemInt(m_hWnd, id, translated, isSigned);
}
void CWnd::CheckDlgButton(int id, UINT check) {
    ::CheckDlgButton(m_hWnd, id, check);
}
UINT CWnd::IsDlgButtonChecked(int id) const {
    return ::IsDlgButtonChecked(m_hWnd, id);
}
LRESULT CWnd::SendDlgItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendDlgItemMessageW(m_hWnd, id, message, wParam, lParam);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}
BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}
void CWnd::Invalidate(BOOL erase) {
    ::InvalidateRect(m_hWnd, nullptr, erase);
}
void CWnd::InvalidateRect(LPCRECT rect, BOOL erase) {
    ::InvalidateRect(m_hWnd, rect, erase);
}
void CWnd::UpdateWindow() {
    ::UpdateWindow(m_hWnd);
}
BOOL CWnd::RedrawWindow(LPCRECT update, HRGN region, UINT flags) {
    return ::RedrawWindow(m_hWnd, update, region, flags);
}
UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc) {
    return ::SetTimer(m_hWnd, id, elapse, proc);
}
BOOL CWnd::KillTimer(UINT_PTR id) {
    return ::KillTimer(m_hWnd, id);
}
HFONT CWnd::GetFont() const {
    return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
}
void CWnd::SetFont(HFONT font, BOOL redraw) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
}
int CWnd::MessageBox(LPCWSTR text, LPCWSTR caption, UINT type) {
    if (!caption) {
        CWinApp* app = AfxGetApp();
        caption = app ? app->m_pszAppName : nullptr;
    }
    return ::MessageBoxW(m_hWnd, text, caption, type);
}
CDC* CWnd::GetDC() {
    return CDC::FromHandle(::GetDC(m_hWnd));
}
int CWnd::ReleaseDC(CDC* dc) {
    return dc ? ::ReleaseDC(m_hWnd, dc->m_hDC) : 0;
}

// ---- CWnd: default handlers

int CWnd::OnCreate(LPCREATESTRUCT) {
    return static_cast<int>(Default());
}
void CWnd::OnDestroy() {
    Default();
}
void CWnd::OnClose() {
    Default();
}
void CWnd::OnPaint() {
    Default();
}
BOOL CWnd::OnEraseBkgnd(CDC*) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnSize(UINT, int, int) {
    Default();
}
void CWnd::OnTimer(UINT_PTR) {
    Default();
}
void CWnd::OnSetFocus(CWnd*) {
    Default();
}
void CWnd::OnKillFocus(CWnd*) {
    Default();
}
void CWnd::OnChar(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnKeyDown(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnLButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonDblClk(UINT, CPoint) {
    Default();
}
void CWnd::OnRButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnRButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnRButtonDblClk(UINT, CPoint) {
    Default();
}
void CWnd::OnMButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnMButtonDblClk(UINT, CPoint) {
    Default();
}
void CWnd::OnMouseMove(UINT, CPoint) {
    Default();
}
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) {
    return static_cast<BOOL>(Default());
}
HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) {
    return reinterpret_cast<HBRUSH>(Default());
}
void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT) {
    Default();
}
void CWnd::OnHScroll(UINT, UINT, CWnd*) {
    Default();
}
void CWnd::OnVScroll(UINT, UINT, CWnd*) {
    Default();
}
UINT CWnd::OnGetDlgCode() {
    return static_cast<UINT>(Default());
}
void CWnd::OnShowWindow(BOOL, UINT) {
    Default();
}
void CWnd::OnSysColorChange() {
    Default();
}
void CWnd::OnSettingChange(UINT, LPCWSTR) {
    Default();
}
void CWnd::OnContextMenu(CWnd*, CPoint) {
    Default();
}
LRESULT CWnd::OnNcHitTest(CPoint) {
    return Default();
}
void CWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) {
    Default();
}
void CWnd::OnNcPaint() {
    Default();
}
void CWnd::OnNcLButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnNcLButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnNcLButtonDblClk(UINT, CPoint) {
    Default();
}
void CWnd::OnNcMouseMove(UINT, CPoint) {
    Default();
}
void CWnd::OnInitMenuPopup(CMenu*, UINT, BOOL) {
    Default();
}
void CWnd::OnCancelMode() {
    Default();
}
