// Delta T, the difference TT - UT1 (seconds), from the polynomial expressions
// of F. Espenak and J. Meeus, "Five Millennium Canon of Solar Eclipses:
// -1999 to +3000" (NASA/TP-2006-214141, 2006, section 2.6), which fit the
// measured values from 1620 to 2005 to within about a second and extrapolate
// beyond: before 1620 and after 2005 the figure is an estimate whose error
// grows with the distance from the present (about 6 s too large in 2026,
// against the measured 69 s).
//
// Example: deltaTSeconds(2000.0) == 63.86.
#ifndef CAELO_PLACES_DELTA_T_H
#define CAELO_PLACES_DELTA_T_H

namespace caelo::places {

// The years the expressions cover: -1999 to 3000. Outside them the parabola
// of long-term extrapolation (-20 + 32 u^2, u in centuries from 1820)
// continues.
inline constexpr double kDeltaTFirstYear = -1999.0;
inline constexpr double kDeltaTLastYear = 3000.0;

// Delta T (seconds) at a decimal year (2026.5 is the middle of 2026; the
// expressions take the year y = year + (month - 0.5) / 12). NaN for a year
// that is not finite.
[[nodiscard]] double deltaTSeconds(double decimalYear);

// The same at a Julian Date (either scale: the difference is far below the
// expressions' accuracy).
[[nodiscard]] double deltaTSecondsAt(double julianDate);

} // namespace caelo::places

#endif
