// The self-painting static text control.
#include "TMXStatic.h"

#include <shellapi.h>

#include <algorithm>

namespace {

constexpr UINT_PTR kFlashTimer = 1;
constexpr UINT kFlashPeriod = 500; // ms
constexpr int kGradientBands = 100;

// The colour a solid brush paints with.
COLORREF BrushColor(HBRUSH brush) {
    LOGBRUSH lb{};
    return brush && ::GetObjectW(brush, sizeof lb, &lb) == sizeof lb ? lb.lbColor : RGB(0, 0, 0);
}

// DrawText flags for the static styles this control honours.
UINT TextFormat(DWORD style, const CString& text) {
    UINT format;
    switch (style & SS_TYPEMASK) {
    case SS_CENTER:
        format = DT_CENTER | DT_WORDBREAK;
        break;
    case SS_RIGHT:
        format = DT_RIGHT | DT_WORDBREAK;
        break;
    case SS_LEFTNOWORDWRAP:
        format = DT_LEFT;
        break;
    default:
        format = DT_LEFT | DT_WORDBREAK;
        break;
    }
    if ((style & SS_CENTERIMAGE) && (style & SS_TYPEMASK) == SS_CENTER)
        format = text.Find(L"\r\n") < 0 ? DT_CENTER | DT_VCENTER | DT_SINGLELINE : DT_CENTER;
    if (text.Find(L'\t') >= 0) format |= DT_EXPANDTABS;
    // "R&D" stays "R&D" in a control that asks for it.
    if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
    return format;
}

void CopyFaceName(LOGFONTW& lf, const wchar_t* face) {
    // lstrcpyn keeps LF_FACESIZE - 1 characters and always terminates.
    lstrcpynW(lf.lfFaceName, face ? face : L"", LF_FACESIZE);
}

} // namespace

BEGIN_MESSAGE_MAP(TMXStatic, CStatic)
ON_WM_TIMER()
ON_WM_LBUTTONDOWN()
ON_WM_SETCURSOR()
ON_WM_SYSCOLORCHANGE()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

TMXStatic::TMXStatic()
    : m_crText(::GetSysColor(COLOR_WINDOWTEXT)),
      m_hDefaultBrush(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE))) {}

TMXStatic::~TMXStatic() {
    // The window goes first, so that no paint uses what is deleted below.
    if (m_hWnd && CWnd::FromHandlePermanent(m_hWnd) == this) DestroyWindow();
    m_font.DeleteObject();
    if (m_hDefaultBrush) ::DeleteObject(m_hDefaultBrush);
    if (m_hBkBrush) ::DeleteObject(m_hBkBrush);
}

void TMXStatic::PreSubclassWindow() {
    CStatic::PreSubclassWindow();
    HFONT font = GetFont();
    if (!font || ::GetObjectW(font, sizeof m_lf, &m_lf) != sizeof m_lf)
        ::GetObjectW(::GetStockObject(SYSTEM_FONT), sizeof m_lf, &m_lf);
    RebuildFont();
    // What was asked for before there was a window.
    if (m_nLinkType != 0) ModifyStyle(0, SS_NOTIFY);
    if (m_nFlashType != 0) StartFlashTimer();
}

BOOL TMXStatic::PreCreateWindow(CREATESTRUCT& cs) {
    return CStatic::PreCreateWindow(cs);
}

void TMXStatic::PostNcDestroy() {
    m_bTimerOn = FALSE; // it went with the window
    CStatic::PostNcDestroy();
}

void TMXStatic::RebuildFont() {
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&m_lf);
}

void TMXStatic::Refresh() {
    if (!m_hWnd) return;
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HWND parent = ::GetParent(m_hWnd);
    if (!parent) return;
    CRect area;
    GetWindowRect(&area);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<LPPOINT>(&area), 2);
    ::InvalidateRect(parent, &area, TRUE);
    ::UpdateWindow(parent);
}

// ---- setters

