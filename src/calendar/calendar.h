#pragma once
// Moments as Julian century values: (JD - 2415020) / 36525, a double. 0.0 is
// noon of 31 December 1899 and 1.0 is noon of 1 January 2000. Dates before the
// reform of October 1582 are Julian, later ones Gregorian:
// CalendarToCenturies(2000, 1, 1, 12) is 1.0.

#include <cstdint>

#include "text/short_text.h"

namespace varn {

// One day as a difference of Julian century values: the double nearest
// 2.737850787e-05, a little less than 1/36525.
inline constexpr double OneDayInCenturies = 2.737850787e-05;

// The Julian century value of a date and time of day. Year -1 is the year
// before year 1 (and year 0 is taken as -1); no input is rejected: a day 0 or
// hours of 24 simply move along the day count. Intermediates in long double,
// the result rounded to double.
double CalendarToCenturies(std::int32_t year, std::int32_t month, std::int32_t day, double hours);

// The calendar date of a moment, its decimal hours and the same hours packed
// as H.MMSS. NoValue gives 1/1/1 and zero hours. Astronomical year 0 comes out
// as 0, earlier years as -2, -3 and so on.
void CenturiesToCalendar(double moment, std::int32_t& year, std::int32_t& month, std::int32_t& day,
                         double& hours, double& hms);

// Maps x from [range_low, range_high] onto [low, high]:
// low + round((x - range_low) * (high - low) / (range_high - range_low)), ties
// to even, no clamping. low where the division fails or the result overflows.
std::int32_t ScaleToRange(std::int32_t low, std::int32_t high, double range_low, double range_high,
                          long double x);

// The whole-day count of a calendar date: the Julian day number of noon of
// that date, in exact integer arithmetic, Julian before 15 October 1582 and
// Gregorian from then on. Consecutive dates give consecutive numbers, also
// across the reform (4 October 1582 is 2299160, 15 October 2299161).
// DayNumber(2000, 1, 1) is 2451545.
std::int64_t DayNumber(std::int32_t year, std::int32_t month, std::int32_t day);

// The whole-day count that CalendarToCenturies(year, month, day, hours) uses:
// its Julian day is DayNumberAt(...) - 0.5 + hours / 24. Equal to DayNumber
// for every date of the calendar and hours from 0 to below 24 but one:
// 15 October 1582 at exactly 0 hours is still counted as a Julian date, ten
// days on (2299171 instead of 2299161).
std::int64_t DayNumberAt(std::int32_t year, std::int32_t month, std::int32_t day, double hours);

// The calendar date of the day that z counts: z is the whole part of a Julian
// day moved on by half a day, so that it changes at midnight (Trunc(JD + 0.5)).
// Julian before day 2299161, Gregorian from it on; the year written as
// CenturiesToCalendar writes it. This is the whole-day step of
// CenturiesToCalendar: for z of 0 and above its date is the date of every
// moment within day z. DateOfDay(2451545) is 1 January 2000.
void DateOfDay(std::int64_t z, std::int32_t& year, std::int32_t& month, std::int32_t& day);

}  // namespace varn
