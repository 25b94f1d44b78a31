/*
 * Orbital mathematics: the elliptic integral of the second kind and the arc
 * length of an ellipse, the bounded solution of Kepler's equation, and the
 * orbit state of an orbit axis's elements at a Julian Date.
 *
 * Everything here is a pure function of its arguments: no state, no
 * allocation, no host calls, safe on any thread.
 */
#ifndef CAELO_MODEL_ORBITAL_MATH_H
#define CAELO_MODEL_ORBITAL_MATH_H

#include "interface/hostInterface.h"
#include "model/moduleIds.h"
#include "model/units.h"

#include <cstdint>
#include <optional>

namespace caelo {

/* ---- Constants ---------------------------------------------------------- */

/* Tolerance every caller passes to the elliptic integral. */
inline constexpr double kEllipticTolerance = 1e-15;
/* Most terms the elliptic-integral series adds before it returns its
 * partial sum. */
inline constexpr int32_t kEllipticMaxTerms = 3000;

/* Newton's method for Kepler's equation stops once a step is no larger than
 * this (radians). */
inline constexpr double kKeplerToleranceRad = 1e-6;
/* Most steps for Kepler's equation. Every eccentricity in [0, 0.99] with
 * every mean anomaly in [-pi, pi) settles within 12 steps, eccentricities
 * within 1e-12 of 1 with mean anomalies near 0 within about 25, where
 * halving the bracket does most of the work. */
inline constexpr int32_t kKeplerMaxSteps = 50;

/* ---- Elliptic arc length ------------------------------------------------ */

/*
 * The incomplete elliptic integral of the second kind,
 * E(phi, k) = integral from 0 to phi of sqrt(1 - k^2 sin^2 t) dt.
 *
 * Given:  phi  amplitude, radians (any sign)
 *         k    modulus, in [0, 1] (the orbit eccentricity)
 *         tol  tolerance: the series stops once a term is no larger
 * Returns E(phi, k), dimensionless (the arc of an ellipse with semi-major
 * axis 1, measured from the end of its minor axis).
 *
 * Notes:
 * 1. k outside [0, 1], or not a number: a quiet NaN.
 * 2. k < tol gives phi (a circle); k > 1 - tol gives sin(phi), which is
 *    E(phi, 1) for |phi| <= pi/2; |phi| <= tol otherwise gives 0.
 * 3. Otherwise the power series E = sum over j of c_j k^(2j) I_(2j), with
 *    I_n the integral of sin^n from 0 to phi (I_0 = phi, I_n = ((n - 1)
 *    I_(n-2) - sin^(n-1)(phi) cos(phi)) / n) and c_0 = 1, c_j = c_(j-1)
 *    (2j - 3) / (2j): the binomial series of sqrt(1 - k^2 sin^2 t)
 *    integrated term by term, with the integrals of sin^n from their
 *    reduction formula (integration by parts).
 * 4. At tol = 1e-15 the complete integral needs about 4 terms for k =
 *    0.0167, 20 for k = 0.5 and a thousand for k = 0.99; the sum is
 *    returned after kEllipticMaxTerms terms at most, without a report. For
 *    k up to 0.9 the result agrees with numerical quadrature to 1e-11 and
 *    E(pi/2, 0.5) with its tabulated value to 1e-15.
 * 5. A negative phi gives the odd-symmetric value -E(-phi, k).
 */
[[nodiscard]] double EllipticE(double phi, double k, double tol);

/*
 * Arc length of the ellipse x = a cos u, y = a sqrt(1 - k^2) sin u from the
 * end of the major axis (u = 0) to u = theta.
 *
 * Given:  a      semi-major axis, any length unit
 *         k      eccentricity, in [0, 1]
 *         theta  parameter angle u, radians, expected in [0, 2 pi)
 *         tol    accepted and ignored: the integral is always evaluated at
 *                kEllipticTolerance
 * Returns the arc length in the unit of a.
 *
 * Notes:
 * 1. With K = E(pi/2, k), the quarter perimeter of the unit ellipse, and
 *    theta split into the quadrant q = floor(theta / (pi/2)) and the angle r
 *    within it, quadrants 1 and 3 add a E(r, k) and quadrants 0 and 2 add
 *    a K - a E(pi/2 - r, k) (the arc measured back from the quadrant's end,
 *    by the ellipse's symmetry), to q a K.
 * 2. theta = pi/2 gives exactly a K; theta just below 2 pi gives just below
 *    the perimeter 4 a K.
 * 3. k outside [0, 1] gives NaN; so does a theta that is not finite or so
 *    large that its quadrant does not fit a 64-bit integer.
 */
[[nodiscard]] double EllipseArcLength(double a, double k, double theta, double tol);

/* ---- Kepler's equation ---------------------------------------------------- */

struct KeplerSolution {
    double eccentricAnomalyRad;
    int32_t steps; /* steps taken */
};

/*
 * Solves Kepler's equation M = E - e sin E for the eccentric anomaly E by
 * Newton's method started from E = M, safeguarded by a bracket.
 *
 * Given:  meanAnomalyRad  M, radians, reduced to [-pi, pi)
 *         eccentricity    e, in [0, 1)
 * Returns E in radians and the number of steps taken.
 *
 * Notes:
 * 1. Each step is the Newton step dE = (M - (E - e sin E)) / (1 - e cos E),
 *    E = E + dE; the iteration stops after the first step with |dE| <=
 *    kKeplerToleranceRad, so at least one step is made.
 * 2. Plain Newton's method from E = M does not settle for every
 *    eccentricity: from e = 0.975 on, a first step taken where 1 - e cos E
 *    nearly vanishes throws E far off, and the iterates wander. The root lies
 *    in [M - e, M + e]; that bracket narrows with every evaluated E, and a
 *    Newton step that would leave it moves to the bracket's middle instead
 *    (Newton's method safeguarded by bisection: Press et al., Numerical
 *    Recipes, 3rd ed., 9.4). Inside the bracket the steps are plain
 *    Newton's, so for e = 0.5 and M = pi/2 it stops after 4 steps with
 *    E = 2.02098, and the residual |E - e sin E - M| ends below 1e-12.
 * 3. A step that is not a number ends the iteration (E is then NaN), and no
 *    more than kKeplerMaxSteps steps are made.
 */
[[nodiscard]] KeplerSolution SolveKepler(double meanAnomalyRad, double eccentricity);

/* ---- Orbit elements and state -------------------------------------------- */

/* The settings of one orbit axis, copied and handed over as one block; the
 * field order is part of the interface with the presets and the body axis.
 * "Unit of a" is the au, or the kilometre when kmFlag is set; rates are per
 * Julian century. */
struct OrbitAxisRecord {
    double semiMajorAxis = 0.0;              /* a at epoch, unit of a */
    double semiMajorAxisRate = 0.0;          /* unit of a per century */
    double eccentricity = 0.0;               /* e at epoch */
    double eccentricityRate = 0.0;           /* per century */
    double inclinationDeg = 0.0;             /* I at epoch */
    double inclinationRateDeg = 0.0;         /* degrees per century */
    double meanLongitudeDeg = 0.0;           /* L at epoch */
    double meanLongitudeRateDeg = 0.0;       /* degrees per century */
    double perihelionLongitudeDeg = 0.0;     /* varpi at epoch */
    double perihelionLongitudeRateDeg = 0.0; /* degrees per century */
    double nodeLongitudeDeg = 0.0;           /* Omega at epoch */
    double nodeLongitudeRateDeg = 0.0;       /* degrees per century */
    double termBDeg = 0.0;                   /* b, degrees per century squared */
    double termCDeg = 0.0;                   /* c, degrees */
    double termSDeg = 0.0;                   /* s, degrees */
    double termFDeg = 0.0;                   /* f, degrees per century */
    double bandWidth = 0.0;                  /* unit of a */
    double bandHeight = 0.0;                 /* unit of a */
    double bandEndSize = 1.0;                /* profile factor at both band ends */
    double bandLengthDeg = 360.0;            /* angular length of the band */
    int32_t bandSpacing = 0;                 /* 0 to 3: parameter value - 1250 */
    double auxDate1Jd = kJulianDateJ2000;    /* start of validity */
    double auxDate2Jd = kJulianDateJ2000;    /* end of validity */
    double epochJd = kJulianDateJ2000;
    int32_t mode = 0;    /* 0 to 4: parameter value - 1200 */
    bool kmFlag = false; /* a and band sizes in kilometres */
    int32_t theory = 0;  /* mode 4: parameter value - 1300 (theoryPlaces.h) */
};

/* The orbit of an orbit axis's elements at one Julian Date. */
struct OrbitState {
    /* The orbit frame, radians, each reduced by fmod to (-2 pi, 2 pi). */
    double inclinationRad = 0.0;        /* I */
    double nodeLongitudeRad = 0.0;      /* Omega */
    double perihelionArgumentRad = 0.0; /* omega = varpi - Omega */
    /* False when a frame angle is not finite (e.g. a non-finite date). */
    bool frameValid = false;

