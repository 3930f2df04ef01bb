// The message box with a check box.
#include "TMXCheckMessageBox.h"

#include <new>

namespace {

const UINT kCheckBoxId = 666;
const UINT kSeparatorId = 111;

// The system metrics the layout uses, read once per process.
struct Metrics {
    int caption, yEdge, xEdge;
};
const Metrics& SystemMetrics() {
    static const Metrics metrics{GetSystemMetrics(SM_CYCAPTION), GetSystemMetrics(SM_CYEDGE),
                                 GetSystemMetrics(SM_CXEDGE)};
    return metrics;
}

// An etched line across its client area: vertical when narrower than high.
class Separator : public CWnd {
protected:
    void OnPaint() {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(m_hWnd, &ps);
        RECT r;
        ::GetClientRect(m_hWnd, &r);
        const int w = r.right - r.left, h = r.bottom - r.top;
        HPEN shadow = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
        HPEN light = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT));
        HGDIOBJ old = ::SelectObject(dc, shadow);
        if (w < h) {
            const int x = r.left + (w - 1) / 2, y = r.top + 2, length = h - 4;
            ::MoveToEx(dc, x, y, nullptr);
            ::LineTo(dc, x, y + length);
            ::SelectObject(dc, light);
            ::MoveToEx(dc, x + 1, y, nullptr);
            ::LineTo(dc, x + 1, y + length);
        } else {
            const int y = r.top + (h - 1) / 2, x = r.left + 2, length = w - 4;
            ::MoveToEx(dc, x, y, nullptr);
            ::LineTo(dc, x + length, y);
            ::SelectObject(dc, light);
            ::MoveToEx(dc, x, y + 1, nullptr);
            ::LineTo(dc, x + length, y + 1);
        }
        ::SelectObject(dc, old);
        ::DeleteObject(shadow);
        ::DeleteObject(light);
        ::EndPaint(m_hWnd, &ps);
    }
    void PostNcDestroy() override { delete this; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Separator, CWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()

} // namespace

BEGIN_MESSAGE_MAP(TMXCheckMessageBox, CWnd)
ON_WM_CREATE()
ON_MESSAGE(WM_INITDIALOG, OnSubclassedInit)
ON_BN_CLICKED(kCheckBoxId, OnDoNotShowAgain)
END_MESSAGE_MAP()

TMXCheckMessageBox::TMXCheckMessageBox(CWnd* parent, LPCWSTR checkText)
    : m_pParent(parent), m_strCheckText(checkText ? checkText : L"") {}

TMXCheckMessageBox::~TMXCheckMessageBox() = default;

int TMXCheckMessageBox::Message(LPCWSTR text, UINT type, UINT helpId) {
    // The next window this thread creates is the message box: it becomes
    // this object until it closes.
    AfxHookWindowCreate(this);
    int result = AfxMessageBox(text, type, helpId);
    // Disarmed whatever happened: when no box came (a type the system
    // refuses, no resources), the next window must not become this object.
    AfxUnhookWindowCreate();
    return result;
}

int TMXCheckMessageBox::OnCreate(LPCREATESTRUCT) {
    AfxUnhookWindowCreate();
    return static_cast<int>(Default());
}

LRESULT TMXCheckMessageBox::OnSubclassedInit(WPARAM, LPARAM) {
    LRESULT result = Default();
    const Metrics& m = SystemMetrics();

    HWND message = ::GetDlgItem(m_hWnd, 0xFFFF);
    HFONT font = message ? reinterpret_cast<HFONT>(::SendMessageW(message, WM_GETFONT, 0, 0)) : nullptr;
    SIZE extent{0, 0};
    HDC dc = ::GetDC(m_hWnd);
    int saved = ::SaveDC(dc);
    if (font) ::SelectObject(dc, font);
    ::GetTextExtentPoint32W(dc, m_strCheckText, m_strCheckText.GetLength(), &extent);
    ::RestoreDC(dc, saved);
    ::ReleaseDC(m_hWnd, dc);
    const int h = extent.cy < 13 ? extent.cy : 13;

    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    ::GetWindowPlacement(m_hWnd, &placement);
    RECT r = placement.rcNormalPosition;
    r.bottom -= 7;
    const int needed = extent.cx + 2 * m.xEdge + 33;
    if (r.right - r.left < needed) r.right = r.left + needed;
    MoveWindow(r.left - m.xEdge, r.top - (m.yEdge + m.caption) - (h + 13) / 2, r.right - r.left,
               (r.bottom - r.top) + h + 13, TRUE);
    CenterWindow(m_pParent);

    const int lineY = r.bottom - m.caption - m.yEdge - r.top;
    m_pSeparator = new (std::nothrow) Separator; // without it the box is still whole
    RECT line{-1, lineY, r.right - r.left, lineY + 3};
    if (m_pSeparator && !m_pSeparator->Create(AfxRegisterWndClass(0), nullptr, WS_CHILD | WS_VISIBLE, line, this,
                              kSeparatorId)) {
        delete m_pSeparator;
    }
    m_pSeparator = nullptr; // it deletes itself with its window

    RECT box{7, lineY + 6, r.right - r.left, lineY + 6 + h};
    m_checkBox.Create(m_strCheckText, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_CHECKBOX, box, this,
                      kCheckBoxId);
    m_checkBox.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    m_checkBox.SetCheck(m_nChecked);
    return result;
}

void TMXCheckMessageBox::OnDoNotShowAgain() {
    m_nChecked = !m_nChecked;
    m_checkBox.SetCheck(m_nChecked);
}
