// CWnd: a window object attached to a window handle.
//
// A CWnd is attached permanently (Attach, SubclassWindow, Create) or lives in
// the calling thread's temporary map (FromHandle on a handle nobody attached).
// Windows created or subclassed through the framework run AfxWndProc, which
// switches to the module state the window was made under, routes the message
// through the object's WindowProc and message map, and reflects child
// notifications (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*, WM_DRAWITEM,
// WM_MEASUREITEM, WM_HSCROLL/WM_VSCROLL) to the control object first.
#pragma once

#include "CmdTarget.h"
#include "DC.h"
#include "Geometry.h"
#include "String.h"

// What a message loop of the framework calls for each message it takes from
// the queue: the application's PreTranslateMessage, which walks the
// pre-translation tree from the message's window up to the main window.
// TRUE: the message was used and is not to be dispatched.
FW_API BOOL AFXAPI AfxPreTranslateMessage(MSG* msg);
FW_API LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// CTLCOLOR_* type of a WM_CTLCOLOR* message.
FW_API UINT AFXAPI AfxCtlColorType(UINT message);
// Registers (once) and names a window class with DefWindowProc behind it.
FW_API LPCWSTR AFXAPI AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr,
                                          HBRUSH background = nullptr, HICON icon = nullptr);

// The handle of a window object that may be null.
inline HWND AfxGetSafeHwnd(const CWnd* wnd);

class FW_API CWnd : public CCmdTarget {
public:
    DECLARE_DYNAMIC(CWnd)
    CWnd();
    ~CWnd() override;