TMXStatic& TMXStatic::SetText(const CString& text) {
    if (!m_hWnd) return *this;
    SetWindowText(text);
    Refresh();
    return *this;
}

TMXStatic& TMXStatic::SetTextColor(COLORREF color) {
    m_crText = color;
    Refresh();
    return *this;
}

TMXStatic& TMXStatic::SetBkColor(COLORREF crFrom, COLORREF crTo, BackFillMode mode) {
    m_crBkFrom = crFrom;
    m_crBkTo = crTo;
    m_eFillMode = mode;
    if (m_hBkBrush) {
        ::DeleteObject(m_hBkBrush);
        m_hBkBrush = nullptr;
    }
    if (mode == bfmNormal) m_hBkBrush = ::CreateSolidBrush(crFrom);
    Refresh();
    return *this;
}

TMXStatic& TMXStatic::SetFontBold(BOOL bold) {
    m_lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    RebuildFont();
    Refresh();
    return *this;
}

TMXStatic& TMXStatic::SetFontUnderline(BOOL underline) {
    m_lf.lfUnderline = static_cast<BYTE>(underline ? TRUE : FALSE);
    RebuildFont();
    Refresh();
    return *this;
}

TMXStatic& TMXStatic::SetFontItalic(BOOL italic) {
    m_lf.lfItalic = static_cast<BYTE>(italic ? TRUE : FALSE);
    RebuildFont();
    Refresh();
    return *this;
}

TMXStatic& TMXStatic::SetFontName(const CString& face, BYTE charSet) {
    m_lf.lfCharSet = charSet;
    CopyFaceName(m_lf, face);
    RebuildFont();
    Refresh();
    return *this;
}

TMXStatic& TMXStatic::SetFontSize(int points) {
    CFont sized;
    LOGFONTW lf{};
    if (sized.CreatePointFont(points * 10, m_lf.lfFaceName) && sized.GetLogFont(&lf)) {
        m_lf.lfHeight = lf.lfHeight;
        m_lf.lfWidth = lf.lfWidth;
    }
    sized.DeleteObject();
    RebuildFont();
    Refresh();
    return *this;
}

TMXStatic& TMXStatic::SetFont(LOGFONTW lf) {
    m_lf = lf;
    m_lf.lfFaceName[LF_FACESIZE - 1] = L'\0';
    RebuildFont();
    Refresh();
    return *this;
}

TMXStatic& TMXStatic::SetRotationAngle(UINT degrees, BOOL rotate) {
    m_lf.lfEscapement = m_lf.lfOrientation = static_cast<LONG>(degrees * 10);
    m_bRotate = rotate;
    RebuildFont();
    Refresh();
    return *this;
}

TMXStatic& TMXStatic::SetFont3D(BOOL text3D, Type3D type) {
    m_b3DText = text3D;
    m_e3DType = type;
    Refresh();
    return *this;
}

TMXStatic& TMXStatic::SetText3DHiliteColor(COLORREF color) {
    m_crHilite = color;
    Refresh();
    return *this;
}

TMXStatic& TMXStatic::SetSunken(BOOL sunken) {
    if (m_hWnd)
        ModifyStyleEx(sunken ? 0 : WS_EX_STATICEDGE, sunken ? WS_EX_STATICEDGE : 0, SWP_DRAWFRAME);
    return *this;
}

TMXStatic& TMXStatic::SetBorder(BOOL border) {
    if (m_hWnd) ModifyStyle(border ? 0 : WS_BORDER, border ? WS_BORDER : 0, SWP_DRAWFRAME);
    return *this;
}

TMXStatic& TMXStatic::SetTransparent(BOOL transparent) {
    m_bTransparent = transparent;
    if (m_hWnd) ModifyStyleEx(0, WS_EX_TRANSPARENT);
    Refresh();
    return *this;
}

// ---- blinking

void TMXStatic::StartFlashTimer() {
    // Without a window the request waits in m_nFlashType for the attachment:
    // a timer without a window would be a thread timer under another id.
    if (m_hWnd && !m_bTimerOn) m_bTimerOn = SetTimer(kFlashTimer, kFlashPeriod) != 0;
}

