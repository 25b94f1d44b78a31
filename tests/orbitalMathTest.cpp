// The orbital mathematics as pure functions: the elliptic integral and the
// ellipse arc length against numerical quadrature, Kepler's equation against
// its residual, the orbit state against worked examples, and the band
// fraction.
#include "orbitalMath.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace caelo {
namespace {

constexpr double kDegree = kPi / 180.0;

// Composite Simpson's rule with 4000 panels, accurate to about 1e-12 for the
// smooth integrands used here.
double integrate(const std::function<double(double)>& f, double from, double to) {
    constexpr int kPanels = 4000;
    const double h = (to - from) / kPanels;
    double sum = f(from) + f(to);
    for (int i = 1; i < kPanels; ++i) {
        sum += f(from + i * h) * (i % 2 == 1 ? 4.0 : 2.0);
    }
    return sum * h / 3.0;
}

TEST(EllipticE, AgreesWithQuadrature) {
    for (double k : {0.0167, 0.25, 0.5, 0.9}) {
        for (double phi : {0.1, 1.0, kHalfPi, 2.5, -1.0}) {
            const double want = integrate(
                [k](double t) { return std::sqrt(1.0 - k * k * std::sin(t) * std::sin(t)); }, 0.0, phi);
            EXPECT_NEAR(EllipticE(phi, k, kEllipticTolerance), want, 1e-11) << "k " << k << " phi " << phi;
        }
    }
}

TEST(EllipticE, DegenerateModuliAndAmplitudes) {
    // Provenance: E(k = 0.5), the complete integral with parameter m = 0.25,
    // by the arithmetic-geometric mean (Abramowitz and Stegun 17.6).
    EXPECT_NEAR(EllipticE(kHalfPi, 0.5, kEllipticTolerance), 1.4674622093394272, 1e-15);
    EXPECT_EQ(EllipticE(0.7, 0.0, kEllipticTolerance), 0.7);
    EXPECT_EQ(EllipticE(0.7, 1.0, kEllipticTolerance), std::sin(0.7));
    EXPECT_EQ(EllipticE(0.7, 1.0 - 1e-16, kEllipticTolerance), std::sin(0.7));
    EXPECT_EQ(EllipticE(1e-16, 0.5, kEllipticTolerance), 0.0);
    EXPECT_EQ(EllipticE(1e-16, 1e-16, kEllipticTolerance), 1e-16);
    EXPECT_EQ(EllipticE(-1.2, 0.5, kEllipticTolerance), -EllipticE(1.2, 0.5, kEllipticTolerance));
    for (double k : {-0.1, 1.5, std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_TRUE(std::isnan(EllipticE(1.0, k, kEllipticTolerance))) << k;
        EXPECT_TRUE(std::isnan(EllipseArcLength(2.0, k, 1.0, kEllipticTolerance))) << k;
    }
}

TEST(EllipseArcLength, AgreesWithQuadratureInEveryQuadrant) {
    constexpr double a = 3.0;
    for (double k : {0.0, 0.2, 0.6, 0.9}) {
        for (double theta : {0.3, 1.2, 2.0, 3.5, 4.0, 5.9}) {
            const double want = integrate(
                [k](double u) {
                    return a *
                           std::sqrt(std::sin(u) * std::sin(u) + (1.0 - k * k) * std::cos(u) * std::cos(u));
                },
                0.0, theta);
            EXPECT_NEAR(EllipseArcLength(a, k, theta, kEllipticTolerance), want, 1e-9) << k << " " << theta;
        }
    }
}

TEST(EllipseArcLength, QuadrantEndsAndLimits) {
    constexpr double a = 2.0;
    const double quarter = a * EllipticE(kHalfPi, 0.6, kEllipticTolerance);
    EXPECT_EQ(EllipseArcLength(a, 0.6, 0.0, kEllipticTolerance), 0.0);
    EXPECT_EQ(EllipseArcLength(a, 0.6, kHalfPi, kEllipticTolerance), quarter);
    const double nearlyFull = EllipseArcLength(a, 0.6, std::nextafter(kTwoPi, 0.0), kEllipticTolerance);
    EXPECT_LT(nearlyFull, 4.0 * quarter);
    EXPECT_NEAR(nearlyFull, 4.0 * quarter, 1e-12);
    EXPECT_NEAR(EllipseArcLength(a, 0.0, 4.0, kEllipticTolerance), a * 4.0, 1e-12); // a circle
    EXPECT_NEAR(EllipseArcLength(a, 1.0, 1.0, kEllipticTolerance), a * (1.0 - std::cos(1.0)), 1e-15);
    // An angle whose quadrant no integer holds is refused rather than cast.
    for (double theta :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 1e300}) {
        EXPECT_TRUE(std::isnan(EllipseArcLength(a, 0.6, theta, kEllipticTolerance))) << theta;
    }
}

double keplerResidual(double meanAnomaly, double e, double eccentricAnomaly) {
    return std::fabs(eccentricAnomaly - e * std::sin(eccentricAnomaly) - meanAnomaly);
}

TEST(Kepler, SettlesOverTheWholeRangeOfValidElements) {
    for (int i = 0; i <= 99; ++i) {
        const double e = 0.01 * i;
        for (int j = 0; j < 360; ++j) {
            const double meanAnomaly = -kPi + j * kDegree;
            const KeplerSolution s = SolveKepler(meanAnomaly, e);
            ASSERT_LE(s.steps, 12) << "e " << e << " M " << meanAnomaly;
            ASSERT_LT(keplerResidual(meanAnomaly, e, s.eccentricAnomalyRad), 1e-12)
                << "e " << e << " M " << meanAnomaly;
        }
    }
    const KeplerSolution notANumber = SolveKepler(1.0, std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(notANumber.steps, 1);
    EXPECT_TRUE(std::isnan(notANumber.eccentricAnomalyRad));
}

// Newton's method started from E = M threw E to about 1e18 here and took 999
// steps to come back.
TEST(Kepler, NewtonFromMeanAnomalyNoLongerWandersNearUnitEccentricity) {
    const double meanAnomaly = 0.43353978619539113;
    const KeplerSolution s = SolveKepler(meanAnomaly, 0.99);
    EXPECT_LE(s.steps, 12);
    EXPECT_LT(keplerResidual(meanAnomaly, 0.99, s.eccentricAnomalyRad), 1e-12);
}

// Worked examples of the orbit state; reference values are given to the
// digits shown, so each is checked to half a unit of its last digit.
TEST(OrbitState, WorkedExamples) {
    OrbitAxisRecord circle;
    circle.mode = kOrbitModeElements;
    circle.semiMajorAxis = 1.0;
    circle.meanLongitudeDeg = 90.0;
    OrbitState s = ComputeOrbitState(circle, kJulianDateJ2000);
    ASSERT_TRUE(s.orbitValid);
    EXPECT_DOUBLE_EQ(s.meanAnomalyRad, kHalfPi);
    EXPECT_DOUBLE_EQ(s.eccentricAnomalyRad, kHalfPi);
    EXPECT_NEAR(s.position.x, 0.0, 1e-15);
    EXPECT_EQ(s.position.z, 1.0);

    OrbitAxisRecord half = circle;
    half.eccentricity = 0.5;
    s = ComputeOrbitState(half, kJulianDateJ2000);
    EXPECT_EQ(s.keplerSteps, 4);
    EXPECT_NEAR(s.eccentricAnomalyRad, 2.02098, 5e-6);
    EXPECT_NEAR(s.position.x, -0.93513, 5e-6);
    EXPECT_EQ(s.position.y, 0.0);
    EXPECT_NEAR(s.position.z, 0.77974, 5e-6);

    // The Earth-Moon barycentre at J2000.0, rates left out.
    OrbitAxisRecord barycentre;
    barycentre.mode = kOrbitModeElements;
    barycentre.semiMajorAxis = 1.00000261;
    barycentre.eccentricity = 0.01671123;
    barycentre.inclinationDeg = -0.00001531;
    barycentre.meanLongitudeDeg = 100.46457166;
    barycentre.perihelionLongitudeDeg = 102.93768193;
    s = ComputeOrbitState(barycentre, kJulianDateJ2000);
    EXPECT_NEAR(s.meanAnomalyRad, -0.0431639, 5e-8);
    EXPECT_EQ(s.keplerSteps, 2);
    EXPECT_NEAR(s.eccentricAnomalyRad, -0.0438973, 5e-8);
    EXPECT_NEAR(s.position.x, 0.982328, 5e-7);
    EXPECT_NEAR(s.position.z, -0.0438771, 5e-8);
    EXPECT_NEAR(s.perihelionArgumentRad, 1.7966015, 5e-8);

    OrbitAxisRecord zero;
    zero.mode = kOrbitModeElements;
    s = ComputeOrbitState(zero, kJulianDateJ2000);
    EXPECT_TRUE(s.orbitValid);
    EXPECT_EQ(s.position.x, 0.0);
    EXPECT_EQ(s.position.z, 0.0);
    EXPECT_EQ(s.inclinationRad, 0.0);
}

TEST(OrbitState, AnglesAndTermsAtACenturyFromTheEpoch) {
    OrbitAxisRecord r;
    r.mode = kOrbitModeElements;
    r.epochJd = 2400000.0;
    r.meanLongitudeDeg = 190.0; // M = 190 degrees reduces to -170
    r.nodeLongitudeDeg = 350.0;
    r.nodeLongitudeRateDeg = 50.0; // 400 degrees after a century
    r.inclinationRateDeg = -400.0;
    r.termBDeg = 1.0;
    r.termCDeg = 2.0;
    r.termSDeg = 3.0;
    r.termFDeg = 90.0; // F = 90 degrees after a century
    const double century = r.epochJd + kDaysPerJulianCentury;
    OrbitState s = ComputeOrbitState(r, r.epochJd);
    EXPECT_NEAR(s.meanAnomalyRad, -170.0 * kDegree, 1e-14);
    r.mode = kOrbitModeElementsExtended;
    s = ComputeOrbitState(r, century);
    EXPECT_NEAR(s.nodeLongitudeRad, 40.0 * kDegree, 1e-14);
    EXPECT_NEAR(s.inclinationRad, -40.0 * kDegree, 1e-14); // the remainder keeps the sign
    EXPECT_NEAR(s.perihelionArgumentRad, -40.0 * kDegree, 1e-14);
    // 190 + b + c cos F + s sin F = 194 degrees, reduced by a turn.
    EXPECT_NEAR(s.meanAnomalyRad, -166.0 * kDegree, 1e-13);

    // Mode 2 without terms is mode 1.
    r.termBDeg = r.termCDeg = r.termSDeg = r.termFDeg = 0.0;
    const OrbitState extended = ComputeOrbitState(r, century);
    r.mode = kOrbitModeElements;
    EXPECT_EQ(ComputeOrbitState(r, century).meanAnomalyRad, extended.meanAnomalyRad);
}

TEST(OrbitState, ModeZeroAndInvalidInputSolveNothing) {
    OrbitAxisRecord r;
    r.eccentricity = 5.0; // mode 0 never reads it
    r.semiMajorAxis = 7.0;
    r.inclinationDeg = 30.0;
    OrbitState s = ComputeOrbitState(r, kJulianDateJ2000);
    EXPECT_TRUE(s.frameValid);
    EXPECT_FALSE(s.orbitValid);
    EXPECT_EQ(s.keplerSteps, 0);
    EXPECT_NEAR(s.inclinationRad, 30.0 * kDegree, 1e-15);

    r.mode = kOrbitModeElements;
    for (double e : {1.0, 5.0, -0.1}) {
        r.eccentricity = e;
        s = ComputeOrbitState(r, kJulianDateJ2000);
        EXPECT_TRUE(s.frameValid) << e;
        EXPECT_FALSE(s.orbitValid) << e;
    }
    r.eccentricity = 0.5;
    r.eccentricityRate = 0.6; // e reaches 1.1 a century later
    EXPECT_FALSE(ComputeOrbitState(r, kJulianDateJ2000 + kDaysPerJulianCentury).orbitValid);
    s = ComputeOrbitState(r, std::numeric_limits<double>::infinity());
    EXPECT_FALSE(s.frameValid);
    EXPECT_FALSE(s.orbitValid);
}

TEST(ArcLengthFraction, ByAngleAndByArc) {
    struct Case {
        int32_t spacing;
        double e, anomaly, fraction;
    };
    const Case cases[] = {
        {kBandSpacingMeanAngle, 0.3, -kHalfPi, -0.25},
        {kBandSpacingEccentricAngle, 0.3, kHalfPi, 0.25},
        {kBandSpacingMeanArc, 0.0, -kHalfPi, 0.75},
        {kBandSpacingEccentricArc, 0.5, kHalfPi, 0.25},
        {kBandSpacingEccentricArc, 0.5, -kPi, 0.5},
        {-1, 0.3, 1.0, 0.0},
        {4, 0.3, 1.0, 0.0},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(ArcLengthFraction(c.spacing, 2.0, c.e, c.anomaly), c.fraction, 1e-15)
            << "choice " << c.spacing << " anomaly " << c.anomaly;
    }
    EXPECT_EQ(ArcLengthFraction(kBandSpacingMeanArc, 0.0, 0.3, 1.0), 0.0); // no perimeter
}

} // namespace
} // namespace caelo
