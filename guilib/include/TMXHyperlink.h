// TMXHyperlink: a static text turned into a link.
//
// Bound to a dialog's static (DDX_Control, SubclassDlgItem) or made with
// Create, it shows its text underlined in the link colour, in the hover
// colour while the mouse is over it and in the visited colour once clicked
// (also while hovering), with a hand cursor when the system has one, and an
// optional tooltip. A click opens the address through the shell, minimised,
// or only sends HLMSG_LINK_CLICKED to the parent (SetFireChild).
//
// The parent must be a window of the framework (a CDialog, a CWnd made with
// Create): the colours come through the reflected WM_CTLCOLORSTATIC, the
// click through the reflected STN_CLICKED.
#pragma once

#include "TMXUIDefs.h"

// Sent to the parent on a click when SetFireChild(TRUE): wParam the
// control's id, lParam 0.
constexpr UINT HLMSG_LINK_CLICKED = WM_USER + 101;

class TMXUI_API TMXHyperlink : public CStatic {
public:
    TMXHyperlink();
    ~TMXHyperlink() override;

    // The text shown; the parent's area under the control is repainted, so
    // no glyphs of the old text stay behind.
    void SetLinkText(CString text);
    CString GetLinkText() const; // empty when never set
    // The address a click opens; when empty, the window text (as a mail
    // address when it holds an "@").
    void SetLinkUrl(CString url);
    CString GetLinkUrl() const;
    void SetLinkColor(COLORREF color);
    void SetHoverColor(COLORREF color);
    void SetVisitedColor(COLORREF color);
    void SetFireChild(BOOL fireChild);
    // The tooltip takes a text only while active; its names are the ones
    // programs already call.
    void ActiveToolTip(BOOL active);
    void SetTootTipText(LPCWSTR text);
    void SetToolTipTextColor(COLORREF color);
    void SetToolTipBgColor(COLORREF color);
    // Opens `url` (see SetLinkUrl) with the shell, minimised; true when the
    // shell reports success (a result above 32).
    bool GoToLinkUrl(CString url);

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    void PreSubclassWindow() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    void OnMouseMove(UINT flags, CPoint point);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnClicked();
    HBRUSH CtlColor(CDC* dc, UINT ctlColor);

    bool m_bFireChild = false;
    HCURSOR m_hLinkCursor = nullptr; // a copy of the system's hand, owned
    bool m_bToolTipActive = false;
    bool m_bHover = false;
    bool m_bVisited = false;
    CToolTipCtrl m_toolTip;
    CFont m_fontUnderline;
    CString m_strLinkText;
    CString m_strLinkUrl;
    COLORREF m_crHover = RGB(255, 0, 0);
    COLORREF m_crLink = RGB(0, 0, 255);
    COLORREF m_crVisited = RGB(5, 34, 143);

private:
    void LoadHandCursor();
    void RepaintNow();

    DECLARE_MESSAGE_MAP()
};
