/*
 * The Moon's geocentric place from the lunar theory ELP/MPP02 (J. Chapront
 * and G. Francou 2002, "The lunar theory ELP revisited. Introduction of new
 * planetary perturbations", Astron. Astrophys. 404, 735 (2003); the version
 * fitted to DE405), truncated (data/theories/elp-mpp02.csv and its README
 * give the source, the truncation and the accuracy) and built in as a
 * table.
 *
 * Longitude V = W1 + the sum of the L series, latitude U and distance r are
 * sums over the powers p of T^p times terms A sin(f0 + f1 T + ... + f4 T^4),
 * T in Julian centuries from J2000, in the inertial mean ecliptic of date;
 * the place is then turned into the mean ecliptic and equinox of J2000 by
 * Laskar's precession quantities P and Q as the theory's documentation gives
 * them.
 *
 * A pure function: no state, no allocation, safe on any thread.
 */
#ifndef CAELO_MODEL_ELP_MPP02_H
#define CAELO_MODEL_ELP_MPP02_H

#include <array>
#include <cstddef>
#include <cstdint>

namespace caelo {

/* The span for which the series were truncated (Julian Dates, TT): 1800
 * Jan 1.0 to 2200 Jan 1.0. */
inline constexpr double kElpMpp02SpanStartJd = 2378496.5;
inline constexpr double kElpMpp02SpanEndJd = 2524593.5;

/*
 * The Moon's geocentric place at a Julian Date (TT, read as TDB) as x, y, z
 * in km: x towards the J2000 equinox, z towards the J2000 ecliptic's north
 * pole. A date that is not finite gives NaNs.
 */
[[nodiscard]] std::array<double, 3> MoonPlace(double julianDateTt);

/* ---- The built-in table (written from the CSV at configure time) ---------- */

struct ElpMpp02Term {
    double amplitude; /* arcsec (L, B), km (R); W: a coefficient of W1, rad */
    /* the argument's polynomial: rad, rad per century^n */
    double f0, f1, f2, f3, f4;
};

/* The terms of one coordinate (0 L, 1 B, 2 R, 3 the mean longitude W1) for
 * one power of T, a run of kElpMpp02Terms. */
struct ElpMpp02Series {
    int32_t coordinate;
    int32_t power;
    std::size_t first;
    std::size_t count;
};

extern const ElpMpp02Term kElpMpp02Terms[];
extern const ElpMpp02Series kElpMpp02Series[];
extern const std::size_t kElpMpp02SeriesCount;

} // namespace caelo

#endif
