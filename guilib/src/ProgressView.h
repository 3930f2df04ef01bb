// The presentation side of TMXProgress. The object computes what to show
// (percentage, status line); a view shows it. Views skip every change that
// would leave their display as it is, so a caller may update per item.
#pragma once

#include <framework.h>

// Whole percent of `current` in [minimum, maximum], truncated toward zero;
// see TMXProgress.h for empty ranges and non-finite values.
int TMXProgressPercent(double current, double minimum, double maximum);

class TMXProgressView {
public:
    virtual ~TMXProgressView() = default;

    // TMXProgress::PresentWindow, PresentConsole or PresentNone.
    virtual int Presentation() const = 0;
    virtual BOOL Open(CWnd* parent) = 0;
    virtual void Close() = 0;
    virtual BOOL IsOpen() const = 0;
    virtual void ShowTitle(const CString& title) = 0;

    // Entry points used by TMXProgress; each reaches the display only on a change.
    void Reset() { m_bPosShown = m_bPercentTextShown = FALSE; }
    void Position(int percent);
    void PercentText(int percent); // "N % complete"
    void StatusText(const CString& text);

protected:
    virtual void ShowPosition(int percent) = 0;
    virtual void ShowStatus(const CString& text) = 0;
    // The status line hands over to the percentage; a window writes it out.
    virtual void ShowPercentText(int percent);

private:
    BOOL m_bPosShown = FALSE;
    int m_nPos = 0;
    BOOL m_bPercentTextShown = FALSE; // the status line shows m_nPercentText as "N % complete"
    int m_nPercentText = 0;
};

// The dialog-window view (template 8001 of the library).
TMXProgressView* TMXCreateProgressWindowView();
// One line on standard error, redrawn in place (console programs).
TMXProgressView* TMXCreateProgressConsoleView();
// Shows nothing.
TMXProgressView* TMXCreateProgressHiddenView();
