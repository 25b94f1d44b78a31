/*
 * Pluto's heliocentric place from the series of J. Meeus, Astronomical
 * Algorithms (2nd ed. 1998), chapter 37: 43 periodic terms in the mean
 * longitudes of Jupiter, Saturn and Pluto (Table 37.A, built in from
 * data/theories/pluto-meeus.csv), fitted to DE200 for 1885-2099, in the mean
 * ecliptic and equinox of J2000.
 *
 * A pure function: no state, no allocation, safe on any thread.
 */
#ifndef CAELO_MODEL_PLUTO_MEEUS_H
#define CAELO_MODEL_PLUTO_MEEUS_H

#include <array>
#include <cstddef>
#include <cstdint>

namespace caelo {

/* The series' span (Julian Dates, TT): 1885 Jan 1.0 to 2099 Dec 31.0. */
inline constexpr double kPlutoSpanStartJd = 2409542.5;
inline constexpr double kPlutoSpanEndJd = 2487069.5;

/*
 * Pluto's heliocentric place at a Julian Date (TT) as x, y, z in au: x
 * towards the J2000 equinox, z towards the J2000 ecliptic's north pole. A
 * date that is not finite gives NaNs.
 */
[[nodiscard]] std::array<double, 3> PlutoPlace(double julianDateTt);

/* ---- The built-in table (written from the CSV at configure time) ---------- */

struct PlutoTerm {
    int32_t i, j, k;                   /* multiples of J, S and P */
    double longitudeSin, longitudeCos; /* degrees */
    double latitudeSin, latitudeCos;   /* degrees */
    double distanceSin, distanceCos;   /* au */
};

extern const PlutoTerm kPlutoTerms[];
extern const std::size_t kPlutoTermCount;

} // namespace caelo

#endif
