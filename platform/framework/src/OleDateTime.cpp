// OLE automation dates, computed here rather than through the system's
// conversions, so that every valid date and second round-trips exactly.
#include "Internal.h"

#include <cmath>
#include <oleauto.h>

namespace {

// Days from 1 January 1970 of a civil date (proleptic Gregorian).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

const long long kEpochDays = DaysFromCivil(1899, 12, 30);

// The moment as days since 30 December 1899, 00:00: linear, unlike DATE,
// whose time of day runs forward from the start of a negative day too.
double Linear(DATE date) {
    const double days = std::trunc(date);
    return days + std::fabs(date - days);
}

} // namespace

bool COleDateTime::IsValidDate(DATE date) {
    return std::isfinite(date) && date >= kMinDate && date < kMaxDate;
}

COleDateTime COleDateTime::GetCurrentTime() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return COleDateTime(now);
}

COleDateTime::COleDateTime(DATE date) : m_dt(date), m_status(IsValidDate(date) ? valid : invalid) {}

COleDateTime::COleDateTime(int year, int month, int day, int hour, int minute, int second) {
    SetDateTime(year, month, day, hour, minute, second);
}

COleDateTime::COleDateTime(const SYSTEMTIME& time) {
    SetDateTime(time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond);
}

int COleDateTime::SetDateTime(int year, int month, int day, int hour, int minute, int second) {
    static const int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool ok = year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
                    day <= kMonthDays[month - 1] + (month == 2 && IsLeap(year)) && hour >= 0 &&
                    hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
    if (!ok) {
        m_dt = 0.0;
        m_status = invalid;
        return 1;
    }
    const double days = static_cast<double>(DaysFromCivil(year, month, day) - kEpochDays);
    const double time = (hour * 3600 + minute * 60 + second) / 86400.0;
    m_dt = days >= 0 ? days + time : days - time;
    m_status = valid;
    return 0;
}

BOOL COleDateTime::GetAsSystemTime(SYSTEMTIME& time) const {
    if (m_status != valid || !IsValidDate(m_dt)) return FALSE;
    double days = std::trunc(m_dt);
    long long seconds = std::llround(std::fabs(m_dt - days) * 86400.0);
    if (seconds >= 86400) { // rounded up into the next day
        seconds -= 86400;
        days += 1;
    }
    const long long day = static_cast<long long>(days) + kEpochDays;
    int y, m, d;
    CivilFromDays(day, y, m, d);
    if (y > 9999) return FALSE;
    time = SYSTEMTIME{};
    time.wYear = static_cast<WORD>(y);
    time.wMonth = static_cast<WORD>(m);
    time.wDay = static_cast<WORD>(d);
    time.wHour = static_cast<WORD>(seconds / 3600);
    time.wMinute = static_cast<WORD>(seconds / 60 % 60);
    time.wSecond = static_cast<WORD>(seconds % 60);
    // 1 January 1970 was a Thursday.
    time.wDayOfWeek = static_cast<WORD>(((day % 7) + 7 + 4) % 7);
    return TRUE;
}

int COleDateTime::GetYear() const {
    SYSTEMTIME t;
    return GetAsSystemTime(t) ? t.wYear : -1;
}
int COleDateTime::GetMonth() const {
    SYSTEMTIME t;
    return GetAsSystemTime(t) ? t.wMonth : -1;
}
int COleDateTime::GetDay() const {
    SYSTEMTIME t;
    return GetAsSystemTime(t) ? t.wDay : -1;
}
int COleDateTime::GetHour() const {
    SYSTEMTIME t;
    return GetAsSystemTime(t) ? t.wHour : -1;
}
int COleDateTime::GetMinute() const {
    SYSTEMTIME t;
    return GetAsSystemTime(t) ? t.wMinute : -1;
}
int COleDateTime::GetSecond() const {
    SYSTEMTIME t;
    return GetAsSystemTime(t) ? t.wSecond : -1;
}
int COleDateTime::GetDayOfWeek() const {
    SYSTEMTIME t;
    return GetAsSystemTime(t) ? t.wDayOfWeek + 1 : -1;
}
int COleDateTime::GetDayOfYear() const {
    SYSTEMTIME t;
    if (!GetAsSystemTime(t)) return -1;
    return static_cast<int>(DaysFromCivil(t.wYear, t.wMonth, t.wDay) -
                            DaysFromCivil(t.wYear, 1, 1)) +
           1;
}

CString COleDateTime::Format(DWORD flags, LCID locale) const {
    if (m_status == null) return CString();
    if (m_status != valid || !IsValidDate(m_dt)) return CString(L"Invalid DateTime");
    BSTR text = nullptr;
    if (FAILED(VarBstrFromDate(m_dt, locale, flags, &text))) return CString(L"Invalid DateTime");
    CString result(text);
    SysFreeString(text);
    return result;
}

bool COleDateTime::operator==(const COleDateTime& other) const {
    return m_status == other.m_status && Linear(m_dt) == Linear(other.m_dt);
}

bool COleDateTime::operator<(const COleDateTime& other) const {
    return Linear(m_dt) < Linear(other.m_dt);
}