    /* Modes other than 0: the ellipse state. */
    double semiMajorAxis = 0.0; /* unit of a */
    double eccentricity = 0.0;
    double meanAnomalyRad = 0.0;      /* M, in [-pi, pi) */
    double eccentricAnomalyRad = 0.0; /* E */
    int32_t keplerSteps = 0;
    /* The position in the orbit plane, unit of a: the local XZ plane of the
     * orbit axis, the central body at the origin (a focus), perihelion on +X,
     * the body moving from +X towards +Z; Y is the orbit normal. */
    HostVector position = {0.0, 0.0, 0.0};
    /* True in modes other than 0 when e is in [0, 1) and the ellipse state
     * and position are finite. */
    bool orbitValid = false;
};

/*
 * The orbit state of an orbit axis's elements at a Julian Date.
 *
 * Given:  record  the elements, their rates per Julian century, epoch and
 *                 mode
 *         jd      Julian Date
 * Returns the frame angles and, in modes other than 0, the ellipse state and
 * the orbit-plane position.
 *
 * Notes:
 * 1. T = (jd - epoch) / 36525 Julian centuries. Every element is its value at
 *    the epoch plus its rate times T; the mean anomaly is M = L - varpi,
 *    with, in mode 2, the correction b T^2 + c cos(f T) + s sin(f T) for
 *    long time spans, reduced to [-pi, pi).
 * 2. Mode 0 reads only I, varpi and Omega with their rates; a, e, L and the
 *    correction terms are not read and orbitValid is false.
 * 3. An eccentricity at T outside [0, 1) leaves orbitValid false: the
 *    ellipse state and position are then not to be used.
 *
 * Reference: E. M. Standish, "Keplerian Elements for Approximate Positions
 * of the Major Planets", JPL Solar System Dynamics (elements for 1800 AD to
 * 2050 AD, and 3000 BC to 3000 AD with the terms b, c, s, f).
 */
[[nodiscard]] OrbitState ComputeOrbitState(const OrbitAxisRecord& record, double jd);

/* The semi-major axis (unit of a) and eccentricity of the elements at a
 * Julian Date, measured from J2000.0 rather than from the record's epoch
 * (the ellipse the orbit guides show). */
struct OrbitEllipse {
    double semiMajorAxis;
    double eccentricity;
};
[[nodiscard]] OrbitEllipse OrbitEllipseFromJ2000(const OrbitAxisRecord& record, double jd);

/*
 * The fraction of the orbit at which the band is centred.
 *
 * Given:  spacing  band spacing choice, 0 to 3
 *         a        semi-major axis, unit of a
 *         e        eccentricity, in [0, 1)
 *         anomaly  radians, in [-pi, pi): the mean anomaly for choices 0
 *                  and 2, the eccentric anomaly for 1 and 3
 * Returns a fraction of the full turn.
 *
 * Notes:
 * 1. Choices 0 and 1: anomaly / (2 pi), in [-0.5, 0.5) (by angle).
 * 2. Choices 2 and 3: the ellipse arc from perihelion to the anomaly taken in
 *    [0, 2 pi), over the perimeter, in [0, 1) (by arc length); 0 when the
 *    perimeter is 0.
 * 3. Other choices: 0.
 */
[[nodiscard]] double ArcLengthFraction(int32_t spacing, double a, double e, double anomaly);

} // namespace caelo

#endif