void TMXStatic::StopFlashTimer() {
    if (m_bTimerOn && m_hWnd) KillTimer(kFlashTimer);
    m_bTimerOn = FALSE;
}

void TMXStatic::StopFlashing() {
    StopFlashTimer();
    m_nFlashType = 0;
    m_bFlashPhase = TRUE; // shown, whatever phase it stopped in
    Refresh();
}

TMXStatic& TMXStatic::FlashText(BOOL flash) {
    if (!flash) {
        StopFlashing();
        return *this;
    }
    StopFlashTimer();
    m_bFlashPhase = FALSE;
    m_nFlashType = 1;
    StartFlashTimer();
    return *this;
}

TMXStatic& TMXStatic::FlashBackground(BOOL flash) {
    if (!flash) {
        StopFlashing();
        return *this;
    }
    StopFlashTimer();
    m_bFlashPhase = FALSE;
    m_nFlashType = 2;
    StartFlashTimer();
    return *this;
}

void TMXStatic::OnTimer(UINT_PTR id) {
    if (id == kFlashTimer) {
        m_bFlashPhase = !m_bFlashPhase;
        Refresh();
    }
    CStatic::OnTimer(id);
}

// ---- links

TMXStatic& TMXStatic::SetLink(BOOL link, BOOL notifyParent) {
    m_nLinkType = link ? 1 : 0;
    m_bNotifyParent = notifyParent;
    if (m_hWnd) ModifyStyle(link ? 0 : SS_NOTIFY, link ? SS_NOTIFY : 0);
    return *this;
}

TMXStatic& TMXStatic::SetMailLink(BOOL mail, BOOL notifyParent) {
    m_nLinkType = mail ? 2 : 0;
    m_bNotifyParent = notifyParent;
    if (m_hWnd) ModifyStyle(mail ? 0 : SS_NOTIFY, mail ? SS_NOTIFY : 0);
    return *this;
}

TMXStatic& TMXStatic::SetHyperLink(const CString& link) {
    m_strHyperLink = link;
    return *this;
}

TMXStatic& TMXStatic::SetLinkCursor(HCURSOR cursor) {
    m_hLinkCursor = cursor;
    return *this;
}

void TMXStatic::OnLButtonDown(UINT flags, CPoint point) {
    if (m_bNotifyParent) {
        NMHDR header{};
        header.hwndFrom = m_hWnd;
        header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
        header.code = NM_STATIC_LINKCLICK;
        ::SendMessageW(::GetParent(m_hWnd), WM_NOTIFY, header.idFrom,
                       reinterpret_cast<LPARAM>(&header));
    } else if (m_nLinkType == 1) {
        CString target = m_strHyperLink;
        if (target.IsEmpty()) GetWindowText(target);
        ::ShellExecuteW(nullptr, L"open", target, nullptr, nullptr, SW_SHOWNORMAL);
    } else if (m_nLinkType == 2) {
        CString address;
        GetWindowText(address);
        ::ShellExecuteW(nullptr, nullptr, CString(L"mailto:") + address, nullptr, nullptr,
                        SW_SHOWNORMAL);
    }
    CStatic::OnLButtonDown(flags, point);
}

BOOL TMXStatic::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
    if (m_hLinkCursor) {
        ::SetCursor(m_hLinkCursor);
        return TRUE;
    }
    return CStatic::OnSetCursor(wnd, hitTest, message);
}

void TMXStatic::OnSysColorChange() {
    if (m_hDefaultBrush) ::DeleteObject(m_hDefaultBrush);
    m_hDefaultBrush = ::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
    Refresh();
}

// ---- painting

BOOL TMXStatic::OnEraseBkgnd(CDC*) {
    return TRUE; // the paint covers the client area
}