    HWND m_hWnd = nullptr;
    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // Handle map.
    static CWnd* FromHandle(HWND hwnd);          // permanent object, else a temporary one
    static CWnd* FromHandlePermanent(HWND hwnd); // null when nobody attached the handle
    BOOL Attach(HWND hwnd);
    HWND Detach();
    // Attach, PreSubclassWindow, then route the window's messages through AfxWndProc.
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    // Creation. The window is attached and subclassed from its first message
    // on; PreSubclassWindow runs once CreateWindowEx has returned, so a
    // control's attachment set-up is the same as for a subclassed dialog item.
    virtual BOOL Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                        CWnd* parent, UINT id);
    BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style,
                  const RECT& rect, CWnd* parent, UINT id, LPVOID param = nullptr);
    BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                  int width, int height, HWND parent, HMENU idOrMenu, LPVOID param = nullptr);
    virtual BOOL DestroyWindow();

    // Message handling.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Called on the control for a notification it sent to its parent; the
    // default looks for a reflected entry in the control's own message map.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Offers the current message to the control object of `child`.
    static BOOL ReflectLastMsg(HWND child, LRESULT* pResult = nullptr);
    // Runs the previous window procedure for the message being handled.
    LRESULT Default();
    // Gives a queued message to the objects of its window and of each parent
    // (or owner) up to `stop` before it is dispatched; TRUE when one of them
    // used it, and it must not be dispatched.
    virtual BOOL PreTranslateMessage(MSG* msg);
    static BOOL PASCAL WalkPreTranslateTree(HWND stop, MSG* msg);

    // Window text and state.
    void SetWindowText(LPCWSTR text);
    int GetWindowText(LPWSTR buffer, int maxCount) const;
    void GetWindowText(CString& text) const;
    int GetWindowTextLength() const;
    BOOL ShowWindow(int cmdShow);
    BOOL IsWindowVisible() const;
    BOOL IsWindowEnabled() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0);

    // Geometry.
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    void GetWindowRect(LPRECT rect) const;
    void GetClientRect(LPRECT rect) const;
    BOOL GetWindowPlacement(WINDOWPLACEMENT* placement) const; // sets its length first
    void ClientToScreen(LPPOINT point) const;
    void ClientToScreen(LPRECT rect) const;
    void ScreenToClient(LPPOINT point) const;
    void ScreenToClient(LPRECT rect) const;
    // Centres over the owner (or parent), else over the work area, and keeps it on screen.
    void CenterWindow(CWnd* alternateOwner = nullptr);

    // Family. The owner is kept apart from the parent: a control bar docked
    // in a dock bar (its parent) sends its notifications to its frame (its
    // owner). Without one set, the owner is the parent (a popup's owner).
    CWnd* GetParent() const;
    CWnd* SetParent(CWnd* newParent);
    CWnd* GetOwner() const;
    void SetOwner(CWnd* owner) { m_hWndOwner = AfxGetSafeHwnd(owner); }
    // The nearest frame among the parents (a floating bar's is its floating frame).
    CFrameWnd* GetParentFrame() const;

    CWnd* GetTopLevelParent() const;
    CWnd* GetDlgItem(int id) const;
    int GetDlgCtrlID() const;
    static CWnd* GetFocus();
    CWnd* SetFocus();
    static CWnd* GetActiveWindow();

    // Dialog items.
    void SetDlgItemText(int id, LPCWSTR text);
    int GetDlgItemText(int id, CString& text) const;
    void SetDlgItemInt(int id, UINT value, BOOL isSigned = TRUE);
    UINT GetDlgItemInt(int id, BOOL* translated = nullptr, BOOL isSigned = TRUE) const;
    void CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;
    LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // Sends a message to every child (and with `deep` every descendant);
    // with `onlyPermanent`, only to windows that have a framework object.
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                                  BOOL deep = TRUE, BOOL onlyPermanent = FALSE);

    // Layout of control bars: the children with ids idFirst..idLast take
    // their edges of the client area (WM_SIZEPARENT), in z-order, and the
    // child `idLeftOver` gets what is left. reposQuery only reports the
    // rectangle left over in *rectParam; reposExtra adds *rectParam's
    // margins to it. All moves go in one DeferWindowPos batch.
    enum RepositionFlags { reposDefault = 0, reposQuery = 1, reposExtra = 2, reposNoPosLeftOver = 0x8000 };
    void RepositionBars(UINT idFirst, UINT idLast, UINT idLeftOver, UINT flags = reposDefault,
                        LPRECT rectParam = nullptr, LPCRECT rectClient = nullptr,
                        BOOL stretch = TRUE);
    // The window rectangle for a client rectangle, by the window's styles.
    enum AdjustType { adjustBorder = 0, adjustOutside = 1 };
    virtual void CalcWindowRect(LPRECT clientRect, UINT adjustType = adjustBorder);

    // Messages, painting, timers.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(LPCRECT rect, BOOL erase = TRUE);
    void UpdateWindow();
    BOOL RedrawWindow(LPCRECT update = nullptr, HRGN region = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr);
    BOOL KillTimer(UINT_PTR id);
    HFONT GetFont() const;
    void SetFont(HFONT font, BOOL redraw = TRUE);
    int MessageBox(LPCWSTR text, LPCWSTR caption = nullptr, UINT type = MB_OK);
    CDC* GetDC();
    int ReleaseDC(CDC* dc);

    // Default handlers: each runs the previous window procedure.
    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();
    void OnClose();
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnSize(UINT type, int cx, int cy);
    void OnTimer(UINT_PTR id);
    void OnSetFocus(CWnd* oldWnd);
    void OnKillFocus(CWnd* newWnd);
    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnKeyDown(UINT ch, UINT repeat, UINT flags);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnRButtonDown(UINT flags, CPoint point);
    void OnRButtonUp(UINT flags, CPoint point);
    void OnRButtonDblClk(UINT flags, CPoint point);
    void OnMButtonDown(UINT flags, CPoint point);
    void OnMButtonDblClk(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    void OnDrawItem(int id, LPDRAWITEMSTRUCT dis);
    void OnHScroll(UINT code, UINT pos, CWnd* scrollBar);
    void OnVScroll(UINT code, UINT pos, CWnd* scrollBar);
    UINT OnGetDlgCode();
    void OnShowWindow(BOOL show, UINT status);
    void OnSysColorChange();
    void OnSettingChange(UINT flags, LPCWSTR section);
    void OnContextMenu(CWnd* wnd, CPoint point);
    LRESULT OnNcHitTest(CPoint point);
    void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params);
    void OnNcPaint();
    void OnNcLButtonDown(UINT hitTest, CPoint point);
    void OnNcLButtonUp(UINT hitTest, CPoint point);
    void OnNcLButtonDblClk(UINT hitTest, CPoint point);
    void OnNcMouseMove(UINT hitTest, CPoint point);
    void OnInitMenuPopup(CMenu* popup, UINT index, BOOL sysMenu);
    void OnCancelMode();

    // The module state the window was created or subclassed under.
    AFX_MODULE_STATE* m_pModuleState = nullptr;
    // The owner set with SetOwner; null: the parent.
    HWND m_hWndOwner = nullptr;

protected:
    // Attachment set-up of a window that exists: after SubclassWindow's
    // Attach, and after a successful Create/CreateEx.
    virtual void PreSubclassWindow();
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    // Called after the window's last message (WM_NCDESTROY), when the object
    // is already detached; classes that delete themselves do it here.
    virtual void PostNcDestroy();
    // Previous window procedure, run by DefWindowProc.
    WNDPROC m_pfnSuper = nullptr;

    friend struct AfxWndInternals;

    DECLARE_MESSAGE_MAP()
};

// Arms the calling thread so that the next window it creates is attached to
// `wnd` and subclassed at its first message; AfxUnhookWindowCreate disarms.
FW_API void AfxHookWindowCreate(CWnd* wnd);
FW_API BOOL AfxUnhookWindowCreate();

inline HWND AfxGetSafeHwnd(const CWnd* wnd) {
    return wnd ? wnd->m_hWnd : nullptr;
}
