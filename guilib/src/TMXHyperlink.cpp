// The hyperlink static.
#include "TMXHyperlink.h"

#include <shellapi.h>

namespace {

constexpr UINT_PTR kToolId = 1001;
constexpr WORD kHandCursorId = 106; // in the Windows help viewer

} // namespace

BEGIN_MESSAGE_MAP(TMXHyperlink, CStatic)
ON_WM_MOUSEMOVE()
ON_WM_SETCURSOR()
ON_STN_CLICKED_REFLECT(OnClicked)
ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

TMXHyperlink::TMXHyperlink() = default;

TMXHyperlink::~TMXHyperlink() {
    // The window goes first: it still has the font and cursor below.
    if (m_hWnd && CWnd::FromHandlePermanent(m_hWnd) == this) DestroyWindow();
    m_toolTip.DestroyWindow();
    m_fontUnderline.DeleteObject();
    if (m_hLinkCursor) ::DestroyCursor(m_hLinkCursor);
}

void TMXHyperlink::PreSubclassWindow() {
    ModifyStyle(0, SS_NOTIFY);

    // The window's font, underlined; a window without one has the GUI font's.
    LOGFONTW lf{};
    HFONT font = GetFont();
    if (!font || ::GetObjectW(font, sizeof lf, &lf) != sizeof lf) {
        lf = LOGFONTW{};
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    }
    lf.lfUnderline = TRUE;
    m_fontUnderline.DeleteObject();
    if (m_fontUnderline.CreateFontIndirect(&lf)) SetFont(m_fontUnderline, TRUE);

    LoadHandCursor();
    CStatic::PreSubclassWindow();

    if (!m_toolTip.m_hWnd && m_toolTip.Create(this, TTS_ALWAYSTIP)) {
        CRect client;
        GetClientRect(&client);
        m_toolTip.AddTool(this, L"", &client, kToolId);
        m_toolTip.ShowWindow(SW_HIDE);
    }
}

void TMXHyperlink::LoadHandCursor() {
    if (m_hLinkCursor) return;
    wchar_t folder[MAX_PATH];
    const UINT length = ::GetWindowsDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return; // no folder, or it did not fit
    CString path(folder);
    path += L"\\Winhlp32.exe";
    // Only its resources are wanted: nothing of the program runs.
    HMODULE module = ::LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return;
    // Loaded unshared, the cursor is a copy of our own that outlives the module.
    m_hLinkCursor = static_cast<HCURSOR>(
        ::LoadImageW(module, MAKEINTRESOURCEW(kHandCursorId), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
    ::FreeLibrary(module);
}

BOOL TMXHyperlink::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    return CWnd::OnNotify(wParam, lParam, pResult);
}

BOOL TMXHyperlink::PreTranslateMessage(MSG* msg) {
    if (m_toolTip.m_hWnd) m_toolTip.RelayEvent(msg);
    return CStatic::PreTranslateMessage(msg);
}

// ---- properties

void TMXHyperlink::SetLinkText(CString text) {
    m_strLinkText = text;
    if (!m_hWnd) return;
    SetWindowText(text);
    // The static paints with a null brush over whatever is there: have the
    // parent paint its background under the control first, then the text.
    HWND parent = ::GetParent(m_hWnd);
    if (!parent) {
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return;
    }
    CRect area;
    GetWindowRect(&area);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<LPPOINT>(&area), 2);
    ::RedrawWindow(parent, &area, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

CString TMXHyperlink::GetLinkText() const {
    return m_strLinkText;
}
void TMXHyperlink::SetLinkUrl(CString url) {
    m_strLinkUrl = url;
}
CString TMXHyperlink::GetLinkUrl() const {
    return m_strLinkUrl;
}
void TMXHyperlink::SetLinkColor(COLORREF color) {
    m_crLink = color;
}
void TMXHyperlink::SetHoverColor(COLORREF color) {
    m_crHover = color;
}
void TMXHyperlink::SetVisitedColor(COLORREF color) {
    m_crVisited = color;
}
void TMXHyperlink::SetFireChild(BOOL fireChild) {
    m_bFireChild = fireChild != 0;
}
void TMXHyperlink::ActiveToolTip(BOOL active) {
    m_bToolTipActive = active != 0;
}
void TMXHyperlink::SetTootTipText(LPCWSTR text) {
    if (!m_bToolTipActive || !m_toolTip.m_hWnd) return;
    m_toolTip.UpdateTipText(text, this, kToolId);
}
void TMXHyperlink::SetToolTipTextColor(COLORREF color) {
    if (m_toolTip.m_hWnd) m_toolTip.SendMessage(TTM_SETTIPTEXTCOLOR, color);
}
void TMXHyperlink::SetToolTipBgColor(COLORREF color) {
    if (m_toolTip.m_hWnd) m_toolTip.SendMessage(TTM_SETTIPBKCOLOR, color);
}

// ---- behaviour

bool TMXHyperlink::GoToLinkUrl(CString url) {
    if (url.IsEmpty()) {
        if (m_hWnd) GetWindowText(url);
        if (url.Find(L'@') >= 0) url = CString(L"mailto:") + url;
    }
    HINSTANCE result =
        ::ShellExecuteW(nullptr, L"open", url, nullptr, nullptr, SW_SHOWMINIMIZED);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

void TMXHyperlink::OnClicked() {
    if (m_bFireChild)
        ::SendMessageW(::GetParent(m_hWnd), HLMSG_LINK_CLICKED,
                       static_cast<WPARAM>(GetDlgCtrlID()), 0);
    else
        GoToLinkUrl(m_strLinkUrl);
    m_bVisited = true;
    Invalidate(TRUE);
}

HBRUSH TMXHyperlink::CtlColor(CDC* dc, UINT) {
    dc->SetTextColor(m_bVisited ? m_crVisited : m_bHover ? m_crHover : m_crLink);
    dc->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

void TMXHyperlink::RepaintNow() {
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void TMXHyperlink::OnMouseMove(UINT flags, CPoint point) {
    CStatic::OnMouseMove(flags, point);
    if (!m_bHover) {
        m_bHover = true;
        RepaintNow();
        ::SetCapture(m_hWnd);
        return;
    }
    CRect client;
    GetClientRect(&client);
    if (!client.PtInRect(point)) {
        m_bHover = false;
        ::ReleaseCapture();
        RepaintNow();
    }
}

BOOL TMXHyperlink::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
    if (!m_hLinkCursor) return CStatic::OnSetCursor(wnd, hitTest, message);
    ::SetCursor(m_hLinkCursor);
    return TRUE;
}
