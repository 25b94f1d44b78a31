/*
 * Physical and time constants of the planetary system, each named once with
 * its unit.
 */
#ifndef CAELO_MODEL_UNITS_H
#define CAELO_MODEL_UNITS_H

#include <numbers>

namespace caelo {

/* Time. */
inline constexpr double kSecondsPerDay = 86400.0;
inline constexpr double kMinutesPerDay = 1440.0;
inline constexpr double kDaysPerJulianCentury = 36525.0;
/* Days in a Julian year, the span of "one model year". */
inline constexpr double kDaysPerJulianYear = 365.25;
/* Julian Date of 2000-01-01 12:00 TT (J2000.0), the default epoch. */
inline constexpr double kJulianDateJ2000 = 2451545.0;
/* Days between the host's midnight-based day number and a Julian Date:
 * Julian Date = day number - kDayNumberToJulianDate. */
inline constexpr double kDayNumberToJulianDate = 0.5;

/* Lengths. */
inline constexpr double kMetresPerAu = 149597870700.0; /* IAU 2012 Resolution B2 */
inline constexpr double kMetresPerKilometre = 1000.0;
inline constexpr double kKilometresPerAu = kMetresPerAu / kMetresPerKilometre;
inline constexpr double kCentimetresPerMetre = 100.0;
inline constexpr double kCentimetresPerKilometre = 100000.0;
/* The Earth's equatorial diameter, 2 x 6378.137 km (the value the system's
 * body scale refers to), in centimetres. */
inline constexpr double kEarthEquatorialDiameterCm = 1275627400.0;

/* Angles. */
inline constexpr double kRadiansPerDegree = 0.017453292519943295; /* pi / 180 */
inline constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;
inline constexpr double kPi = 3.141592653589793;
inline constexpr double kTwoPi = 6.283185307179586;
inline constexpr double kHalfPi = 1.5707963267948966;

} // namespace caelo

#endif
