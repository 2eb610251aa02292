#pragma once
// Date-time values as the program carries them: a day count from 1899-12-30
// with the time of day as the fraction, as an OLE date does.

#include <cstdint>

namespace pelmora::core {

using TDateTime = double;

// Milliseconds in one day.
constexpr double MSecsPerDay = 86400000.0;

struct DateParts {
    int Year = 0, Month = 0, Day = 0;
    int Hour = 0, Minute = 0, Second = 0, MSec = 0;
};

bool IsValidDate(int year, int month, int day);
bool TryEncodeDate(int year, int month, int day, TDateTime& result);
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result);
// Raise ConvertError when a field is out of range.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
TDateTime EncodeDateTime(const DateParts& parts);
DateParts DecodeDateTime(TDateTime value);

// Local wall-clock time now, to the millisecond.
TDateTime Now();
// The local offset from universal time now in force, in minutes, positive east of UTC.
int LocalUtcOffsetMinutes();

} // namespace pelmora::core
