// TMXProgress: a small modeless window with a status line and a progress
// bar, for long work on the caller's own thread.
//
// The caller gives a range in doubles, opens the window with StartProgress,
// advances it with StepIt or SetCurrent, and closes it with EndProgress (or
// by destroying the object). The bar shows the percentage
// (current - min) / (max - min) * 100, truncated toward zero; unless a status
// text was given, the status line reads "N % complete". Percentages outside
// 0..100 are passed on as computed: the bar clamps its own position, the
// text shows the raw number.
//
// An empty range (maximum equal to minimum) counts as done once current has
// reached it: the bar is full and the line reads "100 % complete"; below it,
// 0. Not-a-number results show 0, and results beyond the int range are
// clamped to it.
//
// Updates are cheap when nothing visible changes: a call that leaves the
// integer percentage (and the status line) as they were does not touch the
// window at all, so StepIt may be called once per item for millions of items.
//
// Console programs switch the presentation (SetPresentation) to a line on
// standard error: the title, a bar, the percentage and a given status text,
// redrawn in place with a carriage return only when what it shows changes,
// and wiped when the progress ends; or to no presentation at all. Neither
// creates a window, so neither needs a window system.
//
// No message loop runs here: the window repaints when the calling thread
// next processes its messages. SetStatus, SetCurrent and StepIt before
// StartProgress or after EndProgress only store their values. Every call
// must come from the thread that called StartProgress.
#pragma once

#include "TMXUIDefs.h"

class TMXProgressView;

class TMXUI_API TMXProgress {
public:
    enum Presentation { PresentWindow = 0, PresentConsole = 1, PresentNone = 2 };
    // Process-wide; takes effect at the next StartProgress of every object.
    // Other values are ignored.
    static void SetPresentation(int presentation);
    static int GetPresentation();

    TMXProgress();
    TMXProgress(CString title, CString status, double minimum, double maximum, CWnd* parent);
    ~TMXProgress();
    TMXProgress(const TMXProgress&) = delete;
    TMXProgress& operator=(const TMXProgress&) = delete;

    void SetTitle(CString title); // the caption at once while the window is open
    CString GetTitle();
    // A non-empty status replaces the percentage on the status line; an empty
    // one hands the line back to the percentage from the next update on.
    void SetStatus(CString status);
    CString GetStatus();
    void SetMin(double value); // takes effect at the next update
    double GetMin();
    void SetMax(double value); // takes effect at the next update
    double GetMax();
    // Owner of the next window; without one the calling thread's main window
    // (if any) owns it. After StartProgress: the window actually used.
    void SetParentWnd(CWnd* parent);
    CWnd* GetParentWnd();

    // Opens the window (a window still open is closed first): caption, status,
    // and current reset to the minimum.
    void StartProgress();
    void SetCurrent(double value);
    void StepIt(double step);
    double GetCurrent();
    void EndProgress();

private:
    void UpdateWindow();

    TMXProgressView* m_pView; // the window side; created with the object, no window yet
    CString m_strTitle;
    CString m_strStatus;
    double m_dMin;
    double m_dMax;
    double m_dCurrent;
    CWnd* m_pParentWnd;
    int m_bStatusGiven;
};
