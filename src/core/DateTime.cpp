#include "core/DateTime.h"

#include "core/ConvertError.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace pelmora::core {

namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// Days from 0001-01-01 to the given date (proleptic Gregorian).
int64_t DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468; // days from 1970-01-01
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

// 1899-12-30 counted from 1970-01-01.
const int64_t DelphiEpochDays = DaysFromCivil(1899, 12, 30);

} // namespace

bool IsValidDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, month);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& result) {
    if (!IsValidDate(year, month, day))
        return false;
    result = static_cast<double>(DaysFromCivil(year, month, day) - DelphiEpochDays);
    return true;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        msec < 0 || msec > 999)
        return false;
    result = (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + msec) / MSecsPerDay;
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime r;
    if (!TryEncodeDate(year, month, day, r))
        throw ConvertError("Invalid argument to date encode");
    return r;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
    TDateTime r;
    if (!TryEncodeTime(hour, minute, second, msec, r))
        throw ConvertError("Invalid argument to time encode");
    return r;
}

TDateTime EncodeDateTime(const DateParts& p) {
    const TDateTime date = EncodeDate(p.Year, p.Month, p.Day);
    const TDateTime time = EncodeTime(p.Hour, p.Minute, p.Second, p.MSec);
    // Before the epoch the fraction counts away from zero, as in an OLE date.
    return date >= 0 ? date + time : date - time;
}

DateParts DecodeDateTime(TDateTime value) {
    DateParts p;
    // Whole milliseconds, rounded, so that 0.5 ms of floating error never shows.
    double days = std::trunc(value);
    double frac = std::fabs(value - days);
    int64_t ms = static_cast<int64_t>(std::llround(frac * MSecsPerDay));
    if (ms >= static_cast<int64_t>(MSecsPerDay)) {
        ms -= static_cast<int64_t>(MSecsPerDay);
        days += value >= 0 ? 1 : -1;
    }
    CivilFromDays(static_cast<int64_t>(days) + DelphiEpochDays, p.Year, p.Month, p.Day);
    p.MSec = static_cast<int>(ms % 1000);
    ms /= 1000;
    p.Second = static_cast<int>(ms % 60);
    ms /= 60;
    p.Minute = static_cast<int>(ms % 60);
    p.Hour = static_cast<int>(ms / 60);
    return p;
}

TDateTime Now() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    const int ms = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    return EncodeDateTime({tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                           tm.tm_sec, ms < 0 ? 0 : ms});
}

int LocalUtcOffsetMinutes() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return static_cast<int>(tm.tm_gmtoff / 60);
}

} // namespace pelmora::core
