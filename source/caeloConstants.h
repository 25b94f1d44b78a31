/*
 * Physical and time constants shared by the module's node types, each named
 * once with its unit.
 */
#ifndef CAELO_CONSTANTS_H
#define CAELO_CONSTANTS_H

#include <cstdint>

namespace caelo {

/* Time. */
inline constexpr double kSecondsPerDay = 86400.0;
inline constexpr double kDaysPerJulianCentury = 36525.0;
/* Julian Date of 2000-01-01 12:00 TT (J2000.0), the default epoch. */
inline constexpr double kJulianDateJ2000 = 2451545.0;
/* Days between the host's midnight-based day number and a Julian Date:
 * Julian Date = day number - kDayNumberToJulianDate. */
inline constexpr double kDayNumberToJulianDate = 0.5;

/* Lengths. */
inline constexpr double kMetresPerAu = 149597870700.0; /* IAU 2012 Resolution B2 */
inline constexpr double kCentimetresPerMetre = 100.0;
inline constexpr double kCentimetresPerKilometre = 100000.0;
/* The Earth's equatorial diameter, 2 x 6378.137 km (the value the system's
 * body scale refers to), in centimetres. */
inline constexpr double kEarthEquatorialDiameterCm = 1275627400.0;

/* Angles. */
inline constexpr double kRadiansPerDegree = 0.017453292519943295; /* pi / 180 */
inline constexpr double kPi = 3.141592653589793;
inline constexpr double kTwoPi = 6.283185307179586;
inline constexpr double kHalfPi = 1.5707963267948966;

/* Node type identifiers of the module's own types; they are also the plug-in
 * identifiers under which the types are registered. */
inline constexpr int32_t kTypeCaeloSystem = 1032493;
inline constexpr int32_t kTypeCaeloOrbitAxis = 1032494;
inline constexpr int32_t kTypeCaeloBodyAxis = 1032495;
inline constexpr int32_t kTypeCaeloOrbit = 1032496;
inline constexpr int32_t kTypeCaeloOrbitPlane = 1032497;
inline constexpr int32_t kTypeCaeloOrbitPlaneS = 1032498;
inline constexpr int32_t kTypeCaeloEquatPlane = 1032499;
inline constexpr int32_t kTypeCaeloRing = 1032500;
inline constexpr int32_t kTypeAttitudeCtrl = 1032501;

/* Choice parameters store the member value plus a base. */
inline constexpr int32_t kModeChoiceBase = 1200;
inline constexpr int32_t kBandSpacingChoiceBase = 1250;

/* Evaluation priority of the module's objects. */
inline constexpr int32_t kEvaluationPriority = 2000;

} // namespace caelo

#endif
