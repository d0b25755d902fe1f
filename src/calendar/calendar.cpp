#include "calendar/calendar.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "text/text_helpers.h"

namespace varn {
namespace {

using Real = long double;

// The Julian day 2415020.0 is the zero of the century scale.
constexpr Real CenturyZeroDay = 2415020.0L;
constexpr Real DaysPerCentury = 36525.0L;

// First day number of the Gregorian count when reading a day number back.
constexpr std::int64_t FirstGregorianDay = 2299161;

// Beyond this many centuries either way the year no longer fits 32 bits; such
// moments read as no moment at all.
constexpr Real LargestMoment = 2.0e7L;

// Cuts toward zero to a 64-bit integer (Trunc). Callers keep x well inside
// the 64-bit range.
std::int64_t Trunc(Real x) { return TruncToInt64(x); }

// The test value that tells Julian from Gregorian dates: year, then month
// and day as decimals behind the point (15 October 1582 at 0 hours gives
// 1582.1015). Dates strictly after that value are Gregorian.
bool IsGregorian(std::int64_t y_shifted, std::int32_t month, std::int32_t day, double hours) {
    const Real test = static_cast<Real>(month) * 0.01L +
                      (static_cast<Real>(day) + static_cast<Real>(hours) / 24.0L) * 0.0001L +
                      static_cast<Real>(y_shifted);
    return test > 1582.1015L;
}

// The parts of the day count that depend only on the date: the year days
// (A), the month days (B) and the Gregorian correction, for the calendar
// year y and month m counted from March (m is 3 to 14).
struct DayCountParts {
    std::int64_t year_days = 0;   // Trunc(365.25 * y), one less for y < 0
    std::int64_t month_days = 0;  // Trunc(30.6001 * (m + 1)), 122 to 459 for m 3 to 14
    std::int64_t correction = 0;  // 2 - a + Trunc(a / 4) for Gregorian dates, else 0
};

DayCountParts CountDays(std::int32_t year, std::int32_t month, std::int32_t day, double hours) {
    // Year -1 and year 0 both name the year before year 1.
    const std::int64_t y_shifted = year < 0 ? std::int64_t{year} + 1 : std::int64_t{year};
    std::int64_t y = y_shifted;
    std::int64_t m = month;
    if (month <= 2) {
        y = y_shifted - 1;
        m = std::int64_t{month} + 12;
    }
    DayCountParts parts;
    // 365.25 * y is exact in integers as 1461 * y / 4; for y < 0 the extra
    // 0.75 makes the cut toward zero a floor.
    parts.year_days = y < 0 ? (1461 * y - 3) / 4 : (1461 * y) / 4;
    parts.month_days = Trunc(30.6001L * static_cast<Real>(m + 1));
    if (IsGregorian(y_shifted, month, day, hours)) {
        const std::int64_t a = y / 100;
        parts.correction = 2 - a + a / 4;
    }
    return parts;
}

}  // namespace

double CalendarToCenturies(std::int32_t year, std::int32_t month, std::int32_t day, double hours) {
    const DayCountParts parts = CountDays(year, month, day, hours);
    Real jd = static_cast<Real>(parts.year_days + parts.month_days) +
              (static_cast<Real>(day) + static_cast<Real>(hours) / 24.0L) + 1720994.5L;
    jd += static_cast<Real>(parts.correction);
    return static_cast<double>((jd - CenturyZeroDay) / DaysPerCentury);
}

std::int64_t DayNumberAt(std::int32_t year, std::int32_t month, std::int32_t day, double hours) {
    const DayCountParts parts = CountDays(year, month, day, hours);
    // CalendarToCenturies adds 1720994.5 to this sum of whole days; noon of
    // the date is the next whole number.
    return parts.year_days + parts.month_days + std::int64_t{day} + 1720995 + parts.correction;
}

std::int64_t DayNumber(std::int32_t year, std::int32_t month, std::int32_t day) {
    // At noon every date from 15 October 1582 on tests as Gregorian.
    return DayNumberAt(year, month, day, 12.0);
}

void CenturiesToCalendar(double moment, std::int32_t& year, std::int32_t& month, std::int32_t& day,
                         double& hours, double& hms) {
    year = 1;
    month = 1;
    day = 1;
    hours = 0.0;
    hms = 0.0;
    if (moment == NoValue || !std::isfinite(moment) ||
        std::fabs(static_cast<Real>(moment)) > LargestMoment) {
        return;
    }
    // Julian day of the moment, moved by half a day so that days start at
    // midnight.
    const Real jd = static_cast<Real>(moment) * DaysPerCentury + CenturyZeroDay + 0.5L;
    const std::int64_t z = Trunc(jd);
    const Real fraction = jd - static_cast<Real>(z);  // sign of jd
    std::int32_t whole_days = 0;
    DateOfDay(z, year, month, whole_days);
    const Real day_with_fraction = static_cast<Real>(whole_days) + fraction;
    const std::int64_t whole = Trunc(day_with_fraction);
    day = static_cast<std::int32_t>(whole);
    hours = static_cast<double>((day_with_fraction - static_cast<Real>(whole)) * 24.0L);
    hms = static_cast<double>(HoursToHms(hours));
}

void DateOfDay(std::int64_t z, std::int32_t& year, std::int32_t& month, std::int32_t& day) {
    // The steps below are Trunc((z - 1867216.25) / 36524.25),
    // Trunc((b - 122.1) / 365.25), Trunc(365.25 * c), Trunc((b - d) / 30.6001)
    // and Trunc(30.6001 * e) in long double. Each is taken as the exact
    // rational in 64-bit integers, cut toward zero like Trunc: the exact
    // quotients are either whole (and then exact in long double as well) or
    // at least 1/306001 away from a whole number, far more than the rounding
    // of the long double steps, so both cut to the same integer. The
    // constants 122.1 and 30.6001 have no exact binary value; no whole
    // quotient arises with them (20 * b - 2442 is never a multiple of 5, and
    // b - d stays within 1 to 488 in size, e within 16).
    std::int64_t a = z;
    if (z >= FirstGregorianDay) {
        const std::int64_t alpha = (4 * z - 7468865) / 146097;
        a = z + 1 + alpha - alpha / 4;
    }
    const std::int64_t b = a + 1524;
    const std::int64_t c = (20 * b - 2442) / 7305;
    const std::int64_t d = 1461 * c / 4;
    const std::int64_t e = 10000 * (b - d) / 306001;
    const std::int64_t month_number = e < 14 ? e - 1 : e - 13;  // E < 13.5
    std::int64_t year_number = month_number > 2 ? c - 4716 : c - 4715;
    if (year_number < 0) --year_number;  // astronomical -1 is written -2
    year = static_cast<std::int32_t>(year_number);
    month = static_cast<std::int32_t>(month_number);
    day = static_cast<std::int32_t>(b - d - 306001 * e / 10000);  // the division cuts, as meant
}

std::int32_t ScaleToRange(std::int32_t low, std::int32_t high, double range_low, double range_high,
                          long double x) {
    // The width is taken in 64 bits, so that no pair of 32-bit ends wraps.
    const std::int64_t width = std::int64_t{high} - std::int64_t{low};
    const Real range_width = static_cast<Real>(range_high) - static_cast<Real>(range_low);
    if (range_width == 0.0L || !std::isfinite(range_width)) return low;
    const Real scaled = (x - static_cast<Real>(range_low)) * static_cast<Real>(width) / range_width;
    if (!std::isfinite(scaled)) return low;
    const Real rounded = std::nearbyint(scaled);  // ties to even in the default rounding mode
    const Real result = static_cast<Real>(low) + rounded;
    if (result < static_cast<Real>(std::numeric_limits<std::int32_t>::min()) ||
        result > static_cast<Real>(std::numeric_limits<std::int32_t>::max())) {
        return low;
    }
    return static_cast<std::int32_t>(result);
}

}  // namespace varn
