// Units of time the tool converts between, named once.
#ifndef CAELO_APP_TIME_UNITS_H
#define CAELO_APP_TIME_UNITS_H

namespace caelo::app {

// The host's day number counts from midnight, a Julian Date from noon:
// Julian Date = day number - kDayNumberMinusJulianDate.
inline constexpr double kDayNumberMinusJulianDate = 0.5;
inline constexpr double kSecondsPerDay = 86400.0;
inline constexpr double kMinutesPerDay = 1440.0;
// Days in a Julian year, the span of "one model year".
inline constexpr double kDaysPerJulianYear = 365.25;

} // namespace caelo::app

#endif
