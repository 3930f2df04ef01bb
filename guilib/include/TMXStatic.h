// TMXStatic: a static text control that paints itself.
//
// Text colour, a solid or left-to-right two-colour gradient background (or
// none: transparent), its own font (bold, italic, underline, size, face,
// rotation), a raised or sunken 3D copy of the text, blinking text, and a
// click that opens a web or mail link through the shell or notifies the
// parent. Every setter returns the control, so calls chain:
//
//   m_title.SetFontBold(TRUE).SetTextColor(RGB(0, 0, 128));
//
// Setters store their values also before the control has a window. When it
// gets one (a dialog item bound with DDX_Control or SubclassDlgItem, or a
// control made with Create) the font is read from the window, replacing
// font attributes set earlier, and a blink or link asked for earlier takes
// effect.
#pragma once

#include "TMXUIDefs.h"

// WM_NOTIFY code a link control sends to its parent when it was set up with
// SetLink(TRUE, TRUE) or SetMailLink(TRUE, TRUE) and is clicked.
constexpr UINT NM_STATIC_LINKCLICK = 0x8200;

class TMXUI_API TMXStatic : public CStatic {
public:
    enum BackFillMode { bfmNormal = 0, bfmGradient = 1 };
    // Where the highlight copy of 3D text goes: raised up-left, sunken down-right.
    enum Type3D { t3dRaised = 0, t3dSunken = 1 };

    TMXStatic();
    ~TMXStatic() override;

    // With bfmNormal a solid background of `crFrom`; with bfmGradient 100
    // bands from `crFrom` at the left to `crTo` at the right.
    virtual TMXStatic& SetBkColor(COLORREF crFrom, COLORREF crTo = 0, BackFillMode mode = bfmNormal);
    virtual TMXStatic& SetTextColor(COLORREF color);
    virtual TMXStatic& SetText(const CString& text); // only with a window
    virtual TMXStatic& SetFontBold(BOOL bold);
    // At most 31 characters of the face name are kept.
    virtual TMXStatic& SetFontName(const CString& face, BYTE charSet = ANSI_CHARSET);
    virtual TMXStatic& SetFontUnderline(BOOL underline);
    virtual TMXStatic& SetFontItalic(BOOL italic);
    virtual TMXStatic& SetFontSize(int points);
    virtual TMXStatic& SetSunken(BOOL sunken);
    virtual TMXStatic& SetBorder(BOOL border);
    virtual TMXStatic& SetTransparent(BOOL transparent);
    // Text visible and hidden by turns every 500 ms; hidden means drawn in
    // the solid background's colour (black without one). When blinking
    // stops the text is shown again.
    virtual TMXStatic& FlashText(BOOL flash);
    // Toggles the blink phase without a visible change of its own.
    virtual TMXStatic& FlashBackground(BOOL flash);
    // A click opens the link target (or the window text) in the browser, or
    // only notifies the parent (NM_STATIC_LINKCLICK) with `notifyParent`.
    virtual TMXStatic& SetLink(BOOL link, BOOL notifyParent);
    virtual TMXStatic& SetLinkCursor(HCURSOR cursor); // not owned
    virtual TMXStatic& SetFont3D(BOOL text3D, Type3D type = t3dRaised);
    // Drawn from the centre at `degrees` counter-clockwise when `rotate`.
    virtual TMXStatic& SetRotationAngle(UINT degrees, BOOL rotate);
    virtual TMXStatic& SetText3DHiliteColor(COLORREF color);
    // The face name is cut to 31 characters and terminated.
    virtual TMXStatic& SetFont(LOGFONTW lf);
    // A click opens "mailto:" + the window text, or notifies the parent.
    virtual TMXStatic& SetMailLink(BOOL mail, BOOL notifyParent);
    virtual TMXStatic& SetHyperLink(const CString& link);

protected:
    void PreSubclassWindow() override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void PostNcDestroy() override;

    void OnTimer(UINT_PTR id);
    void OnLButtonDown(UINT flags, CPoint point);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnSysColorChange();
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);

    // Fills `rect` with `bands` vertical bands from `crFrom` to `crTo`,
    // each channel stepped in 8.8 fixed point.
    static void DrawGradientFill(CDC* dc, const CRect& rect, COLORREF crFrom, COLORREF crTo, int bands);

    COLORREF m_crText;
    COLORREF m_crHilite = RGB(255, 255, 255);
    HBRUSH m_hDefaultBrush = nullptr;
    HBRUSH m_hBkBrush = nullptr;
    LOGFONTW m_lf{};
    CFont m_font;
    BOOL m_bFlashPhase = FALSE;
    CString m_strHyperLink;
    int m_nLinkType = 0; // 0 none, 1 web link, 2 mail link
    BOOL m_bTransparent = FALSE;
    BOOL m_b3DText = FALSE;
    BOOL m_bNotifyParent = FALSE;
    BOOL m_bRotate = FALSE;
    int m_nFlashType = 0; // 0 none, 1 text, 2 background
    HCURSOR m_hLinkCursor = nullptr;
    Type3D m_e3DType = t3dRaised;
    BackFillMode m_eFillMode = bfmNormal;
    COLORREF m_crBkFrom = 0;
    COLORREF m_crBkTo = 0;
    BOOL m_bTimerOn = FALSE;

private:
    void RebuildFont();
    // Repaints the control now, then the parent's area under it, so that a
    // transparent control shows the parent's current background.
    void Refresh();
    void StartFlashTimer();
    void StopFlashTimer();
    void StopFlashing();

    DECLARE_MESSAGE_MAP()
};
