#include "places/eclipses.h"

#include "model/elpMpp02.h"
#include "model/units.h"
#include "model/vsop87.h"

#include <array>
#include <cmath>
#include <numbers>
#include <optional>

namespace caelo::places {

namespace {

using Vec = std::array<double, 3>;

// Sizes (km), see eclipses.h.
constexpr double kEarthRadiusKm = kEclipseEarthRadiusKm;
constexpr double kEarthFlattening = 1.0 / 298.257;
constexpr double kMoonRadiusKm = kEclipseMoonRadiusKm;
constexpr double kSpeedOfLightKmPerS = 299792.458;
// Danjon's rule for the Earth's shadow, as Espenak and Meeus's canon applies
// it: the Earth's equatorial radius, unflattened, enlarged by 1 % for the
// atmosphere (kEarthShadowRadiusKm).
// The J2000 obliquity (IAU 1980, 84381.448"): the Earth's pole in the
// ecliptic frame is (0, -sin e, cos e).
constexpr double kObliquityRad = 84381.448 / 3600.0 * kRadiansPerDegree;

constexpr double kSynodicMonthDays = 29.530588853;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
// Refining a syzygy: steps at most, and the step (days) below which it stops.
constexpr int kSyzygyMaxSteps = 12;
constexpr double kSyzygyToleranceDays = 1e-6;
// The greatest eclipse lies within this many days of its syzygy; the
// golden-section search narrows the window to kGreatestToleranceDays.
constexpr double kGreatestWindowDays = 0.25;
constexpr double kGreatestToleranceDays = 1.0 / 86400.0;
constexpr int kGreatestMaxSteps = 60;
// Following a central eclipse's line: the step (days) and the most steps
// each way (the longest central phase lasts under four hours).
constexpr double kCentralLineStepDays = 6.0 / 1440.0;
constexpr int kCentralLineMaxSteps = 60;
// An eclipse's contacts lie within this many days of its greatest instant
// (the longest lasts about six hours); bisection steps at most.
constexpr double kContactWindowDays = 0.3;
constexpr int kContactMaxSteps = 40;

Vec operator+(const Vec& a, const Vec& b) {
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}
Vec operator-(const Vec& a, const Vec& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
Vec operator*(const Vec& a, double s) {
    return {a[0] * s, a[1] * s, a[2] * s};
}
double dot(const Vec& a, const Vec& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
Vec cross(const Vec& a, const Vec& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double norm(const Vec& a) {
    return std::sqrt(dot(a, a));
}
Vec unit(const Vec& a) {
    return a * (1.0 / norm(a));
}

// The Sun and the Moon as seen from the Earth's centre (km, J2000 ecliptic),
// and where the Moon and the Earth stood when they cast the shadows that
// reach the Earth and the Moon now: one light time (Earth to Moon) earlier,
// in the Sun's frame, in which the shadows run straight (about 39 km
// behind, as both move about 30 km/s round the Sun).
struct Geometry {
    Vec sun;
    Vec moon;
    Vec moonCasting;
    Vec earthCasting;
};

Vec earthAboutTheSun(double julianDateTt) {
    return Vsop87Place(Vsop87Planet::Earth, julianDateTt) * kKilometresPerAu;
}

Geometry geometryAt(double julianDateTt) {
    const Vec earth = earthAboutTheSun(julianDateTt);
    const Vec moon = MoonPlace(julianDateTt);
    const double earlier = julianDateTt - norm(moon) / kSpeedOfLightKmPerS / kSecondsPerDay;
    const Vec earthThen = earthAboutTheSun(earlier) - earth;
    return {earth * -1.0, moon, earthThen + MoonPlace(earlier), earthThen};
}

double longitudeOf(const Vec& v) {
    return std::atan2(v[1], v[0]);
}

double wrapToPi(double angle) {
    return std::remainder(angle, kTwoPi);
}

// A point w across a shadow axis of direction `along` (unit): its distance
// from the axis, the radius of the Earth's cross-section (flattened towards
// its poles) in w's direction, and the sign of w's northward part.
struct AcrossAxis {
    double distance;    // km
    double earthRadius; // km
    double north;       // +1 or -1
    double alongRadius; // km: the Earth's radius along the axis
};

AcrossAxis acrossAxis(const Vec& w, const Vec& along) {
    const Vec pole{0.0, -std::sin(kObliquityRad), std::cos(kObliquityRad)};
    const Vec poleAcross = pole - along * dot(pole, along);
    const double cosDeclination = norm(poleAcross);
    const Vec y = poleAcross * (1.0 / cosDeclination);
    const Vec x = cross(y, along);
    // The cross-section: an ellipse of semi-axes 1 and `squeeze` (Earth radii).
    const double eccentricity2 = kEarthFlattening * (2.0 - kEarthFlattening);
    const double squeeze = std::sqrt(1.0 - eccentricity2 * cosDeclination * cosDeclination);
    const double wx = dot(w, x);
    const double wy = dot(w, y);
    const double distance = std::hypot(wx, wy);
    const double cosine = distance > 0.0 ? wx / distance : 1.0;
    const double sine = distance > 0.0 ? wy / distance : 0.0;
    const double radius = kEarthRadiusKm / std::sqrt(cosine * cosine + sine * sine / (squeeze * squeeze));
    // Along the axis, at declination d: 1 / sqrt(cos^2 d + sin^2 d / (1 - e^2)).
    const double sinDeclination = dot(pole, along);
    const double alongRadius =
        kEarthRadiusKm /
        std::sqrt(cosDeclination * cosDeclination + sinDeclination * sinDeclination / (1.0 - eccentricity2));
    return {distance, radius, wy < 0.0 ? -1.0 : 1.0, alongRadius};
}

// Solar: how far the axis from the Sun through the Moon passes from the
// Earth's centre.
AcrossAxis solarAxis(const Geometry& g) {
    const Vec along = unit(g.moonCasting - g.sun);
    return acrossAxis(g.moonCasting - along * dot(g.moonCasting, along), along);
}

// Lunar: how far the Moon's centre stands from the axis from the Sun through
// the Earth.
AcrossAxis lunarAxis(const Geometry& g) {
    const Vec along = unit(g.earthCasting - g.sun);
    const Vec moon = g.moon - g.earthCasting;
    return acrossAxis(moon - along * dot(moon, along), along);
}

double axisDistance(EclipseKind kind, double julianDateTt) {
    const Geometry g = geometryAt(julianDateTt);
    return (kind == EclipseKind::Solar ? solarAxis(g) : lunarAxis(g)).distance;
}

// The instant of least axis distance near a syzygy: golden-section search.
double greatestInstant(EclipseKind kind, double syzygy) {
    constexpr double kGolden = 0.6180339887498949;
    double low = syzygy - kGreatestWindowDays;
    double high = syzygy + kGreatestWindowDays;
    double a = high - kGolden * (high - low);
    double b = low + kGolden * (high - low);
    double fa = axisDistance(kind, a);
    double fb = axisDistance(kind, b);
    for (int step = 0; step < kGreatestMaxSteps && high - low > kGreatestToleranceDays; ++step) {
        if (fa < fb) {
            high = b;
            b = a;
            fb = fa;
            a = high - kGolden * (high - low);
            fa = axisDistance(kind, a);
        } else {
            low = a;
            a = b;
            fa = fb;
            b = low + kGolden * (high - low);
            fb = axisDistance(kind, b);
        }
    }
    return (low + high) / 2.0;
}

// The Moon's shadow at one instant: the axis's distance from the Earth's
// centre in units of the Earth's radius across it (below 1: the axis meets the
// ground), and the radii (km) of the penumbra and of the umbra (positive) or
// antumbra (negative) at a distance below the plane through the Earth's
// centre across the axis (towards the Moon; 0 at that plane).
struct MoonShadow {
    AcrossAxis axis;
    double delta;
    double sinPenumbra, sinUmbra, moonToPlane;

    [[nodiscard]] double penumbraAt(double aboveThePlane) const {
        const double z = moonToPlane - aboveThePlane;
        return z * std::tan(std::asin(sinPenumbra)) + kMoonRadiusKm / std::cos(std::asin(sinPenumbra));
    }
    [[nodiscard]] double umbraAt(double aboveThePlane) const {
        const double z = moonToPlane - aboveThePlane;
        return kMoonRadiusKm / std::cos(std::asin(sinUmbra)) - z * std::tan(std::asin(sinUmbra));
    }
    // How high the ground where the axis meets it stands above the plane.
    [[nodiscard]] double groundAboveThePlane() const {
        return std::sqrt(1.0 - delta * delta) * axis.alongRadius;
    }
};

MoonShadow moonShadowAt(double t) {
    const Geometry g = geometryAt(t);
    const AcrossAxis axis = solarAxis(g);
    const Vec along = unit(g.moonCasting - g.sun);
    const double sunMoonKm = norm(g.moonCasting - g.sun);
    return {axis, axis.distance / axis.earthRadius, (kSunRadiusKm + kMoonRadiusKm) / sunMoonKm,
            (kSunRadiusKm - kMoonRadiusKm) / sunMoonKm, -dot(g.moonCasting, along)};
}

// A central eclipse's type: the umbra's (total) or the antumbra's (annular)
// reach along the whole central line, both: hybrid. The line is followed in
// steps of kCentralLineStepDays while the axis meets the ground, and to the
// Earth's limb at its ends.
EclipseType centralType(double greatest) {
    bool total = false;
    bool annular = false;
    for (int direction : {-1, 1}) {
        for (int step = direction < 0 ? 0 : 1; step <= kCentralLineMaxSteps; ++step) {
            const MoonShadow shadow = moonShadowAt(greatest + direction * step * kCentralLineStepDays);
            // Past the line's end the shadow at the Earth's limb, where the
            // line ends, counts.
            const double ground = shadow.delta < 1.0 ? shadow.groundAboveThePlane() : 0.0;
            (shadow.umbraAt(ground) > 0.0 ? total : annular) = true;
            if (shadow.delta >= 1.0) {
                break;
            }
        }
    }
    return total && annular ? EclipseType::Hybrid : total ? EclipseType::Total : EclipseType::Annular;
}

std::optional<Eclipse> solarEclipseAt(double t) {
    const MoonShadow shadow = moonShadowAt(t);
    const double penumbra = shadow.penumbraAt(0.0);
    const double umbra = shadow.umbraAt(0.0);
    if (shadow.axis.distance > shadow.axis.earthRadius + penumbra) {
        return std::nullopt;
    }
    Eclipse e{EclipseKind::Solar,
              EclipseType::Partial,
              t,
              0.0,
              0.0,
              shadow.axis.north * shadow.axis.distance / kEarthRadiusKm};
    if (shadow.delta < 1.0) {
        const double ground = shadow.groundAboveThePlane();
        const double umbraThere = shadow.umbraAt(ground);
        const double penumbraThere = shadow.penumbraAt(ground);
        e.type = centralType(t);
        e.magnitude = (penumbraThere + umbraThere) / (penumbraThere - umbraThere);
        return e;
    }
    const double beyondTheLimb = shadow.axis.distance - shadow.axis.earthRadius;
    if (beyondTheLimb < std::abs(umbra)) {
        e.type = umbra > 0.0 ? EclipseType::Total : EclipseType::Annular;
    }
    e.magnitude = (penumbra - beyondTheLimb) / (penumbra - umbra);
    return e;
}

std::optional<Eclipse> lunarEclipseAt(double t) {
    const Geometry g = geometryAt(t);
    const AcrossAxis axis = lunarAxis(g);
    const double sunEarthKm = norm(g.earthCasting - g.sun);
    const double alongKm = dot(g.moon - g.earthCasting, unit(g.earthCasting - g.sun));
    const double earth = kEarthShadowRadiusKm;
    const double penumbra = earth + alongKm * (kSunRadiusKm + earth) / sunEarthKm;
    const double umbra = earth - alongKm * (kSunRadiusKm - earth) / sunEarthKm;
    const double moonDiameter = 2.0 * kMoonRadiusKm;
    const double umbral = (umbra + kMoonRadiusKm - axis.distance) / moonDiameter;
    const double penumbral = (penumbra + kMoonRadiusKm - axis.distance) / moonDiameter;
    if (penumbral <= 0.0) {
        return std::nullopt;
    }
    const EclipseType type = umbral >= 1.0  ? EclipseType::Total
                             : umbral > 0.0 ? EclipseType::Partial
                                            : EclipseType::Penumbral;
    return Eclipse{EclipseKind::Lunar,    type,      t,
                   std::max(umbral, 0.0), penumbral, axis.north * axis.distance / kEarthRadiusKm};
}

std::optional<Eclipse> eclipseOfKindAt(EclipseKind kind, double t) {
    return kind == EclipseKind::Solar ? solarEclipseAt(t) : lunarEclipseAt(t);
}

// Whether the penumbra touches the Earth (solar) or the Moon (lunar), without
// telling the eclipse's type.
bool underWay(EclipseKind kind, double t) {
    if (kind == EclipseKind::Solar) {
        const MoonShadow shadow = moonShadowAt(t);
        return shadow.axis.distance <= shadow.axis.earthRadius + shadow.penumbraAt(0.0);
    }
    return lunarEclipseAt(t).has_value();
}

// The instant, between `inside` (under way) and `outside` (not), at which the
// eclipse begins or ends: bisection to a second.
double contactBetween(EclipseKind kind, double inside, double outside) {
    for (int step = 0; step < kContactMaxSteps && std::abs(outside - inside) > kGreatestToleranceDays;
         ++step) {
        const double middle = (inside + outside) / 2.0;
        (underWay(kind, middle) ? inside : outside) = middle;
    }
    return inside;
}

// The eclipse greatest at `greatest`, with its contacts, if there is one.
std::optional<Eclipse> eclipseGreatestAt(EclipseKind kind, double greatest) {
    std::optional<Eclipse> eclipse = eclipseOfKindAt(kind, greatest);
    if (eclipse) {
        eclipse->firstContactJulianDateTt = contactBetween(kind, greatest, greatest - kContactWindowDays);
        eclipse->lastContactJulianDateTt = contactBetween(kind, greatest, greatest + kContactWindowDays);
    }
    return eclipse;
}

// The syzygy nearest `estimate` at which the Moon's longitude less the Sun's
// is `target` (0: new moon, pi: full moon), by steps at the mean rate.
double syzygyNear(double estimate, double target) {
    const double rate = kTwoPi / kSynodicMonthDays;
    double t = estimate;
    for (int step = 0; step < kSyzygyMaxSteps; ++step) {
        const Geometry g = geometryAt(t);
        const double change = wrapToPi(target - (longitudeOf(g.moon) - longitudeOf(g.sun))) / rate;
        t += change;
        if (std::abs(change) < kSyzygyToleranceDays) {
            break;
        }
    }
    return t;
}

} // namespace

std::vector<Eclipse> findEclipses(double firstJulianDateTt, double lastJulianDateTt) {
    std::vector<Eclipse> found;
    if (!std::isfinite(firstJulianDateTt) || !std::isfinite(lastJulianDateTt) ||
        !(firstJulianDateTt < lastJulianDateTt)) {
        return found;
    }
    const double latitudeLimit = kEclipseLatitudeLimitDeg * kRadiansPerDegree;
    // Start half a month early, so that a syzygy just before the span whose
    // greatest eclipse falls inside it is not missed.
    const Geometry start = geometryAt(firstJulianDateTt);
    const double elongation =
        std::fmod(longitudeOf(start.moon) - longitudeOf(start.sun) + 2.0 * kTwoPi, kTwoPi);
    double estimate = firstJulianDateTt - elongation / kTwoPi * kSynodicMonthDays - kSynodicMonthDays / 2.0;
    double target = std::numbers::pi;
    while (estimate < lastJulianDateTt + kSynodicMonthDays) {
        const double syzygy = syzygyNear(estimate, target);
        const Geometry g = geometryAt(syzygy);
        if (std::abs(std::asin(g.moon[2] / norm(g.moon))) < latitudeLimit) {
            const EclipseKind kind = target == 0.0 ? EclipseKind::Solar : EclipseKind::Lunar;
            const double greatest = greatestInstant(kind, syzygy);
            const std::optional<Eclipse> eclipse = eclipseGreatestAt(kind, greatest);
            if (eclipse && greatest >= firstJulianDateTt && greatest <= lastJulianDateTt) {
                found.push_back(*eclipse);
            }
        }
        estimate = syzygy + kSynodicMonthDays / 2.0;
        target = target == 0.0 ? std::numbers::pi : 0.0;
    }
    return found;
}

std::optional<Eclipse> eclipseAt(double julianDateTt) {
    for (const Eclipse& e :
         findEclipses(julianDateTt - kContactWindowDays, julianDateTt + kContactWindowDays)) {
        if (e.firstContactJulianDateTt <= julianDateTt && julianDateTt <= e.lastContactJulianDateTt) {
            return e;
        }
    }
    return std::nullopt;
}

SunAndMoon sunAndMoonFromEarth(double julianDateTt) {
    const Geometry g = geometryAt(julianDateTt);
    return {g.sun, g.moon};
}

double sunlightSeenFrom(const Vec& point, const Vec& sun, const Vec& occulter, double radius) {
    const Vec toSun = sun - point;
    const Vec toOcculter = occulter - point;
    const double sunDistance = norm(toSun);
    const double occulterDistance = norm(toOcculter);
    if (occulterDistance <= radius || occulterDistance >= sunDistance) {
        return occulterDistance <= radius ? 0.0 : 1.0; // inside it, or it stands beyond the Sun
    }
    // Angular radii and separation, then the area the two discs share
    // (flat discs: the angles are small).
    const double sunRadius = std::asin(std::min(1.0, kSunRadiusKm / sunDistance));
    const double occulterRadius = std::asin(radius / occulterDistance);
    const double separation =
        std::acos(std::clamp(dot(toSun, toOcculter) / (sunDistance * occulterDistance), -1.0, 1.0));
    if (separation >= sunRadius + occulterRadius) {
        return 1.0;
    }
    const double sunArea = std::numbers::pi * sunRadius * sunRadius;
    if (separation <= std::abs(sunRadius - occulterRadius)) {
        const double smaller = std::min(sunRadius, occulterRadius);
        return 1.0 - std::numbers::pi * smaller * smaller / sunArea;
    }
    const auto lens = [separation](double r, double other) {
        const double cosine =
            std::clamp((separation * separation + r * r - other * other) / (2.0 * separation * r), -1.0, 1.0);
        return r * r * std::acos(cosine);
    };
    const double kite = 0.5 * std::sqrt(std::max(0.0, (-separation + sunRadius + occulterRadius) *
                                                          (separation + sunRadius - occulterRadius) *
                                                          (separation - sunRadius + occulterRadius) *
                                                          (separation + sunRadius + occulterRadius)));
    const double shared = lens(sunRadius, occulterRadius) + lens(occulterRadius, sunRadius) - kite;
    return std::clamp(1.0 - shared / sunArea, 0.0, 1.0);
}

std::string_view kindName(EclipseKind kind) {
    return kind == EclipseKind::Solar ? "solar" : "lunar";
}

std::string_view typeName(EclipseType type) {
    switch (type) {
    case EclipseType::Total:
        return "total";
    case EclipseType::Annular:
        return "annular";
    case EclipseType::Hybrid:
        return "hybrid";
    case EclipseType::Partial:
        return "partial";
    case EclipseType::Penumbral:
        return "penumbral";
    }
    return "partial";
}

} // namespace caelo::places
