// Dialog data exchange between member variables and controls.
#include "Internal.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cwchar>
#include <cwctype>
#include <limits>

CDataExchange::CDataExchange(CWnd* dlgWnd, BOOL saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dlgWnd) {}

HWND CDataExchange::PrepareCtrl(int id) {
    HWND control = ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
    m_idLastControl = control;
    m_bEditLastControl = FALSE;
    // A control the template lacks is the caller's mistake; the exchange fails.
    if (!control) m_bFailed = TRUE;
    return control;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
    HWND control = PrepareCtrl(id);
    m_bEditLastControl = TRUE;
    return control;
}

void CDataExchange::Fail() {
    if (m_idLastControl && !m_bFailed) {
        ::SetFocus(m_idLastControl);
        if (m_bEditLastControl) ::SendMessageW(m_idLastControl, EM_SETSEL, 0, -1);
    }
    m_bFailed = TRUE;
}

static CString ControlText(HWND control) {
    CString text;
    CWnd::FromHandle(control)->GetWindowText(text);
    return text;
}

static bool IsBlank(const wchar_t* p) {
    while (*p && iswspace(*p))
        ++p;
    return *p == 0;
}

// Whole text as a signed integer within [lo, hi].
static bool ParseSigned(const CString& text, long long lo, long long hi, long long& out) {
    const wchar_t* s = text;
    wchar_t* end = nullptr;
    errno = 0;
    long long v = wcstoll(s, &end, 10);
    if (end == s || errno == ERANGE || !IsBlank(end) || v < lo || v > hi) return false;
    out = v;
    return true;
}

// Whole text as an unsigned integer up to hi; a minus sign is refused.
static bool ParseUnsigned(const CString& text, unsigned long long hi, unsigned long long& out) {
    const wchar_t* s = text;
    while (*s && iswspace(*s))
        ++s;
    if (*s == L'-') return false;
    wchar_t* end = nullptr;
    errno = 0;
    unsigned long long v = wcstoull(s, &end, 10);
    if (end == s || errno == ERANGE || !IsBlank(end) || v > hi) return false;
    out = v;
    return true;
}

static bool ParseReal(const CString& text, double limit, double& out) {
    const wchar_t* s = text;
    wchar_t* end = nullptr;
    errno = 0;
    double v = wcstod(s, &end);
    if (end == s || !IsBlank(end) || !std::isfinite(v) || std::fabs(v) > limit) return false;
    out = v;
    return true;
}

static void FailWith(CDataExchange* dx, LPCWSTR message) {
    AfxMessageBox(message, MB_ICONEXCLAMATION);
    dx->Fail();
}

void AFXAPI DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (dx->HasFailed() || control.m_hWnd) return;
    HWND hwnd = dx->PrepareCtrl(id);
    if (hwnd && !control.SubclassWindow(hwnd)) dx->Fail();
}

void AFXAPI DDX_Text(CDataExchange* dx, int id, CString& value) {
    if (dx->HasFailed()) return;
    HWND control = dx->PrepareEditCtrl(id);
    if (!control) return;
    if (dx->m_bSaveAndValidate)
        value = ControlText(control);
    else
        ::SetWindowTextW(control, value);
}

template <typename T> static void TextSigned(CDataExchange* dx, int id, T& value) {
    if (dx->HasFailed()) return;
    HWND control = dx->PrepareEditCtrl(id);
    if (!control) return;
    if (dx->m_bSaveAndValidate) {
        long long v;
        if (!ParseSigned(ControlText(control), std::numeric_limits<T>::min(),
                         std::numeric_limits<T>::max(), v))
            return FailWith(dx, L"Please enter an integer.");
        value = static_cast<T>(v);
    } else {
        CString text;
        text.Format(L"%lld", static_cast<long long>(value));
        ::SetWindowTextW(control, text);
    }
}

template <typename T> static void TextUnsigned(CDataExchange* dx, int id, T& value) {
    if (dx->HasFailed()) return;
    HWND control = dx->PrepareEditCtrl(id);
    if (!control) return;
    if (dx->m_bSaveAndValidate) {
        unsigned long long v;
        if (!ParseUnsigned(ControlText(control), std::numeric_limits<T>::max(), v))
            return FailWith(dx, L"Please enter a positive integer.");
        value = static_cast<T>(v);
    } else {
        CString text;
        text.Format(L"%llu", static_cast<unsigned long long>(value));
        ::SetWindowTextW(control, text);
    }
}

void AFXAPI DDX_Text(CDataExchange* dx, int id, int& value) {
    TextSigned(dx, id, value);
}
void AFXAPI DDX_Text(CDataExchange* dx, int id, long& value) {
    TextSigned(dx, id, value);
}
void AFXAPI DDX_Text(CDataExchange* dx, int id, UINT& value) {
    TextUnsigned(dx, id, value);
}
void AFXAPI DDX_Text(CDataExchange* dx, int id, DWORD& value) {
    TextUnsigned(dx, id, value);
}

// Reals are shown with the type's full decimal precision, so that a value
// shown and read back is the value shown.
void AFXAPI DDX_Text(CDataExchange* dx, int id, double& value) {
    if (dx->HasFailed()) return;
    HWND control = dx->PrepareEditCtrl(id);
    if (!control) return;
    if (dx->m_bSaveAndValidate) {
        double v;
        if (!ParseReal(ControlText(control), DBL_MAX, v))
            return FailWith(dx, L"Please enter a number.");
        value = v;
    } else {
        CString text;
        text.Format(L"%.*g", DBL_DIG, value);
        ::SetWindowTextW(control, text);
    }
}

void AFXAPI DDX_Text(CDataExchange* dx, int id, float& value) {
    if (dx->HasFailed()) return;
    HWND control = dx->PrepareEditCtrl(id);
    if (!control) return;
    if (dx->m_bSaveAndValidate) {
        double v;
        if (!ParseReal(ControlText(control), FLT_MAX, v))
            return FailWith(dx, L"Please enter a number.");
        value = static_cast<float>(v);
    } else {
        CString text;
        text.Format(L"%.*g", FLT_DIG, static_cast<double>(value));
        ::SetWindowTextW(control, text);
    }
}

void AFXAPI DDX_Check(CDataExchange* dx, int id, int& value) {
    if (dx->HasFailed()) return;
    HWND control = dx->PrepareCtrl(id);
    if (!control) return;
    if (dx->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageW(control, BM_GETCHECK, 0, 0));
    else
        ::SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

static bool IsRadioButton(HWND control) {
    DWORD type = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE)) & BS_TYPEMASK;
    return (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) &&
           (::SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON);
}

void AFXAPI DDX_Radio(CDataExchange* dx, int id, int& value) {
    if (dx->HasFailed()) return;
    HWND control = dx->PrepareCtrl(id);
    if (!control) return;
    if (dx->m_bSaveAndValidate) value = -1;
    int index = 0;
    for (HWND h = control; h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (h != control && (GetWindowLongPtrW(h, GWL_STYLE) & WS_GROUP)) break;
        if (!IsRadioButton(h)) continue;
        if (dx->m_bSaveAndValidate) {
            if (::SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
        } else {
            ::SendMessageW(h, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++index;
    }
}

void AFXAPI DDX_CBIndex(CDataExchange* dx, int id, int& value) {
    if (dx->HasFailed()) return;
    HWND control = dx->PrepareCtrl(id);
    if (!control) return;
    if (dx->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageW(control, CB_GETCURSEL, 0, 0));
    else
        ::SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(value), 0);
}
