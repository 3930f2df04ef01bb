// COleDateTime: a date and time as an OLE automation date (days since
// 30 December 1899, the fraction the time of day) with a status.
//
// Before that day the whole days count down while the time still counts
// forward: -1.25 is 29 December 1899, 06:00. Valid dates lie from 1 January
// 100 to 31 December 9999.
#pragma once

#include "String.h"

class FW_API COleDateTime {
public:
    enum DateTimeStatus { error = -1, valid = 0, invalid = 1, null = 2 };

    static constexpr double kMinDate = -657434.0; // 1 January 100, 00:00
    static constexpr double kMaxDate = 2958466.0; // 1 January 10000, excluded
    // A finite date in the valid range.
    static bool IsValidDate(DATE date);
    static COleDateTime GetCurrentTime(); // local time

    COleDateTime() = default; // 30 December 1899, 00:00, valid
    COleDateTime(DATE date);  // valid when the date is, else invalid
    COleDateTime(int year, int month, int day, int hour, int minute, int second);
    explicit COleDateTime(const SYSTEMTIME& time);

    DateTimeStatus GetStatus() const { return m_status; }
    void SetStatus(DateTimeStatus status) { m_status = status; }
    operator DATE() const { return m_dt; }

    // 0 when the parts form a valid date and time, which the object then
    // holds; otherwise 1 and the object is invalid.
    int SetDateTime(int year, int month, int day, int hour, int minute, int second);
    int SetDate(int year, int month, int day) { return SetDateTime(year, month, day, 0, 0, 0); }
    int SetTime(int hour, int minute, int second) {
        return SetDateTime(1899, 12, 30, hour, minute, second);
    }

    // The parts, to the nearest second; FALSE (and -1 from the getters) for
    // an object that is not valid.
    BOOL GetAsSystemTime(SYSTEMTIME& time) const;
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const; // 1 Sunday .. 7 Saturday
    int GetDayOfYear() const; // 1 .. 366

    // The system's text for the date (VarBstrFromDate with `flags`, e.g.
    // VAR_DATEVALUEONLY); empty for a null date, "Invalid DateTime" otherwise.
    CString Format(DWORD flags = 0, LCID locale = LANG_USER_DEFAULT) const;

    // Valid dates compare by their moment in time.
    bool operator==(const COleDateTime& other) const;
    bool operator!=(const COleDateTime& other) const { return !(*this == other); }
    bool operator<(const COleDateTime& other) const;
    bool operator>(const COleDateTime& other) const { return other < *this; }
    bool operator<=(const COleDateTime& other) const { return !(other < *this); }
    bool operator>=(const COleDateTime& other) const { return !(*this < other); }

    DATE m_dt = 0.0;
    DateTimeStatus m_status = valid;
};
