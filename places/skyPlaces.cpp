#include "places/skyPlaces.h"

#include "model/units.h"

#include <cmath>

namespace caelo::places {
namespace {

constexpr double kFullCircleDeg = 360.0;
// Below this length (au) two places are taken as one.
constexpr double kSamePlaceAu = 1e-12;

// The angle between two directions, in degrees; accurate for small angles too.
double angleBetweenDeg(const host::Vector& a, const host::Vector& b) {
    return std::atan2(host::length(host::cross(a, b)), host::dot(a, b)) * kDegreesPerRadian;
}

double fullCircle(double angleDeg) {
    return angleDeg < 0.0 ? angleDeg + kFullCircleDeg : angleDeg;
}

// The latitude of `towards` above the plane whose north pole is `pole`.
double latitudeAboveDeg(const host::Vector& pole, const host::Vector& towards) {
    return std::asin(host::dot(pole, towards) / (host::length(pole) * host::length(towards))) *
           kDegreesPerRadian;
}

// The position angle of `offset` seen at the sky place of `line` (both
// equatorial): from north (towards the celestial pole) through east (towards
// increasing right ascension).
double positionAngleDeg(const host::Vector& line, const host::Vector& offset) {
    const host::Vector east = host::cross(host::Vector{0.0, 0.0, 1.0}, line);
    const host::Vector north = host::cross(line, east);
    return fullCircle(std::atan2(host::dot(offset, east) / host::length(east),
                                 host::dot(offset, north) / host::length(north)) *
                      kDegreesPerRadian);
}

} // namespace

host::Vector equatorialFromEcliptic(const host::Vector& ecliptic) {
    const double angle = kObliquityJ2000Deg / kDegreesPerRadian;
    const double c = std::cos(angle), s = std::sin(angle);
    return {ecliptic.x, c * ecliptic.y - s * ecliptic.z, s * ecliptic.y + c * ecliptic.z};
}

std::optional<SkyPlace> skyPlaceOf(const host::Vector& bodyAu, const host::Vector& earthAu,
                                   const host::Vector& sunAu, const std::optional<host::Vector>& primaryAu,
                                   const std::optional<host::Vector>& northPole) {
    const host::Vector fromEarth = bodyAu - earthAu;
    const host::Vector sunFromEarth = sunAu - earthAu;
    if (host::length(fromEarth) < kSamePlaceAu || host::length(sunFromEarth) < kSamePlaceAu) {
        return std::nullopt;
    }
    SkyPlace place;
    place.distanceAu = host::length(fromEarth);
    place.longitudeDeg = fullCircle(std::atan2(fromEarth.y, fromEarth.x) * kDegreesPerRadian);
    place.latitudeDeg = std::atan2(fromEarth.z, std::hypot(fromEarth.x, fromEarth.y)) * kDegreesPerRadian;
    place.elongationDeg = angleBetweenDeg(fromEarth, sunFromEarth);
    const host::Vector sunFromBody = sunAu - bodyAu;
    const bool isTheSun = host::length(sunFromBody) < kSamePlaceAu;
    place.phaseAngleDeg = isTheSun ? 0.0 : angleBetweenDeg(-fromEarth, sunFromBody);
    place.illuminatedFraction = 0.5 * (1.0 + std::cos(place.phaseAngleDeg / kDegreesPerRadian));
    if (primaryAu) {
        place.positionAngleDeg = positionAngleDeg(equatorialFromEcliptic(*primaryAu - earthAu),
                                                  equatorialFromEcliptic(bodyAu - *primaryAu));
    }
    if (northPole && host::length(*northPole) > 0.0) {
        place.ringOpeningFromEarthDeg = latitudeAboveDeg(*northPole, -fromEarth);
        if (!isTheSun) {
            place.ringOpeningFromSunDeg = latitudeAboveDeg(*northPole, sunFromBody);
        }
    }
    return place;
}

} // namespace caelo::places
