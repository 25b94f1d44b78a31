// How the bodies of a solar system are seen from the Earth: their geocentric
// ecliptic places, their elongation and phase, the position angle of each moon
// around its planet and the opening of a planet's rings.
//
// Every figure is geometric: the bodies where they are at the model date, with
// no light time and no aberration (the Moon's light time is 1.3 s, Jupiter's
// about 40 minutes, in which Io moves 6 degrees along its orbit). Directions
// are in the mean ecliptic and equator of J2000.
//
// Example:
//   const SkyPlace moon = *skyPlaceOf(moonAu, earthAu, {0, 0, 0}, std::nullopt, std::nullopt);
//   std::cout << moon.illuminatedFraction;
#ifndef CAELO_PLACES_SKY_PLACES_H
#define CAELO_PLACES_SKY_PLACES_H

#include "host/services/matrix.h"

#include <optional>

namespace caelo::places {

// The obliquity of the ecliptic of J2000 (IAU 1976, 84381.448 arcseconds), the
// angle between the preset's ecliptic frame and the J2000 equator.
inline constexpr double kObliquityJ2000Deg = 23.439291111111111;

struct SkyPlace {
    double longitudeDeg = 0.0;        // geocentric ecliptic longitude, [0, 360)
    double latitudeDeg = 0.0;         // geocentric ecliptic latitude, [-90, 90]
    double distanceAu = 0.0;          // from the Earth
    double elongationDeg = 0.0;       // angle from the Sun as seen from the Earth, [0, 180]
    double phaseAngleDeg = 0.0;       // angle Sun-body-Earth, [0, 180]
    double illuminatedFraction = 0.0; // of the disc, (1 + cos phase angle) / 2
    // Of a moon around its planet as seen from the Earth: degrees from the
    // celestial north of J2000 through east, [0, 360).
    std::optional<double> positionAngleDeg;
    // Of a planet with rings: the Earth's and the Sun's latitude above the
    // planet's equator, the plane its rings lie in (positive: its north face).
    std::optional<double> ringOpeningFromEarthDeg;
    std::optional<double> ringOpeningFromSunDeg;
};

// A body at `bodyAu` seen from the Earth at `earthAu`, with the Sun at
// `sunAu` (ecliptic, au, true distances). `primaryAu`: the centre it circles,
// for a moon's position angle; `northPole`: the unit direction of the body's
// north pole (ecliptic), for a body with rings. Nothing when the body stands
// at the Earth or the Sun at the Earth.
[[nodiscard]] std::optional<SkyPlace> skyPlaceOf(const host::Vector& bodyAu, const host::Vector& earthAu,
                                                 const host::Vector& sunAu,
                                                 const std::optional<host::Vector>& primaryAu,
                                                 const std::optional<host::Vector>& northPole);

// An ecliptic direction of J2000 in the J2000 equator (x to the equinox, z to
// the celestial north pole).
[[nodiscard]] host::Vector equatorialFromEcliptic(const host::Vector& ecliptic);

} // namespace caelo::places

#endif
