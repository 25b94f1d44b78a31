/*
 * The places the theories give an orbit axis in theory mode (mode 4): which
 * theory a choice names, and the place it gives at a Julian Date (TT) in the
 * mean ecliptic and equinox of J2000, in km, about the body the orbit axis's
 * parent stands for: the Sun for the planets, the Earth-Moon barycentre and
 * Pluto (VSOP87, Meeus), the barycentre for the Earth and the Moon
 * (ELP/MPP02, shared by the Earth-Moon mass ratio).
 *
 * Pure functions: no state, no allocation, safe on any thread.
 */
#ifndef CAELO_MODEL_THEORY_PLACES_H
#define CAELO_MODEL_THEORY_PLACES_H

#include <array>
#include <cstdint>
#include <optional>

namespace caelo {

/* The theory choices of OCAELOORBITAXIS_THEORY: the value after
 * kTheoryChoiceBase. */
enum : int32_t {
    kTheoryMercury = 0,
    kTheoryVenus = 1,
    kTheoryEarthMoonBarycentre = 2,
    kTheoryMars = 3,
    kTheoryJupiter = 4,
    kTheorySaturn = 5,
    kTheoryUranus = 6,
    kTheoryNeptune = 7,
    kTheoryPluto = 8,
    kTheoryEarthAboutBarycentre = 9,
    kTheoryMoonAboutBarycentre = 10,
};
inline constexpr int32_t kTheoryCount = 11;

/* The Earth's mass over the Moon's (DE431's EMRAT), which sets the
 * barycentre between them: the Earth stands 1 / (1 + ratio) of the way to
 * the Moon from it. */
inline constexpr double kEarthMoonMassRatio = 81.3005690699;

/* The place of a theory at a Julian Date (TT), km, J2000 ecliptic; nothing
 * for an unknown theory, a date outside the theory's span (kTheorySpan...)
 * or a place that is not finite. */
[[nodiscard]] std::optional<std::array<double, 3>> TheoryPlaceKm(int32_t theory, double julianDateTt);

/* The span of a theory (Julian Dates, TT): 1800 to 2200, Pluto 1885 to
 * 2099. */
struct TheorySpan {
    double firstJd;
    double lastJd;
};
[[nodiscard]] TheorySpan TheorySpanOf(int32_t theory);

} // namespace caelo

#endif
