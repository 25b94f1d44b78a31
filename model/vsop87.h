/*
 * The planetary theory VSOP87, version B (Bretagnon and Francou 1988,
 * Astron. Astrophys. 202, 309): the heliocentric places of Mercury to
 * Neptune and the Earth in the mean ecliptic and equinox of J2000, from the
 * truncated series of data/theories/vsop87b.csv (its README gives the
 * source, the truncation and the accuracy), built in as a table.
 *
 * Each coordinate (L and B in radians, R in au) is the sum over the powers
 * p of t^p times the sum of its terms A cos(B + C t), with t in Julian
 * millennia from J2000; the place is then (R cos B cos L, R cos B sin L,
 * R sin B).
 *
 * A pure function: no state, no allocation, safe on any thread.
 */
#ifndef CAELO_MODEL_VSOP87_H
#define CAELO_MODEL_VSOP87_H

#include <array>
#include <cstddef>
#include <cstdint>

namespace caelo {

enum class Vsop87Planet : int32_t { Mercury, Venus, Earth, Mars, Jupiter, Saturn, Uranus, Neptune };

/* The span for which the series were truncated (Julian Dates, TT): 1800
 * Jan 1.0 to 2200 Jan 1.0. Outside it the dropped terms may add up to more
 * than the stated accuracy. */
inline constexpr double kVsop87SpanStartJd = 2378496.5;
inline constexpr double kVsop87SpanEndJd = 2524593.5;

/*
 * The planet's heliocentric place at a Julian Date (TT, read as TDB: they
 * differ by less than 2 ms).
 *
 * Returns x, y, z in au: x towards the J2000 equinox, z towards the J2000
 * ecliptic's north pole. A date that is not finite gives NaNs.
 */
[[nodiscard]] std::array<double, 3> Vsop87Place(Vsop87Planet planet, double julianDateTt);

/* ---- The built-in table (written from the CSV at configure time) ---------- */

struct Vsop87Term {
    double amplitude; /* rad (L, B) or au (R) */
    double phase;     /* rad */
    double frequency; /* rad per Julian millennium */
};

/* The terms of one coordinate (0 L, 1 B, 2 R) of one planet for one power
 * of t, a run of kVsop87Terms. */
struct Vsop87Series {
    int32_t planet; /* a Vsop87Planet */
    int32_t coordinate;
    int32_t power;
    std::size_t first;
    std::size_t count;
};

extern const Vsop87Term kVsop87Terms[];
extern const Vsop87Series kVsop87Series[];
extern const std::size_t kVsop87SeriesCount;

} // namespace caelo

#endif
