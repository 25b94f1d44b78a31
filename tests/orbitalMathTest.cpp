// The orbital mathematics as pure functions: the elliptic integral and the
// ellipse arc length against numerical quadrature, Kepler's equation against
// its residual, the orbit state against worked examples, the band fraction.
#include "model/orbitalMath.h"

#include "host/services/matrix.h"
#include "model/bodyAxisRotation.h"
#include "model/orbitFrame.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <utility>

namespace caelo {
namespace {

constexpr double kDegree = kPi / 180.0;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Composite Simpson's rule with 4000 panels: good to about 1e-12 for the
// smooth integrands here.
double integrate(const std::function<double(double)>& f, double from, double to) {
    constexpr int kPanels = 4000;
    const double h = (to - from) / kPanels;
    double sum = f(from) + f(to);
    for (int i = 1; i < kPanels; ++i) {
        sum += f(from + i * h) * (i % 2 == 1 ? 4.0 : 2.0);
    }
    return sum * h / 3.0;
}

TEST(EllipticArc, AgreesWithQuadrature) {
    for (double k : {0.0, 0.0167, 0.5, 0.9}) {
        for (double angle : {0.1, 1.0, kHalfPi, 2.0, 3.5, 5.9, -1.0}) {
            const double integral = integrate(
                [k](double t) { return std::sqrt(1.0 - k * k * std::sin(t) * std::sin(t)); }, 0.0, angle);
            EXPECT_NEAR(EllipticE(angle, k, kEllipticTolerance), integral, 1e-11) << k << " " << angle;
            if (angle > 0.0) { // the ellipse x = 3 cos u, y = 3 sqrt(1 - k^2) sin u
                const double arc = integrate(
                    [k](double u) {
                        return 3.0 * std::hypot(std::sin(u), std::sqrt(1.0 - k * k) * std::cos(u));
                    },
                    0.0, angle);
                EXPECT_NEAR(EllipseArcLength(3.0, k, angle, kEllipticTolerance), arc, 1e-10)
                    << k << " " << angle;
            }
        }
    }
}

TEST(EllipticArc, LimitsAndQuadrantEnds) {
    // Provenance: the complete integral E(k = 0.5) (parameter m = 0.25) by the
    // arithmetic-geometric mean, Abramowitz and Stegun 17.6.
    EXPECT_NEAR(EllipticE(kHalfPi, 0.5, kEllipticTolerance), 1.4674622093394272, 1e-15);
    EXPECT_EQ(EllipticE(0.7, 1.0 - 1e-16, kEllipticTolerance), std::sin(0.7));
    EXPECT_EQ(EllipticE(1e-16, 0.5, kEllipticTolerance), 0.0);
    EXPECT_EQ(EllipticE(1e-16, 1e-16, kEllipticTolerance), 1e-16);
    EXPECT_EQ(EllipticE(-1.2, 0.5, kEllipticTolerance), -EllipticE(1.2, 0.5, kEllipticTolerance));
    EXPECT_NEAR(EllipseArcLength(2.0, 1.0, 1.0, kEllipticTolerance), 2.0 * (1.0 - std::cos(1.0)), 1e-15);

    const double quarter = 2.0 * EllipticE(kHalfPi, 0.6, kEllipticTolerance);
    EXPECT_EQ(EllipseArcLength(2.0, 0.6, 0.0, kEllipticTolerance), 0.0);
    EXPECT_EQ(EllipseArcLength(2.0, 0.6, kHalfPi, kEllipticTolerance), quarter);
    const double nearlyFull = EllipseArcLength(2.0, 0.6, std::nextafter(2.0 * kPi, 0.0), kEllipticTolerance);
    EXPECT_LT(nearlyFull, 4.0 * quarter);
    EXPECT_NEAR(nearlyFull, 4.0 * quarter, 1e-12);

    for (double k : {-0.1, 1.5, kNaN}) {
        EXPECT_TRUE(std::isnan(EllipticE(1.0, k, kEllipticTolerance))) << k;
        EXPECT_TRUE(std::isnan(EllipseArcLength(2.0, k, 1.0, kEllipticTolerance))) << k;
    }
    // An angle whose quadrant no integer holds is refused rather than cast.
    for (double theta : {kNaN, std::numeric_limits<double>::infinity(), 1e300}) {
        EXPECT_TRUE(std::isnan(EllipseArcLength(2.0, 0.6, theta, kEllipticTolerance))) << theta;
    }
}

double keplerResidual(double meanAnomaly, double e, double eccentricAnomaly) {
    return std::fabs(eccentricAnomaly - e * std::sin(eccentricAnomaly) - meanAnomaly);
}

TEST(Kepler, SettlesOverTheWholeRangeOfValidElements) {
    for (int i = 0; i <= 99; ++i) {
        for (int j = 0; j < 360; ++j) {
            const double e = 0.01 * i;
            const double meanAnomaly = -kPi + j * kDegree;
            const KeplerSolution s = SolveKepler(meanAnomaly, e);
            ASSERT_LE(s.steps, 12) << "e " << e << " M " << meanAnomaly;
            ASSERT_LT(keplerResidual(meanAnomaly, e, s.eccentricAnomalyRad), 1e-12)
                << "e " << e << " M " << meanAnomaly;
        }
    }
    const KeplerSolution notANumber = SolveKepler(1.0, kNaN);
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

// Worked examples of the orbit state at T = 0, the last the Earth-Moon
// barycentre without rates. The references carry the digits shown and are
// checked to half a unit of their last digit.
TEST(OrbitState, WorkedExamples) {
    struct Case {
        double a, e, inclinationDeg, meanLongitudeDeg, perihelionDeg;
        double meanAnomaly, eccentricAnomaly, x, z, argument, tolerance;
        int steps;
    };
    const Case cases[] = {
        {0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 1},
        {1.0, 0.0, 0.0, 90.0, 0.0, kHalfPi, kHalfPi, 0.0, 1.0, 0.0, 1e-15, 1},
        {1.0, 0.5, 0.0, 90.0, 0.0, kHalfPi, 2.02098, -0.93513, 0.77974, 0.0, 5e-6, 4},
        {1.00000261, 0.01671123, -0.00001531, 100.46457166, 102.93768193, -0.0431639, -0.0438973, 0.982328,
         -0.0438771, 1.7966015, 5e-7, 2},
    };
    for (const Case& c : cases) {
        OrbitAxisRecord r;
        r.mode = kOrbitModeElements;
        r.semiMajorAxis = c.a;
        r.eccentricity = c.e;
        r.inclinationDeg = c.inclinationDeg;
        r.meanLongitudeDeg = c.meanLongitudeDeg;
        r.perihelionLongitudeDeg = c.perihelionDeg;
        const OrbitState s = ComputeOrbitState(r, kJulianDateJ2000);
        SCOPED_TRACE(testing::Message() << "a " << c.a << " e " << c.e);
        EXPECT_TRUE(s.orbitValid);
        EXPECT_EQ(s.keplerSteps, c.steps);
        EXPECT_NEAR(s.meanAnomalyRad, c.meanAnomaly, c.tolerance);
        EXPECT_NEAR(s.eccentricAnomalyRad, c.eccentricAnomaly, c.tolerance);
        EXPECT_NEAR(s.position.x, c.x, c.tolerance);
        EXPECT_EQ(s.position.y, 0.0);
        EXPECT_NEAR(s.position.z, c.z, c.tolerance);
        EXPECT_NEAR(s.perihelionArgumentRad, c.argument, c.tolerance);
    }
}

// The orbit axis's frame: its rotation is the host's for the same angles,
// it carries the orbit-frame place to where the classical formula puts the
// body in the ecliptic (x = r (cos O cos u - sin O sin u cos I), y = r (sin O
// cos u + cos O sin u cos I), z = r sin u sin I, u = w + true anomaly), seen
// in the scene's axes, and its inverse brings that place back.
TEST(OrbitFrame, CarriesTheOrbitPlaceToTheEclipticAndBack) {
    for (const HostVector hpb :
         {HostVector{0.3, -0.4, 0.0}, HostVector{-2.0, 1.1, 0.7}, HostVector{4.0, 0.2, -3.0}}) {
        const HostMatrix ours = rotation::AnglesToMatrix(hpb);
        const host::Matrix hosts = host::anglesToMatrix({hpb.x, hpb.y, hpb.z});
        for (const auto& [a, b] :
             {std::pair{ours.x, hosts.x}, std::pair{ours.y, hosts.y}, std::pair{ours.z, hosts.z}}) {
            EXPECT_NEAR(a.x, b.x, 1e-15);
            EXPECT_NEAR(a.y, b.y, 1e-15);
            EXPECT_NEAR(a.z, b.z, 1e-15);
        }
    }
    OrbitAxisRecord r;
    r.mode = kOrbitModeElements;
    r.semiMajorAxis = 1.52371034; // Mars's elements at J2000
    r.eccentricity = 0.09339410;
    r.inclinationDeg = 1.84969142;
    r.meanLongitudeDeg = -4.55343205;
    r.perihelionLongitudeDeg = -23.94362959;
    r.nodeLongitudeDeg = 49.55953891;
    const OrbitState s = ComputeOrbitState(r, kJulianDateJ2000 + 1234.5);
    ASSERT_TRUE(s.orbitValid);
    const HostMatrix frame = OrbitFrameRotation(s);
    const HostVector scene = rotation::TransformPoint(frame, s.position);
    const double radius = std::hypot(s.position.x, s.position.z);
    const double u = s.perihelionArgumentRad + std::atan2(s.position.z, s.position.x);
    const double o = s.nodeLongitudeRad;
    const double i = s.inclinationRad;
    const HostVector classical =
        SceneAxesOfEcliptic({radius * (std::cos(o) * std::cos(u) - std::sin(o) * std::sin(u) * std::cos(i)),
                             radius * (std::sin(o) * std::cos(u) + std::cos(o) * std::sin(u) * std::cos(i)),
                             radius * std::sin(u) * std::sin(i)});
    EXPECT_NEAR(scene.x, classical.x, 1e-12);
    EXPECT_NEAR(scene.y, classical.y, 1e-12);
    EXPECT_NEAR(scene.z, classical.z, 1e-12);
    const HostVector back = PlaceInOrbitFrame(s, scene);
    EXPECT_NEAR(back.x, s.position.x, 1e-12);
    EXPECT_NEAR(back.y, s.position.y, 1e-12);
    EXPECT_NEAR(back.z, s.position.z, 1e-12);
}

TEST(OrbitState, ReductionRatesAndCorrectionTerms) {
    OrbitAxisRecord r;
    r.mode = kOrbitModeElements;
    r.epochJd = 2400000.0;
    r.meanLongitudeDeg = 190.0; // reduces to -170
    EXPECT_NEAR(ComputeOrbitState(r, r.epochJd).meanAnomalyRad, -170.0 * kDegree, 1e-14);

    r.nodeLongitudeDeg = 350.0;
    r.nodeLongitudeRateDeg = 50.0; // 400 a century later
    r.inclinationRateDeg = -400.0;
    r.termBDeg = 1.0;
    r.termCDeg = 2.0;
    r.termSDeg = 3.0;
    r.termFDeg = 90.0;
    const double century = r.epochJd + kDaysPerJulianCentury;
    const OrbitState withoutTerms = ComputeOrbitState(r, century);
    r.mode = kOrbitModeElementsExtended;
    const OrbitState s = ComputeOrbitState(r, century);
    EXPECT_NEAR(s.nodeLongitudeRad, 40.0 * kDegree, 1e-14);
    EXPECT_NEAR(s.inclinationRad, -40.0 * kDegree, 1e-14); // the remainder keeps the sign
    EXPECT_NEAR(s.perihelionArgumentRad, -40.0 * kDegree, 1e-14);
    // 190 + b T^2 + c cos(f T) + s sin(f T) = 194 degrees at T = 1.
    EXPECT_NEAR(s.meanAnomalyRad, -166.0 * kDegree, 1e-13);
    r.termBDeg = r.termCDeg = r.termSDeg = r.termFDeg = 0.0;
    EXPECT_EQ(ComputeOrbitState(r, century).meanAnomalyRad, withoutTerms.meanAnomalyRad);
}

TEST(OrbitState, ModeZeroAndInvalidInputSolveNothing) {
    OrbitAxisRecord r;
    r.eccentricity = 5.0; // mode 0 never reads it
    r.inclinationDeg = 30.0;
    OrbitState s = ComputeOrbitState(r, kJulianDateJ2000);
    EXPECT_TRUE(s.frameValid);
    EXPECT_FALSE(s.orbitValid);
    EXPECT_EQ(s.keplerSteps, 0);
    EXPECT_NEAR(s.inclinationRad, 30.0 * kDegree, 1e-15);

    r.mode = kOrbitModeElements;
    for (double e : {1.0, 5.0, -0.1}) {
        r.eccentricity = e;
        EXPECT_FALSE(ComputeOrbitState(r, kJulianDateJ2000).orbitValid) << e;
    }
    r.eccentricity = 0.5;
    r.eccentricityRate = 0.6; // 1.1 a century later
    EXPECT_FALSE(ComputeOrbitState(r, kJulianDateJ2000 + kDaysPerJulianCentury).orbitValid);
    s = ComputeOrbitState(r, std::numeric_limits<double>::infinity());
    EXPECT_FALSE(s.frameValid);
    EXPECT_FALSE(s.orbitValid);
}

TEST(ArcLengthFraction, ByAngleAndByArc) {
    struct Case {
        int32_t spacing;
        double a, e, anomaly, fraction;
    };
    const Case cases[] = {
        {kBandSpacingMeanAngle, 2.0, 0.3, -kHalfPi, -0.25},
        {kBandSpacingEccentricAngle, 2.0, 0.3, kHalfPi, 0.25},
        {kBandSpacingMeanArc, 2.0, 0.0, -kHalfPi, 0.75},
        {kBandSpacingEccentricArc, 2.0, 0.5, kHalfPi, 0.25},
        {kBandSpacingEccentricArc, 2.0, 0.5, -kPi, 0.5},
        {kBandSpacingMeanArc, 0.0, 0.3, 1.0, 0.0},
        {-1, 2.0, 0.3, 1.0, 0.0},
        {4, 2.0, 0.3, 1.0, 0.0},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(ArcLengthFraction(c.spacing, c.a, c.e, c.anomaly), c.fraction, 1e-15)
            << "choice " << c.spacing << " a " << c.a << " anomaly " << c.anomaly;
    }
}

} // namespace
} // namespace caelo
