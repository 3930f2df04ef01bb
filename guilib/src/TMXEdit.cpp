// The tooltip edit and the two number edits.
#include "TMXEdit.h"

#include "Contained.h"
#include "NumberText.h"

#include <algorithm>
#include <cmath>

// ---- TMXEdit

IMPLEMENT_DYNAMIC(TMXEdit, CEdit)

BEGIN_MESSAGE_MAP(TMXEdit, CEdit)
END_MESSAGE_MAP()

TMXEdit::TMXEdit() = default;
TMXEdit::~TMXEdit() = default;

void TMXEdit::InitToolTip() {
    if (m_ToolTip.m_hWnd || !m_hWnd) return;
    if (!m_ToolTip.Create(this)) return;
    m_ToolTip.Activate(FALSE);
    m_ToolTip.SetMaxTipWidth(400);
}

void TMXEdit::SetTooltipText(LPCWSTR text, BOOL activate) {
    if (!text) return;
    InitToolTip();
    if (!m_ToolTip.m_hWnd) return;
    if (m_ToolTip.GetToolCount() == 0) {
        CRect area;
        GetClientRect(&area);
        m_ToolTip.AddTool(this, text, &area, 1);
    }
    m_ToolTip.UpdateTipText(text, this, 1);
    m_ToolTip.Activate(activate);
}

void TMXEdit::SetTooltipText(int textId, BOOL activate) {
    CString text;
    if (text.LoadString(static_cast<UINT>(textId)) && !text.IsEmpty())
        SetTooltipText(text.GetString(), activate);
}

void TMXEdit::ActivateTooltip(BOOL activate) {
    if (m_ToolTip.m_hWnd && m_ToolTip.GetToolCount() > 0) m_ToolTip.Activate(activate);
}

BOOL TMXEdit::PreTranslateMessage(MSG* msg) {
    InitToolTip();
    if (m_ToolTip.m_hWnd) m_ToolTip.RelayEvent(msg);
    return CEdit::PreTranslateMessage(msg);
}

void TMXEdit::RefuseKeystroke(const CString& text, int selStart, int selEnd) {
    SetWindowText(text);
    SetSel(selStart, selEnd); // and scroll the caret into view
    MSG queued;
    while (::PeekMessageW(&queued, m_hWnd, WM_CHAR, WM_CHAR, PM_REMOVE)) {
    }
    ::MessageBeep(MB_ICONEXCLAMATION);
}

namespace {

// One box per fault, owned by the dialog (or window) the edit is in.
void ShowMessage(const CWnd& edit, const CString& text) {
    if (CWnd* top = edit.GetTopLevelParent())
        top->MessageBox(text, nullptr, MB_OK | MB_ICONEXCLAMATION);
}

// Texts the number edits let through without reading them as numbers.
bool IsPartial(const CString& text, bool real) {
    return text == L"+" || text == L"-" ||
           (real && (text == L"." || text == L"+." || text == L"-."));
}

} // namespace

// ---- TMXIntegerEdit

BEGIN_MESSAGE_MAP(TMXIntegerEdit, TMXEdit)
ON_WM_CHAR()
ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

TMXIntegerEdit::TMXIntegerEdit() = default;
TMXIntegerEdit::~TMXIntegerEdit() = default;

void TMXIntegerEdit::SetRange(int minimum, int maximum) {
    m_nMinValue = minimum;
    m_nMaxValue = maximum;
}
void TMXIntegerEdit::SetMinValue(int minimum) {
    m_nMinValue = minimum;
}
void TMXIntegerEdit::SetMaxValue(int maximum) {
    m_nMaxValue = maximum;
}
void TMXIntegerEdit::GetRange(int& minimum, int& maximum) const {
    minimum = m_nMinValue;
    maximum = m_nMaxValue;
}
void TMXIntegerEdit::SetVerbose(int verbose) {
    m_bVerbose = verbose;
}
int TMXIntegerEdit::GetVerbose() const {
    return m_bVerbose;
}

