#include "model/orbitalMath.h"

#include "model/finiteValues.h"

#include <cmath>
#include <limits>

namespace caelo {

namespace {

/* Quadrant indices beyond this do not fit the 64-bit integer the quadrant is
 * taken as. */
constexpr double kMaxQuadrant = 4.0e18;

[[nodiscard]] double QuietNaN() {
    return std::numeric_limits<double>::quiet_NaN();
}

/* An element's value T Julian centuries after its epoch. */
[[nodiscard]] double AtCenturies(double valueAtEpoch, double ratePerCentury, double centuries) {
    return valueAtEpoch + ratePerCentury * centuries;
}

/* M reduced to [-pi, pi). */
[[nodiscard]] double ReduceAnomaly(double anomalyRad) {
    return anomalyRad - std::floor((anomalyRad + kPi) / kTwoPi) * kTwoPi;
}

/* The mean anomaly at T centuries (radians, unreduced); mode 2 adds the
 * correction terms for long time spans. */
[[nodiscard]] double MeanAnomaly(const OrbitAxisRecord& record, double centuries,
                                 double perihelionLongitudeRad) {
    double meanAnomaly =
        AtCenturies(record.meanLongitudeDeg, record.meanLongitudeRateDeg, centuries) * kRadiansPerDegree -
        perihelionLongitudeRad;
    if (record.mode == kOrbitModeElementsExtended) {
        const double f = record.termFDeg * kRadiansPerDegree * centuries;
        meanAnomaly += record.termCDeg * kRadiansPerDegree * std::cos(f) +
                       record.termBDeg * kRadiansPerDegree * centuries * centuries +
                       record.termSDeg * kRadiansPerDegree * std::sin(f);
    }
    return meanAnomaly;
}

} // namespace

double EllipticE(double phi, double k, double tol) {
    if (!(k >= 0.0 && k <= 1.0)) {
        return QuietNaN();
    }
    if (k < tol) {
        return phi;
    }
    if (k > 1.0 - tol) {
        return std::sin(phi);
    }
    if (std::fabs(phi) <= tol) {
        return 0.0;
    }
    const double sinPhi = std::sin(phi);
    const double cosPhi = std::cos(phi);
    double n = 2.0;
    double integral = phi; /* I_(n-2) */
    double coefficient = 1.0;
    double sum = 0.0;
    for (int32_t terms = 0; terms < kEllipticMaxTerms; ++terms) {
        const double nextIntegral = ((n - 1.0) * integral - std::pow(sinPhi, n - 1.0) * cosPhi) / n;
        const double nextCoefficient = coefficient * (n - 3.0) / n * k * k;
        sum += integral * coefficient;
        n += 2.0;
        if (std::fabs(nextIntegral * nextCoefficient) <= tol) {
            break;
        }
        integral = nextIntegral;
        coefficient = nextCoefficient;
    }
    return sum;
}

double EllipseArcLength(double a, double k, double theta, double /*tol*/) {
    const double quarter = std::floor(theta / kHalfPi);
    if (!(std::fabs(quarter) < kMaxQuadrant)) {
        return QuietNaN();
    }
    const double complete = EllipticE(kHalfPi, k, kEllipticTolerance);
    const auto quadrant = static_cast<int64_t>(quarter);
    const double withinQuadrant = std::fmod(theta, kHalfPi);
    /* Quadrants 1 and 3 run from the end of the minor axis; 0 and 2 are
     * measured back from it. */
    const double partial =
        (quadrant & ~int64_t{2}) != 0
            ? a * EllipticE(withinQuadrant, k, kEllipticTolerance)
            : a * complete - a * EllipticE(kHalfPi - withinQuadrant, k, kEllipticTolerance);
    return partial + static_cast<double>(quadrant) * (a * complete);
}

KeplerSolution SolveKepler(double meanAnomalyRad, double eccentricity) {
    /* f(E) = E - e sin E - M grows monotonically for e < 1, and its root lies
     * within e of M because |E - M| = e |sin E|. The bracket is widened by the
     * tolerance so that Newton's steps still reach a root on its edge (at
     * E = +-pi/2) when rounding puts them just outside. */
    double lower = meanAnomalyRad - eccentricity - kKeplerToleranceRad;
    double upper = meanAnomalyRad + eccentricity + kKeplerToleranceRad;
    KeplerSolution solution{meanAnomalyRad, 0};
    double& anomaly = solution.eccentricAnomalyRad;
    while (solution.steps < kKeplerMaxSteps) {
        const double residual = meanAnomalyRad - (anomaly - eccentricity * std::sin(anomaly)); /* -f(E) */
        if (residual > 0.0) {
            lower = anomaly;
        } else if (residual < 0.0) {
            upper = anomaly;
        }
        double step = residual / (1.0 - eccentricity * std::cos(anomaly));
        const double newton = anomaly + step;
        /* A Newton step that leaves the bracket (near e = 1 it may be thrown
         * far off where the derivative nearly vanishes) halves the bracket
         * instead. */
        if (!(newton >= lower && newton <= upper)) {
            step = 0.5 * (lower + upper) - anomaly;
        }
        anomaly += step;
        ++solution.steps;
        /* Also false for a step that is not a number. */
        if (!(std::fabs(step) > kKeplerToleranceRad)) {
            break;
        }
    }
    return solution;
}

OrbitState ComputeOrbitState(const OrbitAxisRecord& record, double jd) {
    OrbitState state;
    const double centuries = (jd - record.epochJd) / kDaysPerJulianCentury;
    const double inclination =
        AtCenturies(record.inclinationDeg, record.inclinationRateDeg, centuries) * kRadiansPerDegree;
    const double nodeLongitude =
        AtCenturies(record.nodeLongitudeDeg, record.nodeLongitudeRateDeg, centuries) * kRadiansPerDegree;
    const double perihelionLongitude =
        AtCenturies(record.perihelionLongitudeDeg, record.perihelionLongitudeRateDeg, centuries) *
        kRadiansPerDegree;
    state.inclinationRad = std::fmod(inclination, kTwoPi);
    state.nodeLongitudeRad = std::fmod(nodeLongitude, kTwoPi);
    state.perihelionArgumentRad = std::fmod(perihelionLongitude - nodeLongitude, kTwoPi);
    state.frameValid = std::isfinite(state.inclinationRad) && std::isfinite(state.nodeLongitudeRad) &&
                       std::isfinite(state.perihelionArgumentRad);
    if (record.mode == kOrbitModeOrientation) {
        return state;
    }

    state.meanAnomalyRad = ReduceAnomaly(MeanAnomaly(record, centuries, perihelionLongitude));
    state.eccentricity = AtCenturies(record.eccentricity, record.eccentricityRate, centuries);
    state.semiMajorAxis = AtCenturies(record.semiMajorAxis, record.semiMajorAxisRate, centuries);
    /* An eccentricity of 1 or more is no ellipse: Newton's method would not
     * settle and the position would take the square root of a negative. */
    if (!(state.eccentricity >= 0.0 && state.eccentricity < 1.0)) {
        return state;
    }
    const KeplerSolution kepler = SolveKepler(state.meanAnomalyRad, state.eccentricity);
    state.eccentricAnomalyRad = kepler.eccentricAnomalyRad;
    state.keplerSteps = kepler.steps;
    const double e = state.eccentricity;
    const double a = state.semiMajorAxis;
    const double eccentricAnomaly = state.eccentricAnomalyRad;
    state.position = {(std::cos(eccentricAnomaly) - e) * a, 0.0,
                      std::sqrt(1.0 - e * e) * a * std::sin(eccentricAnomaly)};
    state.orbitValid = std::isfinite(state.meanAnomalyRad) && std::isfinite(eccentricAnomaly) &&
                       IsFiniteVector(state.position);
    return state;
}

OrbitEllipse OrbitEllipseFromJ2000(const OrbitAxisRecord& record, double jd) {
    const double centuries = (jd - kJulianDateJ2000) / kDaysPerJulianCentury;
    return {AtCenturies(record.semiMajorAxis, record.semiMajorAxisRate, centuries),
            AtCenturies(record.eccentricity, record.eccentricityRate, centuries)};
}

double ArcLengthFraction(int32_t spacing, double a, double e, double anomaly) {
    switch (spacing) {
    case kBandSpacingMeanAngle:
    case kBandSpacingEccentricAngle:
        return anomaly / kTwoPi;
    case kBandSpacingMeanArc:
    case kBandSpacingEccentricArc: {
        const double perimeter = 4.0 * a * EllipticE(kHalfPi, e, kEllipticTolerance);
        const double arc = EllipseArcLength(a, e, std::fmod(anomaly + kTwoPi, kTwoPi), kEllipticTolerance);
        return perimeter == 0.0 ? 0.0 * arc : arc / perimeter;
    }
    default:
        return 0.0;
    }
}

} // namespace caelo
