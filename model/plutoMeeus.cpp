#include "model/plutoMeeus.h"

#include "model/units.h"

#include <cmath>

namespace caelo {

/* Meeus (1998), chapter 37: the arguments J, S, P (degrees) and the mean
 * parts of the longitude, latitude and distance. */
std::array<double, 3> PlutoPlace(double julianDateTt) {
    const double t = (julianDateTt - kJulianDateJ2000) / kDaysPerJulianCentury;
    const double jupiter = 34.35 + 3034.9057 * t;
    const double saturn = 50.08 + 1222.1138 * t;
    const double pluto = 238.96 + 144.96 * t;
    double longitude = 238.958116 + 144.96 * t;
    double latitude = -3.908239;
    double distance = 40.7241346;
    for (std::size_t n = 0; n < kPlutoTermCount; ++n) {
        const PlutoTerm& term = kPlutoTerms[n];
        const double argument = (term.i * jupiter + term.j * saturn + term.k * pluto) * kRadiansPerDegree;
        const double s = std::sin(argument);
        const double c = std::cos(argument);
        longitude += term.longitudeSin * s + term.longitudeCos * c;
        latitude += term.latitudeSin * s + term.latitudeCos * c;
        distance += term.distanceSin * s + term.distanceCos * c;
    }
    const double l = longitude * kRadiansPerDegree;
    const double b = latitude * kRadiansPerDegree;
    return {distance * std::cos(b) * std::cos(l), distance * std::cos(b) * std::sin(l),
            distance * std::sin(b)};
}

} // namespace caelo
