#include "model/theoryPlaces.h"

#include "model/elpMpp02.h"
#include "model/plutoMeeus.h"
#include "model/units.h"
#include "model/vsop87.h"

#include <cmath>

namespace caelo {

namespace {

using Place = std::array<double, 3>;

Place scaled(const Place& p, double factor) {
    return {p[0] * factor, p[1] * factor, p[2] * factor};
}

Place sum(const Place& a, const Place& b) {
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}

/* The VSOP87 planet of a planet theory. */
std::optional<Vsop87Planet> vsop87PlanetOf(int32_t theory) {
    switch (theory) {
    case kTheoryMercury:
        return Vsop87Planet::Mercury;
    case kTheoryVenus:
        return Vsop87Planet::Venus;
    case kTheoryMars:
        return Vsop87Planet::Mars;
    case kTheoryJupiter:
        return Vsop87Planet::Jupiter;
    case kTheorySaturn:
        return Vsop87Planet::Saturn;
    case kTheoryUranus:
        return Vsop87Planet::Uranus;
    case kTheoryNeptune:
        return Vsop87Planet::Neptune;
    default:
        return std::nullopt;
    }
}

constexpr double kMoonShare = 1.0 / (1.0 + kEarthMoonMassRatio); /* of the Earth-Moon line, from the Earth */

std::optional<Place> placeOf(int32_t theory, double jd) {
    if (const auto planet = vsop87PlanetOf(theory)) {
        return scaled(Vsop87Place(*planet, jd), kKilometresPerAu);
    }
    switch (theory) {
    case kTheoryEarthMoonBarycentre:
        return sum(scaled(Vsop87Place(Vsop87Planet::Earth, jd), kKilometresPerAu),
                   scaled(MoonPlace(jd), kMoonShare));
    case kTheoryPluto:
        return scaled(PlutoPlace(jd), kKilometresPerAu);
    case kTheoryEarthAboutBarycentre:
        return scaled(MoonPlace(jd), -kMoonShare);
    case kTheoryMoonAboutBarycentre:
        return scaled(MoonPlace(jd), 1.0 - kMoonShare);
    default:
        return std::nullopt;
    }
}

} // namespace

TheorySpan TheorySpanOf(int32_t theory) {
    if (theory == kTheoryPluto) {
        return {kPlutoSpanStartJd, kPlutoSpanEndJd};
    }
    return {kVsop87SpanStartJd, kVsop87SpanEndJd};
}

std::optional<std::array<double, 3>> TheoryPlaceKm(int32_t theory, double julianDateTt) {
    const TheorySpan span = TheorySpanOf(theory);
    if (!(julianDateTt >= span.firstJd && julianDateTt <= span.lastJd)) {
        return std::nullopt;
    }
    const std::optional<Place> place = placeOf(theory, julianDateTt);
    if (!place || !std::isfinite((*place)[0]) || !std::isfinite((*place)[1]) || !std::isfinite((*place)[2])) {
        return std::nullopt;
    }
    return place;
}

} // namespace caelo