int TMXIntegerEdit::Check(const CString& text) const {
    return Contained(2, [&]() -> int {
        const int length = text.GetLength();
        if (length == 0) return 0;
        for (int i = 0; i < length; ++i) {
            wchar_t c = text[i];
            if (c == L'+' || c == L'-') {
                if (i != 0 || (c == L'-' && m_nMinValue >= 0)) return 2;
            } else if (c < L'0' || c > L'9') {
                return 2;
            }
        }
        if (IsPartial(text, false)) return 0;
        long long value = 0;
        tmxnumber::ReadResult read = tmxnumber::ReadInteger(text.GetString(), value);
        if (read == tmxnumber::ReadResult::Malformed) return 2;
        // Anything beyond 32 bits is out of range whatever the bounds.
        if (read == tmxnumber::ReadResult::TooLarge || value < INT32_MIN || value > INT32_MAX) return 1;
        return value < m_nMinValue || value > m_nMaxValue ? 1 : 0;
    });
}

void TMXIntegerEdit::ShowFault(int fault) const {
    if (!m_bVerbose || !fault) return;
    CString text;
    if (fault & 2)
        text = L"Invalid key pressed.";
    else
        text.Format(L"Value must lie between %d and %d.", m_nMinValue, m_nMaxValue);
    m_bShowingFault = true;
    ShowMessage(*this, text);
    m_bShowingFault = false;
}

int TMXIntegerEdit::IsValid() const {
    CString text;
    GetWindowText(text);
    int fault = Check(text);
    ShowFault(fault);
    return fault;
}

int TMXIntegerEdit::GetValue() const {
    return Contained(0, [&]() -> int {
        CString text;
        GetWindowText(text);
        int fault = Check(text);
        ShowFault(fault);
        if (text.IsEmpty() || IsPartial(text, false) || (fault & 2)) return 0;
        long long value = 0;
        if (tmxnumber::ReadInteger(text.GetString(), value) == tmxnumber::ReadResult::Malformed) return 0;
        return static_cast<int>(std::clamp<long long>(value, m_nMinValue, std::max(m_nMinValue, m_nMaxValue)));
    });
}

void TMXIntegerEdit::SetValue(int value) {
    CString text;
    text.Format(L"%d", value);
    SetWindowText(text);
}

void TMXIntegerEdit::OnChar(UINT ch, UINT repeat, UINT flags) {
    ShowFault(TypeChecked(ch, repeat, flags, [this](const CString& text) { return Check(text); }));
}

void TMXIntegerEdit::OnKillFocus(CWnd* newWnd) {
    // The focus going to our own message box is not the user leaving.
    if (!m_bShowingFault) SetValue(GetValue());
    TMXEdit::OnKillFocus(newWnd);
}

// ---- TMXRealEdit

BEGIN_MESSAGE_MAP(TMXRealEdit, TMXEdit)
ON_WM_CHAR()
ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

TMXRealEdit::TMXRealEdit() = default;
TMXRealEdit::~TMXRealEdit() = default;

void TMXRealEdit::SetRange(double minimum, double maximum, int minInclusive, int maxInclusive) {
    m_dMinValue = minimum;
    m_dMaxValue = maximum;
    m_bMinInclusive = minInclusive;
    m_bMaxInclusive = maxInclusive;
}
void TMXRealEdit::SetMinValue(double minimum, int inclusive) {
    m_dMinValue = minimum;
    m_bMinInclusive = inclusive;
}
void TMXRealEdit::SetMaxValue(double maximum, int inclusive) {
    m_dMaxValue = maximum;
    m_bMaxInclusive = inclusive;
}
void TMXRealEdit::GetRange(double& minimum, double& maximum) const {
    minimum = m_dMinValue;
    maximum = m_dMaxValue;
}
void TMXRealEdit::SetPrecision(int precision) {
    m_nPrecision = std::clamp(precision, 0, static_cast<int>(kMaxPrecision));
}
int TMXRealEdit::GetPrecision() const {
    return m_nPrecision;
}
void TMXRealEdit::SetRemoveTrailingZeros(int remove) {
    m_bRemoveTrailingZeros = remove;
}
int TMXRealEdit::GetRemoveTrailingZeros() const {
    return m_bRemoveTrailingZeros;
}
void TMXRealEdit::SetVerbose(int verbose) {
    m_bVerbose = verbose;
}
int TMXRealEdit::GetVerbose() const {
    return m_bVerbose;
}

