// The orbit-axis object as the host loads it: element texts and enabling, the
// orbit frame and the body it carries, accuracy against the published
// ephemeris, lengths below bodies, band mode, the guards against non-finite
// values, and links under copies, moves and refreshes.
#include "host/application.h"
#include "host/evaluation.h"
#include "host/loading/moduleLoader.h"
#include "host/messages.h"
#include "host/scene.h"
#include "host/sceneEditing.h"
#include "host/services/numberText.h"
#include "model/theoryPlaces.h"
#include "model/vsop87.h"
#include "tests/moduleSceneTest.h"
#include "tests/testTimeZone.h"

#include <cmath>
#include <gtest/gtest.h>
#include <initializer_list>
#include <numbers>
#include <string>

namespace caelo::host {
namespace {

using namespace moduleTest;

constexpr double kPi = std::numbers::pi;
constexpr double kDegree = kPi / 180.0;
constexpr double kCentury = 36525.0;
// Scene units per au and per km at the system's default scales: the Earth's
// diameter of 1275627400 cm drawn as 100 units, distances 0.002 of that.
constexpr double kUnitsPerAu = 2345.4791062029553;
constexpr double kUnitsPerKm = 100.0 / 1275627400.0 * 100000.0;

struct Element {
    std::int32_t id;
    double value;
};

class OrbitAxisObject : public ModuleSceneTest {
protected:
    void SetUp() override {
        ModuleSceneTest::SetUp();
        system = &addSystem();
    }

    static void editElements(Node& orbit, std::initializer_list<Element> elements) {
        for (const Element& element : elements) {
            editParameter(orbit, element.id, formatDouble(element.value));
        }
    }
    Node& addOrbit(Node* parent, std::int32_t mode, std::initializer_list<Element> elements) {
        Node& orbit = add(kOrbitAxis, parent);
        editParameter(orbit, kMode, mode);
        editElements(orbit, elements);
        return orbit;
    }

