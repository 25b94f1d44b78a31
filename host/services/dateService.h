// The host's date service: the wall clock, universal and local time, and day
// numbers.
//
// Calendar fields are in the proleptic Gregorian calendar. A day number counts
// days with 2000-01-01 00:00 = 2451545.0, so it is a Julian Date plus 0.5 and
// every midnight falls on a whole number. Local time follows the time zone of
// the TZ environment variable, through the C library.
#ifndef CAELO_HOST_SERVICES_DATE_SERVICE_H
#define CAELO_HOST_SERVICES_DATE_SERVICE_H

#include "interface/hostInterface.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace caelo::host {

// Seconds since 1970-01-01 00:00 UTC.
using Clock = std::function<std::int64_t()>;

// Replaces the wall clock that `currentDateTime` reads, so that tests need not
// depend on the moment they run. An empty function restores the system clock.
void setClock(Clock clock);

// The current date and time in universal time.
[[nodiscard]] HostDateTime currentDateTime();

// Converts universal calendar fields to local ones in the zone of TZ. Fields
// outside their ranges carry over (month 13 is January of the next year).
// Answers the fields unchanged when the C library cannot represent the moment.
[[nodiscard]] HostDateTime universalToLocal(HostDateTime universal);

// Converts local calendar fields in the zone of TZ to universal ones. A local
// time that a daylight-saving change skips or repeats resolves as the C
// library's mktime does. Answers the fields unchanged when the C library cannot
// represent the moment.
[[nodiscard]] HostDateTime localToUniversal(HostDateTime local);

// The day number of calendar fields (days; 2000-01-01 00:00 = 2451545.0).
// Fields outside their ranges carry over as in `universalToLocal`.
// Example: dateTimeToDayNumber({2000, 1, 1, 12, 0, 0}) == 2451545.5.
[[nodiscard]] double dateTimeToDayNumber(HostDateTime fields);

// The calendar fields of a day number, rounded to the nearest second; the exact
// inverse of `dateTimeToDayNumber` for every second of the years -4000 to 9999.
// A day number that is not finite or lies more than `kMaxDayNumberMagnitude`
// days from zero has no calendar date: the answer is all-zero fields (month 0,
// day 0), which no valid date has.
[[nodiscard]] HostDateTime dayNumberToDateTime(double dayNumber);

// The largest day-number magnitude that `dayNumberToDateTime` converts (days,
// about 27 million years either side of the year -4713).
inline constexpr double kMaxDayNumberMagnitude = 1.0e10;

// True for fields that name a moment the service represents: a calendar date
// and time (month 1-12, a day of that month, hour 0-23, minute and second
// 0-59) whose day number lies within kMaxDayNumberMagnitude of zero, so that
// `dayNumberToDateTime` gives it back.
// Example: isRepresentableDate({2000000000, 1, 1, 0, 0, 0}) == false.
[[nodiscard]] bool isRepresentableDate(HostDateTime fields);

// The span of representable moments as text, "from <first> to <last>", each
// end as `formatDateTime` writes it.
[[nodiscard]] std::string representableDatesText();

// Reads "YYYY-MM-DD hh:mm:ss" or "YYYY-MM-DDThh:mm:ss" (the year may carry a
// minus sign and more than four digits). Answers nothing when the text has
// another shape or the fields are no representable date (`isRepresentableDate`).
[[nodiscard]] std::optional<HostDateTime> parseDateTime(std::string_view text);

// What `formatDateTime` writes for fields that are no representable date.
inline constexpr std::string_view kNoDateText = "no calendar date";

// Writes fields as "YYYY-MM-DDThh:mm:ss", the form `parseDateTime` reads, or
// kNoDateText for fields that are no representable date (the all-zero
// fields of a day number beyond the calendar, for example).
// Example: formatDateTime({2024, 3, 9, 7, 5, 0}) == "2024-03-09T07:05:00".
[[nodiscard]] std::string formatDateTime(HostDateTime fields);

} // namespace caelo::host

#endif
