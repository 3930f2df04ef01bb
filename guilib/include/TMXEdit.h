// Edit controls for dialogs: TMXEdit, an edit with its own tooltip, and two
// number edits that check every typed character.
//
// TMXIntegerEdit accepts a signed whole number within its range,
// TMXRealEdit a decimal number within its range (each bound inclusive or
// exclusive) with at most `precision` digits after the point. A keystroke
// (or a paste by Ctrl+V) that would leave the text malformed or out of range
// is undone: the text and selection come back, the characters typed ahead
// for the control are dropped, and the control beeps; in verbose mode one
// message box then says why. So a value can never be typed out of range,
// not even on its way to a valid one: with minimum 10 the "1" of "15" is
// refused. When the edit loses the focus its text is shown again in
// canonical form ("007" -> "7", "1.50" -> "1.5").
//
// Numbers are always written and read with "." as the decimal point,
// whatever the process locale. The integer edit refuses any magnitude that
// does not fit 32 bits.
//
// Text placed by other means (SetWindowText, a paste from the context menu)
// is not examined until it is read. GetValue then returns: 0 for an empty
// text, a partial entry ("+", "-", and for reals ".", "+.", "-.") or a
// malformed text; a number beyond the range clamped to the nearer bound;
// otherwise the number.
#pragma once

#include "TMXUIDefs.h"

// An edit control with a tooltip of its own (multi-line, up to 400 pixels
// wide), created on first need. The tooltip sees the mouse through
// PreTranslateMessage, so it shows in windows whose message loop
// pre-translates (the framework's modal dialogs and application loop).
class TMXUI_API TMXEdit : public CEdit {
public:
    DECLARE_DYNAMIC(TMXEdit)

    TMXEdit();
    ~TMXEdit() override;

    // Creates the tooltip (inactive) if the control has none; needs the window.
    void InitToolTip();
    // Sets the tip of the whole control (tool 1) and activates or
    // deactivates it. A null text does nothing.
    void SetTooltipText(LPCWSTR text, BOOL activate = TRUE);
    // The same with a string resource; an empty or missing string does nothing.
    void SetTooltipText(int textId, BOOL activate = TRUE);
    // Only once a tip has been set.
    void ActivateTooltip(BOOL activate = TRUE);

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    CToolTipCtrl m_ToolTip;

    // Lets the control take a keystroke, then asks `check` about the new
    // text; a fault (the result, 0 for none) undoes it: the text and the
    // selection come back, the caret is scrolled into view, the characters
    // still queued for the control are dropped, and the control beeps.
    template <class Check> int TypeChecked(UINT ch, UINT repeat, UINT flags, Check check) {
        CString before;
        GetWindowText(before);
        int start = 0, end = 0;
        GetSel(start, end);
        CEdit::OnChar(ch, repeat, flags);
        CString after;
        GetWindowText(after);
        int fault = check(after);
        if (fault) RefuseKeystroke(before, start, end);
        return fault;
    }
    void RefuseKeystroke(const CString& text, int selStart, int selEnd);

    DECLARE_MESSAGE_MAP()
};

class TMXUI_API TMXIntegerEdit : public TMXEdit {
public:
    TMXIntegerEdit();
    ~TMXIntegerEdit() override;

    void SetRange(int minimum, int maximum);
    void SetMinValue(int minimum);
    void SetMaxValue(int maximum);
    void GetRange(int& minimum, int& maximum) const;
    void SetVerbose(int verbose);
    int GetVerbose() const;

    // 0 valid (also empty or partial), 1 out of range, 2 malformed; in
    // verbose mode a fault is also shown in a message box.
    int IsValid() const;
    int GetValue() const;
    void SetValue(int value);

protected:
    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnKillFocus(CWnd* newWnd);

private:
    int Check(const CString& text) const; // IsValid without the message
    void ShowFault(int fault) const;

    mutable bool m_bShowingFault = false; // our message box has the focus
    int m_bVerbose = 0;
    int m_nMinValue = -2147483647;
    int m_nMaxValue = 2147483647;

    DECLARE_MESSAGE_MAP()
};

class TMXUI_API TMXRealEdit : public TMXEdit {
public:
    // Digits after the point are kept within 0..kMaxPrecision.
    enum { kMaxPrecision = 30 };

    TMXRealEdit();
    ~TMXRealEdit() override;

    void SetRange(double minimum, double maximum, int minInclusive = 1, int maxInclusive = 1);
    void SetMinValue(double minimum, int inclusive = 1);
    void SetMaxValue(double maximum, int inclusive = 1);
    void GetRange(double& minimum, double& maximum) const;
    void SetPrecision(int precision); // clamped to 0..kMaxPrecision
    int GetPrecision() const;
    void SetRemoveTrailingZeros(int remove);
    int GetRemoveTrailingZeros() const;
    void SetVerbose(int verbose);
    int GetVerbose() const;
    // SetValue, then each bound that is flagged.
    void Set(double value, int hasMinimum, int hasMaximum, double minimum, double maximum,
             int minInclusive, int maxInclusive);

    // 0 valid (also empty or partial), 1 out of range (an exclusive bound
    // itself is out), 2 malformed; in verbose mode a fault is also shown.
    int IsValid() const;
    double GetValue() const;
    // Fixed notation with `precision` decimals, then, if removing trailing
    // zeros, without them and without a point left last: 2.5 -> "2.5",
    // 3.0 -> "3", 1e-7 -> "0" (never "-0"). Infinities and NaN show as
    // "inf" and "nan", which read back as malformed.
    void SetValue(double value);

protected:
    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnKillFocus(CWnd* newWnd);

private:
    int Check(const CString& text) const;
    void ShowFault(int fault) const;

    mutable bool m_bShowingFault = false;
    int m_bVerbose = 0;
    double m_dMinValue = -1.7976931348623157e308;
    double m_dMaxValue = 1.7976931348623157e308;
    int m_nPrecision = 6;
    int m_bRemoveTrailingZeros = 1;
    int m_bMinInclusive = 1;
    int m_bMaxInclusive = 1;

    DECLARE_MESSAGE_MAP()
};