void TMXRealEdit::Set(double value, int hasMinimum, int hasMaximum, double minimum, double maximum,
                      int minInclusive, int maxInclusive) {
    SetValue(value);
    if (hasMinimum) SetMinValue(minimum, minInclusive);
    if (hasMaximum) SetMaxValue(maximum, maxInclusive);
}

int TMXRealEdit::Check(const CString& text) const {
    return Contained(2, [&]() -> int {
        const int length = text.GetLength();
        if (length == 0) return 0;
        const int point = text.Find(L'.');
        bool seenPoint = false;
        for (int i = 0; i < length; ++i) {
            wchar_t c = text[i];
            if (c == L'+' || c == L'-') {
                if (i != 0 || (c == L'-' && m_dMinValue >= 0)) return 2;
            } else if (c == L'.') {
                if (seenPoint) return 2;
                seenPoint = true;
            } else if (c < L'0' || c > L'9') {
                return 2;
            } else if (point >= 0 && length - 1 - point > m_nPrecision) {
                // Counted, not added, so no precision can overflow.
                return 2;
            }
        }
        if (IsPartial(text, true)) return 0;
        double value = 0;
        tmxnumber::ReadResult read = tmxnumber::ReadReal(text.GetString(), value);
        if (read == tmxnumber::ReadResult::Malformed) return 2;
        if (read == tmxnumber::ReadResult::TooLarge) return 1;
        if (value < m_dMinValue || value > m_dMaxValue) return 1;
        if ((!m_bMinInclusive && value == m_dMinValue) || (!m_bMaxInclusive && value == m_dMaxValue))
            return 1;
        return 0;
    });
}

void TMXRealEdit::ShowFault(int fault) const {
    if (!m_bVerbose || !fault) return;
    CString text;
    if (fault & 2)
        text = L"Invalid key pressed.";
    else
        text.Format(L"Value must lie between %f and %f.", m_dMinValue, m_dMaxValue);
    m_bShowingFault = true;
    ShowMessage(*this, text);
    m_bShowingFault = false;
}

int TMXRealEdit::IsValid() const {
    CString text;
    GetWindowText(text);
    int fault = Check(text);
    ShowFault(fault);
    return fault;
}

double TMXRealEdit::GetValue() const {
    return Contained(0.0, [&]() -> double {
        CString text;
        GetWindowText(text);
        int fault = Check(text);
        ShowFault(fault);
        if (text.IsEmpty() || IsPartial(text, true) || (fault & 2)) return 0;
        double value = 0;
        if (tmxnumber::ReadReal(text.GetString(), value) == tmxnumber::ReadResult::Malformed) return 0;
        if (value < m_dMinValue) return m_dMinValue;
        if (value > m_dMaxValue) return std::max(m_dMinValue, m_dMaxValue);
        return value;
    });
}

void TMXRealEdit::SetValue(double value) {
    Contained([&] {
        SetWindowText(tmxnumber::FormatFixed(value, m_nPrecision, m_bRemoveTrailingZeros != 0).c_str());
    });
}

void TMXRealEdit::OnChar(UINT ch, UINT repeat, UINT flags) {
    ShowFault(TypeChecked(ch, repeat, flags, [this](const CString& text) { return Check(text); }));
}

void TMXRealEdit::OnKillFocus(CWnd* newWnd) {
    // The focus going to our own message box is not the user leaving.
    if (!m_bShowingFault) SetValue(GetValue());
    TMXEdit::OnKillFocus(newWnd);
}