void TMXStatic::DrawGradientFill(CDC* dc, const CRect& rect, COLORREF crFrom, COLORREF crTo,
                                 int bands) {
    const int width = rect.Width();
    if (width <= 0) return;
    bands = std::max(1, std::min(bands, width));
    // Channels in 8.8 fixed point.
    int red = GetRValue(crFrom) << 8, green = GetGValue(crFrom) << 8, blue = GetBValue(crFrom) << 8;
    const int redStep = ((GetRValue(crTo) - GetRValue(crFrom)) << 8) / bands;
    const int greenStep = ((GetGValue(crTo) - GetGValue(crFrom)) << 8) / bands;
    const int blueStep = ((GetBValue(crTo) - GetBValue(crFrom)) << 8) / bands;
    const int bandWidth = width / bands;

    HGDIOBJ oldPen = dc->SelectObject(::GetStockObject(NULL_PEN));
    int left = rect.left;
    for (int i = 0; i < bands; ++i) {
        const int right = i == bands - 1 ? rect.right : left + bandWidth;
        HBRUSH brush = ::CreateSolidBrush(RGB(red >> 8, green >> 8, blue >> 8));
        HGDIOBJ oldBrush = dc->SelectObject(brush);
        // Without a pen a rectangle leaves out its right and bottom edges.
        ::Rectangle(dc->m_hDC, left, rect.top, right + 1, rect.bottom + 1);
        dc->SelectObject(oldBrush);
        ::DeleteObject(brush);
        left += bandWidth;
        red += redStep, green += greenStep, blue += blueStep;
    }
    dc->SelectObject(oldPen);
}

void TMXStatic::OnPaint() {
    CPaintDC window(this);
    CRect client;
    GetClientRect(&client);
    CString text;
    GetWindowText(text);

    // Opaque painting goes through a memory bitmap, copied at the end.
    CDC memory;
    CBitmap bitmap;
    HGDIOBJ oldBitmap = nullptr;
    CDC* dc = &window;
    if (!m_bTransparent && client.Width() > 0 && client.Height() > 0 &&
        memory.CreateCompatibleDC(&window) &&
        bitmap.CreateCompatibleBitmap(&window, client.Width(), client.Height())) {
        oldBitmap = memory.SelectObject(bitmap.m_hObject);
        dc = &memory;
    }
    const int saved = dc->SaveDC();

    dc->SetBkMode(TRANSPARENT);
    COLORREF textColor = m_crText;
    if (m_font.m_hObject) dc->SelectObject(m_font.m_hObject);

    if (!m_bTransparent) {
        if (m_eFillMode != bfmNormal)
            DrawGradientFill(dc, client, m_crBkFrom, m_crBkTo, kGradientBands);
        else
            ::FillRect(dc->m_hDC, &client, m_hBkBrush ? m_hBkBrush : m_hDefaultBrush);
    }

    // The hidden phase of blinking text.
    if (m_nFlashType == 1 && !m_bFlashPhase) textColor = BrushColor(m_hBkBrush);
    dc->SetTextColor(textColor);

    if (m_bRotate) {
        const UINT oldAlign = dc->SetTextAlign(TA_BASELINE | TA_LEFT);
        const CPoint oldOrigin = dc->SetViewportOrg(client.Width() / 2, client.Height() / 2);
        dc->TextOut(0, 0, text);
        dc->SetViewportOrg(oldOrigin.x, oldOrigin.y);
        dc->SetTextAlign(oldAlign);
    } else {
        const UINT format = TextFormat(GetStyle(), text);
        CRect area = client;
        dc->DrawText(text, &area, format);
        if (m_b3DText) {
            dc->SetTextColor(m_crHilite);
            const int shift = m_e3DType == t3dRaised ? -1 : 1;
            area = client;
            area.OffsetRect(shift, shift);
            dc->DrawText(text, &area, format);
        }
    }

    dc->RestoreDC(saved);
    if (dc == &memory) {
        window.BitBlt(0, 0, client.Width(), client.Height(), &memory, 0, 0, SRCCOPY);
        memory.SelectObject(oldBitmap);
    }
}
