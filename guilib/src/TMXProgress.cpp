#include "TMXProgress.h"
#include "Contained.h"
#include "ProgressView.h"

#include <climits>
#include <cmath>

int TMXProgressPercent(double current, double minimum, double maximum) {
    double range = maximum - minimum;
    double percent =
        range == 0.0 ? (current >= maximum ? 100.0 : 0.0) : (current - minimum) / range * 100.0;
    if (std::isnan(percent)) return 0;
    // Converting a double beyond int's range is undefined: clamp first.
    if (percent >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (percent <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(percent); // truncates toward zero
}

void TMXProgressView::Position(int percent) {
    if (m_bPosShown && m_nPos == percent) return;
    m_bPosShown = TRUE;
    m_nPos = percent;
    ShowPosition(percent);
}

void TMXProgressView::PercentText(int percent) {
    if (m_bPercentTextShown && m_nPercentText == percent) return;
    ShowPercentText(percent);
    m_bPercentTextShown = TRUE;
    m_nPercentText = percent;
}

void TMXProgressView::ShowPercentText(int percent) {
    CString text;
    text.Format(L"%d %% complete", percent);
    ShowStatus(text);
}

void TMXProgressView::StatusText(const CString& text) {
    m_bPercentTextShown = FALSE;
    ShowStatus(text);
}

namespace {

int s_presentation = TMXProgress::PresentWindow;

TMXProgressView* MakeView(int presentation);

// Null when there is no memory for it: the progress is then not shown.
TMXProgressView* CreateView(int presentation) noexcept {
    return Contained(static_cast<TMXProgressView*>(nullptr), [presentation] {
        return MakeView(presentation);
    });
}

bool IsOpen(TMXProgressView* view) {
    return view && view->IsOpen();
}

TMXProgressView* MakeView(int presentation) {
    switch (presentation) {
    case TMXProgress::PresentConsole:
        return TMXCreateProgressConsoleView();
    case TMXProgress::PresentNone:
        return TMXCreateProgressHiddenView();
    default:
        return TMXCreateProgressWindowView();
    }
}

} // namespace

void TMXProgress::SetPresentation(int presentation) {
    if (presentation == PresentWindow || presentation == PresentConsole ||
        presentation == PresentNone)
        s_presentation = presentation;
}

int TMXProgress::GetPresentation() {
    return s_presentation;
}

TMXProgress::TMXProgress() : TMXProgress(L"Progress", CString(), 0.0, 100.0, nullptr) {}

TMXProgress::TMXProgress(CString title, CString status, double minimum, double maximum,
                         CWnd* parent)
    : m_pView(CreateView(s_presentation)), m_strTitle(title), m_strStatus(status), m_dMin(minimum),
      m_dMax(maximum), m_dCurrent(minimum), m_pParentWnd(parent),
      m_bStatusGiven(!status.IsEmpty()) {}

TMXProgress::~TMXProgress() {
    delete m_pView;
}

void TMXProgress::SetTitle(CString title) {
    m_strTitle = title;
    Contained([this] {
        if (IsOpen(m_pView)) m_pView->ShowTitle(m_strTitle);
    });
}

CString TMXProgress::GetTitle() {
    return m_strTitle;
}

void TMXProgress::SetStatus(CString status) {
    m_strStatus = status;
    m_bStatusGiven = !status.IsEmpty();
    Contained([this] {
        if (IsOpen(m_pView)) m_pView->StatusText(m_strStatus);
    });
}

CString TMXProgress::GetStatus() {
    return m_strStatus;
}
void TMXProgress::SetMin(double value) {
    m_dMin = value;
}
double TMXProgress::GetMin() {
    return m_dMin;
}
void TMXProgress::SetMax(double value) {
    m_dMax = value;
}
double TMXProgress::GetMax() {
    return m_dMax;
}
void TMXProgress::SetParentWnd(CWnd* parent) {
    m_pParentWnd = parent;
}
CWnd* TMXProgress::GetParentWnd() {
    return m_pParentWnd;
}

void TMXProgress::StartProgress() {
    // Template 8001 comes from this library, whichever module calls.
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    Contained([this] {
        if (IsOpen(m_pView)) m_pView->Close();
        // The presentation in force now, whatever it was when the object was made.
        if (!m_pView || m_pView->Presentation() != s_presentation) {
            delete m_pView;
            m_pView = CreateView(s_presentation);
        }
        if (!m_pParentWnd) m_pParentWnd = AfxGetMainWnd();
        if (!m_pView || !m_pView->Open(m_pParentWnd)) return;
        m_pView->Reset();
        m_pView->ShowTitle(m_strTitle);
    });
    SetStatus(m_strStatus);
    m_dCurrent = m_dMin;
    UpdateWindow();
}

void TMXProgress::SetCurrent(double value) {
    m_dCurrent = value;
    UpdateWindow();
}

void TMXProgress::StepIt(double step) {
    m_dCurrent += step;
    UpdateWindow();
}

double TMXProgress::GetCurrent() {
    return m_dCurrent;
}

void TMXProgress::EndProgress() {
    Contained([this] {
        if (IsOpen(m_pView)) m_pView->Close();
    });
}

void TMXProgress::UpdateWindow() {
    Contained([this] {
        if (!IsOpen(m_pView)) return;
        int percent = TMXProgressPercent(m_dCurrent, m_dMin, m_dMax);
        m_pView->Position(percent);
        if (!m_bStatusGiven) m_pView->PercentText(percent);
    });
}