    test::TimeZone universalTime{"UTC0"};
    Node* system = nullptr;
};

void expectVectorNear(const Vector& got, const Vector& want, double tolerance) {
    EXPECT_NEAR(got.x, want.x, tolerance);
    EXPECT_NEAR(got.y, want.y, tolerance);
    EXPECT_NEAR(got.z, want.z, tolerance);
}

TEST_F(OrbitAxisObject, ElementTextsAreParsedAndNormalised) {
    Node& orbit = addOrbit(system, kModeElements, {{kE, 0.0167}});
    EXPECT_EQ(orbit.parameters.getString(kE), "1.670000000000000e-02");
    editParameter(orbit, kE, std::string("not a number"));
    EXPECT_EQ(orbit.parameters.getString(kE), "1.670000000000000e-02");
    editParameter(orbit, kE, std::string("0.2"));
    EXPECT_EQ(orbit.parameters.getString(kE), "2.000000000000000e-01");

    // A store without the user's flag is read only when a load is announced;
    // text that is no number then shows the value in force.
    setParameterQuietly(orbit, kA, std::string("no number"));
    setParameterQuietly(orbit, kL, std::string("90"));
    EXPECT_EQ(orbit.parameters.getString(kA), "no number");
    notifyDocumentLoaded(document());
    EXPECT_EQ(orbit.parameters.getString(kA), "0.000000000000000e+00");
    EXPECT_EQ(orbit.parameters.getString(kL), "9.000000000000000e+01");
}

TEST_F(OrbitAxisObject, EnablingFollowsTheModeAndTheChildren) {
    struct Row {
        std::int32_t id;
        bool byMode[4]; // modes 1200 to 1203
    };
    const Row rows[] = {
        {kMode, {true, true, true, true}},         {kOrbitEpoch, {false, true, true, true}},
        {kA, {false, true, true, true}},           {kI, {true, true, true, true}},
        {kNodeRate, {true, true, true, true}},     {kTermB, {false, false, true, false}},
        {kBandWidth, {false, false, false, true}}, {kEllipseLink, {false, false, false, true}},
        {kAuxDate1, {false, true, true, true}},    {1300, {false, true, true, true}},
        {1301, {true, true, true, true}},          {999, {true, true, true, true}},
        {kCreateGuides, {true, true, true, true}}, {kCreateBand, {false, false, false, true}},
        {kCreateBody, {true, true, true, false}},
    };
    Node& orbit = add(kOrbitAxis, system);
    for (int mode = 0; mode < 4; ++mode) {
        editParameter(orbit, kMode, kModeOrientation + mode);
        for (const Row& row : rows) {
            EXPECT_EQ(isParameterEnabled(orbit, row.id), row.byMode[mode])
                << "id " << row.id << " mode " << mode;
        }
    }
    editParameter(orbit, kMode, kModeElements);
    add(kTypeNull, &orbit);
    EXPECT_FALSE(isParameterEnabled(orbit, kCreateGuides));
    EXPECT_TRUE(isParameterEnabled(orbit, kCreateBody));
    add(kBodyAxis, &orbit);
    add(kTypeNull, &orbit);
    EXPECT_FALSE(isParameterEnabled(orbit, kCreateBody));
}

// Ecliptic coordinates of a point (xp, yp) of the orbit plane, xp towards
// perihelion: E. M. Standish, "Keplerian Elements for Approximate Positions of
// the Major Planets", JPL, section 2a, steps 4 and 5 (angles in radians).
Vector eclipticFromOrbitPlane(double xp, double yp, double argument, double node, double inclination) {
    const double cw = std::cos(argument), sw = std::sin(argument);
    const double cn = std::cos(node), sn = std::sin(node);
    const double ci = std::cos(inclination), si = std::sin(inclination);
    return {(cw * cn - sw * sn * ci) * xp + (-sw * cn - cw * sn * ci) * yp,
            (cw * sn + sw * cn * ci) * xp + (-sw * sn + cw * cn * ci) * yp, sw * si * xp + cw * si * yp};
}

// The scene is left-handed with Y up; the orbit lies in its XZ plane with Y
// the normal, so scene (x, y, z) is ecliptic (x, z, y).
Vector sceneToEcliptic(const Vector& scene) {
    return {scene.x, scene.z, scene.y};
}

// e = 0.5, a = 1, M = L - varpi = 90 degrees at T = 0 puts the body at
// (-0.93513, 0, 0.77974) in the orbit plane; the frame turns it by omega =
// varpi - Omega = 20 degrees about the normal, inside the plane of Omega = 30
// and I = 10 degrees.
TEST_F(OrbitAxisObject, FrameAndBodyFollowTheElements) {
    Node& orbit = addOrbit(system, kModeElements,
                           {{kA, 1.0}, {kE, 0.5}, {kL, 140.0}, {kI, 10.0}, {kNode, 30.0}, {kPeri, 50.0}});
    Node& body = add(kBodyAxis, &orbit);
    editParameter(body, kBodyHeading, std::string("5"));
    for (int pass = 0; pass < 2; ++pass) {
        evaluateAt(kJ2000);
        expectVectorNear(orbit.frozen.rotation, {30.0 * kDegree, 10.0 * kDegree, 0.0}, 1e-15);
        expectVectorNear(orbit.relative.rotation, {20.0 * kDegree, 0.0, 0.0}, 1e-15);
        const Vector ecliptic =
            eclipticFromOrbitPlane(-0.93513, 0.77974, 20.0 * kDegree, 30.0 * kDegree, 10.0 * kDegree);
        expectVectorNear(sceneToEcliptic(body.worldMatrix().off), ecliptic * kUnitsPerAu, 5e-6 * kUnitsPerAu);
        // The counter-heading comes first in the pass; the body adds its own.
        EXPECT_NEAR(body.relative.rotation.x, -15.0 * kDegree, 1e-15) << "pass " << pass;
    }

    // Mode 0 turns the frame only.
    editParameter(orbit, kMode, kModeOrientation);
    editParameter(orbit, kNode, std::string("40"));
    body.relative.position = {1.0, 2.0, 3.0};
    evaluateAt(kJ2000 + 100.0);
    EXPECT_NEAR(orbit.frozen.rotation.x, 40.0 * kDegree, 1e-15);
    EXPECT_EQ(body.relative.position, (Vector{1.0, 2.0, 3.0}));
}

// Theory mode: the elements still turn the frame (so that the orbit line
// stays as drawn), the theory places the body (Mars by VSOP87, in the
// parent's ecliptic axes), and outside the theory's span the elements do;
// the theory's choice is offered in theory mode only.
TEST_F(OrbitAxisObject, TheoryModePlacesTheBodyByItsTheory) {
    Node& orbit = addOrbit(system, kModeTheory,
                           {{kA, 1.52371034},
                            {kE, 0.0933941},
                            {kI, 1.84969142},
                            {kL, -4.55343205},
                            {kPeri, -23.94362959},
                            {kNode, 49.55953891}});
    editParameter(orbit, kTheory, kTheoryChoiceBase + kTheoryMars);
    EXPECT_TRUE(isParameterEnabled(orbit, kTheory));
    Node& body = add(kBodyAxis, &orbit);
    const double jd = kJ2000 + 1234.5;
    evaluateAt(jd);
    expectVectorNear(orbit.frozen.rotation, {49.55953891 * kDegree, 1.84969142 * kDegree, 0.0}, 1e-12);
    const auto [x, y, z] = Vsop87Place(Vsop87Planet::Mars, jd);
    expectVectorNear(sceneToEcliptic(body.worldMatrix().off), Vector{x, y, z} * kUnitsPerAu,
                     1e-9 * kUnitsPerAu);

    const double before = kVsop87SpanStartJd - 3650.0;
    evaluateAt(before);
    const Vector byTheoryOutside = body.worldMatrix().off;
    editParameter(orbit, kMode, kModeElements);
    EXPECT_FALSE(isParameterEnabled(orbit, kTheory));
    evaluateAt(before);
    expectVectorNear(byTheoryOutside, body.worldMatrix().off, 1e-12);
}

TEST_F(OrbitAxisObject, OnlyTheLastBodyAxisChildMovesUntilLinksAreRefreshed) {
    Node& orbit = addOrbit(system, kModeElements, {{kA, 1.0}});
    Node& first = add(kBodyAxis, &orbit);
    Node& second = add(kBodyAxis, &orbit);
    evaluateAt(kJ2000);
    EXPECT_EQ(first.relative.position, Vector{});
    expectVectorNear(second.relative.position, {kUnitsPerAu, 0.0, 0.0}, 1e-12);

    // A new last child is found only once the links are dropped.
    Node& third = add(kBodyAxis, &orbit);
    evaluateAt(kJ2000);
    EXPECT_EQ(third.relative.position, Vector{});
    pressButton(*system, kRefreshLinks);
    evaluateAt(kJ2000);
    expectVectorNear(third.relative.position, {kUnitsPerAu, 0.0, 0.0}, 1e-12);
}

TEST_F(OrbitAxisObject, BodyReturnsToItsStartAfterOnePeriod) {
    // 36000 degrees per century: one turn in 365.25 days.
    constexpr double a = 1.5;
    constexpr double e = 0.2;
    Node& orbit =
        addOrbit(system, kModeElements, {{kA, a}, {kE, e}, {kLRate, 36000.0}, {kPeri, 70.0}, {kI, 5.0}});
    const Node& body = add(kBodyAxis, &orbit);
    const double period = kCentury * 360.0 / 36000.0;
    evaluateAt(kJ2000);
    const Vector start = body.worldMatrix().off;
    for (int quarter = 1; quarter <= 3; ++quarter) {
        evaluateAt(kJ2000 + quarter * period / 4.0);
        const Vector there = body.worldMatrix().off;
        EXPECT_GT(length(there - start), a * (1.0 - e) * kUnitsPerAu) << "quarter " << quarter;
        EXPECT_GE(length(there), a * (1.0 - e) * kUnitsPerAu * (1.0 - 1e-12));
        EXPECT_LE(length(there), a * (1.0 + e) * kUnitsPerAu * (1.0 + 1e-12));
    }
    evaluateAt(kJ2000 + period);
    expectVectorNear(body.worldMatrix().off, start, 1e-9 * kUnitsPerAu);
}

// The Earth-Moon barycentre's elements and rates for 1800-2050: E. M.
// Standish, "Keplerian Elements for Approximate Positions of the Major
// Planets", JPL, table 1 (a in au, angles in degrees, rates per century).
constexpr Element kBarycentre[] = {
    {kA, 1.00000261},      {kARate, 0.00000562},    {kE, 0.01671123},   {kERate, -0.00004392},
    {kI, -0.00001531},     {kIRate, -0.01294668},   {kL, 100.46457166}, {kLRate, 35999.37244981},
    {kPeri, 102.93768193}, {kPeriRate, 0.32327364}, {kNode, 0.0},       {kNodeRate, 0.0},
};

double elementAt(std::int32_t id, double centuries) {
    double value = 0.0;
    double rate = 0.0;
    for (const Element& element : kBarycentre) {
        value = element.id == id ? element.value : value;
        rate = element.id == id + 1 ? element.value : rate;
    }
    return value + rate * centuries;
}

// Heliocentric ecliptic coordinates of the barycentre (au, J2000 ecliptic)
// by the recipe of the same paper, section 2a, with Kepler's equation solved
// by bisection to the last bit instead of Newton's method.
Vector barycentreEcliptic(double julianDate) {
    const double t = (julianDate - kJ2000) / kCentury;
    const double a = elementAt(kA, t);
    const double e = elementAt(kE, t);
    const double inclination = elementAt(kI, t) * kDegree;
    const double node = elementAt(kNode, t) * kDegree;
    const double perihelion = elementAt(kPeri, t) * kDegree;
    const double argument = perihelion - node;
    const double meanAnomaly = std::remainder(elementAt(kL, t) * kDegree - perihelion, 2.0 * kPi);
    double low = meanAnomaly - 1.0;
    double high = meanAnomaly + 1.0;
    for (int i = 0; i < 200; ++i) {
        const double mid = 0.5 * (low + high);
        (mid - e * std::sin(mid) < meanAnomaly ? low : high) = mid;
    }
    const double anomaly = 0.5 * (low + high);
    return eclipticFromOrbitPlane(a * (std::cos(anomaly) - e), a * std::sqrt(1.0 - e * e) * std::sin(anomaly),
                                  argument, node, inclination);
}

TEST_F(OrbitAxisObject, BarycentreAgreesWithTheMethodAndTheEphemeris) {
    Node& orbit = addOrbit(system, kModeElements, {});
    for (const Element& element : kBarycentre) {
        editElements(orbit, {element});
    }
    const Node& body = add(kBodyAxis, &orbit);
    const auto ecliptic = [&body] { return sceneToEcliptic(body.worldMatrix().off * (1.0 / kUnitsPerAu)); };
    constexpr double kOneKm = 1.0 / kKmPerAu;
    for (double julianDate : {kJ2000, 2460000.5, 2415020.0}) {
        evaluateAt(julianDate);
        expectVectorNear(ecliptic(), barycentreEcliptic(julianDate), kOneKm);
    }

    // Provenance: the barycentre at JD 2451545.0 from the JPL development
    // ephemeris, rounded to 1e-4 au: (-0.1771, 0.9672, 0.0000). The rounding
    // alone allows 12 arcseconds in longitude and 8700 km in distance; the
    // method is good to about 20 arcseconds and 6000 km for the barycentre
    // over 1800-2050 (Standish, table 2a).
    evaluateAt(kJ2000);
    const Vector got = ecliptic();
    const Vector published{-0.1771, 0.9672, 0.0};
    const double arcseconds =
        (std::atan2(got.y, got.x) - std::atan2(published.y, published.x)) / kDegree * 3600.0;
    EXPECT_LT(std::fabs(arcseconds), 35.0);
    EXPECT_LT(std::fabs(std::hypot(got.x, got.y) - std::hypot(published.x, published.y)) * kKmPerAu, 15000.0);
    EXPECT_LT(std::fabs(got.z), 0.00005);
}

// A planet's orbit carries a body with globe scale 0.1 and satellite scale 2;
// below it orbits in km take the globe scale, orbits in au the satellite
// scales of every enclosing body.
TEST_F(OrbitAxisObject, LengthsScaleByUnitAndEnclosingBodies) {
    Node& planetOrbit = addOrbit(system, kModeElements, {{kA, 1.0}});
    Node& planet = add(kBodyAxis, &planetOrbit);
    editParameter(planet, kGlobeScale, 0.1);
    editParameter(planet, kSatelliteScale, 2.0);
    Node& kmOrbit = addOrbit(&planet, kModeElements, {{kA, 384400.0}});
    editParameter(kmOrbit, kKm, true);
    const Node& kmMoon = add(kBodyAxis, &kmOrbit);
    Node& auOrbit = addOrbit(&planet, kModeElements, {{kA, 0.00257}});
    Node& auMoon = add(kBodyAxis, &auOrbit);
    editParameter(auMoon, kSatelliteScale, 3.0);
    Node& subOrbit = addOrbit(&auMoon, kModeElements, {{kA, 0.001}});
    const Node& subMoon = add(kBodyAxis, &subOrbit);
    Node& kmTopOrbit = addOrbit(system, kModeElements, {{kA, 1e6}});
    editParameter(kmTopOrbit, kKm, true);
    const Node& kmTop = add(kBodyAxis, &kmTopOrbit);

    evaluateAt(kJ2000);
    struct Case {
        const Node* body;
        double x;
    };
    const Case cases[] = {{&planet, kUnitsPerAu},
                          {&kmMoon, 384400.0 * kUnitsPerKm * 0.1},
                          {&auMoon, 0.00257 * 2.0 * kUnitsPerAu},
                          {&subMoon, 0.001 * 3.0 * 2.0 * kUnitsPerAu},
                          {&kmTop, 1e6 * kUnitsPerKm}};
    for (const Case& c : cases) {
        EXPECT_NEAR(c.body->relative.position.x, c.x, 1e-12 * c.x) << c.body->name;
    }
}

// Band mode at J2000.0 with the epoch a century later and a growing by 1 au a
// century: the position uses a = 1 (T = -1), the ellipse a = 2 (from J2000.0).
TEST_F(OrbitAxisObject, BandModeSizesSplineBandAndDeformer) {
    Node& orbit = addOrbit(system, kModeBand, {{kA, 2.0}, {kARate, 1.0}, {kE, 0.5}, {kL, 90.0}});
    editParameter(orbit, kOrbitEpoch, kJ2000 + kCentury);
    Node& spline = add(kTypeCircleSpline, &orbit);
    Node& band = add(kTypeBox, &orbit);
    Node& wrap = add(kTypeWrapDeformer, &band);
    editParameter(orbit, kEllipseLink, Link{spline.id()});
    const Container bandBefore = band.parameters;

    evaluateAt(kJ2000);
    EXPECT_NEAR(spline.parameters.getFloat(kSplineRadius, 0.0), 2.0 * kUnitsPerAu, 1e-9);
    EXPECT_NEAR(spline.parameters.getFloat(kSplineSecondRadius, 0.0), std::sqrt(0.75) * 2.0 * kUnitsPerAu,
                1e-9);
    EXPECT_EQ(spline.rebuildCount, 1u);
    expectVectorNear(spline.relative.position, {-kUnitsPerAu, 0.0, 0.0}, 1e-9);
    EXPECT_EQ(band.parameters, bandBefore); // no band linked yet
    EXPECT_EQ(band.relative, Transform{});

    editParameter(orbit, kBandLink, Link{band.id()});
    editParameter(orbit, kBandWidth, 0.1);
    editParameter(orbit, kBandHeight, 0.05);
    editParameter(orbit, kBandEndSize, 0.3);
    evaluateAt(kJ2000);
    expectVectorNear(band.parameters.getVector(kBoxSize, {}), Vector{0.1, 0.05, 0.1} * kUnitsPerAu, 1e-12);
    EXPECT_EQ(band.rebuildCount, 1u);
    expectVectorNear(band.relative.position, {-2.0 * kUnitsPerAu, 0.0, 0.0}, 1e-9);
    EXPECT_EQ(wrap.parameters.getFloat(kWrapRangeStart, 0.0), -0.5);
    EXPECT_EQ(wrap.parameters.getFloat(kWrapRangeEnd, 0.0), 0.5);
    EXPECT_NEAR(wrap.parameters.getFloat(kWrapOffset, 0.0), 0.25, 1e-15); // M = 90 degrees, by angle
    EXPECT_NEAR(band.relative.rotation.x, kPi / 2.0, 1e-15);
    const Curve* profile = wrap.parameters.getCurve(kWrapProfile);
    ASSERT_NE(profile, nullptr);
    ASSERT_EQ(profile->knots.size(), 3u);
    EXPECT_EQ(profile->knots[0].position.y, 0.3);
    EXPECT_EQ(profile->knots[1].leftTangent.x, -0.1);
    EXPECT_EQ(profile->knots[2].flags, 0x10000);

    // By arc length from the eccentric anomaly E = 2.02098: past a quarter of
    // the perimeter (E > 90 degrees) but short of half. A curve the host cannot
    // make leaves the profile as it was; the rest is still updated.
    editParameter(orbit, kBandSpacing, 1253);
    editParameter(orbit, kBandLength, 90.0);
    editParameter(orbit, kBandEndSize, 0.6);
    application().faults().failCall("CreateCurve");
    evaluateAt(kJ2000);
    EXPECT_NEAR(band.relative.rotation.x, 2.02098, 5e-6);
    EXPECT_GT(wrap.parameters.getFloat(kWrapOffset, 0.0), 0.25);
    EXPECT_LT(wrap.parameters.getFloat(kWrapOffset, 0.0), 0.5);
    EXPECT_EQ(wrap.parameters.getFloat(kWrapRangeEnd, 0.0), 0.125);
    EXPECT_EQ(wrap.parameters.getCurve(kWrapProfile)->knots[0].position.y, 0.3);
}

TEST_F(OrbitAxisObject, NonFiniteValuesLeaveTheSceneAsItWas) {
    // e grows from 0.5 to 1.1 within 0.6 centuries.
    Node& orbit = addOrbit(system, kModeElements, {{kA, 1.0}, {kE, 0.5}, {kERate, 1.0}, {kNodeRate, 10.0}});
    const Node& body = add(kBodyAxis, &orbit);
    Node& bandOrbit = addOrbit(system, kModeBand, {{kA, 1.0}, {kE, 0.5}, {kERate, 1.0}});
    Node& spline = add(kTypeCircleSpline, &bandOrbit);
    editParameter(bandOrbit, kEllipseLink, Link{spline.id()});
    evaluateAt(kJ2000);
    const Vector placed = body.relative.position;
    const double radius = spline.parameters.getFloat(kSplineRadius, 0.0);

    evaluateAt(kJ2000 + 0.6 * kCentury);
    EXPECT_NEAR(orbit.frozen.rotation.x, 6.0 * kDegree, 1e-12); // the frame still turns
    EXPECT_EQ(body.relative.position, placed);
    EXPECT_EQ(spline.parameters.getFloat(kSplineRadius, 0.0), radius);
    EXPECT_EQ(spline.rebuildCount, 1u);

    // A time scale of 0 (which a scene file may carry) makes the model time
    // non-finite.
    system->parameters.setFloat(kTimeScale, 0.0);
    notifyDocumentLoaded(document());
    const Transform frame = orbit.frozen;
    for (double seconds : {0.0, 1.0}) {
        evaluateAt(kJ2000 + seconds);
        EXPECT_EQ(orbit.frozen, frame);
        EXPECT_EQ(body.relative.position, placed);
    }
}

TEST_F(OrbitAxisObject, CopiesCarryTheRecordAndMovesFindNewLinks) {
    Node& orbit = addOrbit(system, kModeElements, {{kA, 1.0}, {kL, 90.0}});
    const Node& body = add(kBodyAxis, &orbit);
    Node& clone = cloneNode(application(), orbit);
    appendChild(document(), clone, system);
    evaluateAt(kJ2000);
    expectVectorNear(body.relative.position, {0.0, 0.0, kUnitsPerAu}, 1e-12);
    EXPECT_EQ(clone.firstChild()->relative.position, body.relative.position);

    // A system drawing distances twice as large: the moved orbit drops its
    // cached system and scales by the new one.
    Node& larger = addSystem();
    editParameter(larger, kDistanceFactor, 0.004);
    moveNode(document(), orbit, &larger);
    evaluateAt(kJ2000);
    expectVectorNear(body.relative.position, {0.0, 0.0, 2.0 * kUnitsPerAu}, 1e-12);
}

} // namespace
} // namespace caelo::host
