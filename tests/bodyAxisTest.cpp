// The body-axis object as the host loads it: number texts and enabling, the
// globe's size and spin in the three rotation modes, the reference body, and
// how the record, links and orientation hold up under repeated evaluation,
// copies, moves and loads.
#include "host/application.h"
#include "host/evaluation.h"
#include "host/files/sceneFile.h"
#include "host/loading/moduleLoader.h"
#include "host/messages.h"
#include "host/scene.h"
#include "host/sceneEditing.h"
#include "tests/moduleSceneTest.h"
#include "tests/testTimeZone.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <string>

namespace caelo::host {
namespace {

using namespace moduleTest;

constexpr double kPi = std::numbers::pi;
constexpr double kRadiansPerDegree = kPi / 180.0;
// Model time comes from document seconds through the time scale; one day per
// second keeps it within 1e-9 days, which turns a globe by under 1e-8 rad.
constexpr double kSpinTolerance = 1e-8; // radians

class BodyAxisObject : public ModuleSceneTest {
protected:
    static Node& globeOf(const Node& body) { return *body.firstChild(); }

    test::TimeZone universalTime{"UTC0"};
};

// The globe's +X axis, which the locked and solar-day modes turn towards the
// reference body: it must point at the target's projection onto the globe's
// equatorial plane.
void expectXAxisFacing(const Node& globe, const Node& target) {
    const Matrix world = globe.worldMatrix();
    const Vector up = world.y * (1.0 / length(world.y));
    Vector toward = target.worldMatrix().off - world.off;
    toward = toward - up * dot(toward, up);
    toward = toward * (1.0 / length(toward));
    const Vector x = world.x * (1.0 / length(world.x));
    EXPECT_NEAR(x.x, toward.x, 1e-12);
    EXPECT_NEAR(x.y, toward.y, 1e-12);
    EXPECT_NEAR(x.z, toward.z, 1e-12);
}

TEST_F(BodyAxisObject, NewBodyAxisShowsItsDefaultsAsNormalisedText) {
    const Node& body = add(kBodyAxis, nullptr);
    const std::pair<std::int32_t, const char*> texts[] = {
        {kEquatorialRadius, "6.500000000000000e+03"}, {kPolarRadius, "6.500000000000000e+03"},
        {kObliquity, "0.000000000000000e+00"},        {kBodyHeading, "0.000000000000000e+00"},
        {kRotationAngle, "0.000000000000000e+00"},    {kRotationPeriod, "1.000000000000000e+00"}};
    for (const auto& [id, text] : texts) {
        EXPECT_EQ(body.parameters.getString(id), text) << id;
    }
    EXPECT_EQ(body.parameters.getInt32(kRotationMode, 0), kModePeriod);
    EXPECT_EQ(body.parameters.getFloat(kRotationEpoch, 0.0), kJ2000);
    EXPECT_EQ(body.parameters.getFloat(kGlobeScale, 0.0), 1.0);
    EXPECT_EQ(body.parameters.getFloat(kSatelliteScale, 0.0), 1.0);
    EXPECT_EQ(body.parameters.getLink(kGlobeLink), kNoNode);
}

TEST_F(BodyAxisObject, NumberTextsAreNormalisedAndNonNumbersRejected) {
    Node& body = addBody(&addSystem());
    editParameter(body, kRotationPeriod, std::string(" 0.5 "));
    EXPECT_EQ(body.parameters.getString(kRotationPeriod), "5.000000000000000e-01");

    editParameter(body, kRotationPeriod, std::string("two days"));
    EXPECT_EQ(body.parameters.getString(kRotationPeriod), "5.000000000000000e-01");

    // A store without the user's flag is not read.
    setParameterQuietly(body, kRotationPeriod, std::string("2"));
    EXPECT_EQ(body.parameters.getString(kRotationPeriod), "2");

    evaluateAt(kJ2000 + 0.25); // half a turn of a 0.5-day period
    EXPECT_NEAR(globeOf(body).relative.rotation.x, kPi, kSpinTolerance);
}

TEST_F(BodyAxisObject, RotationParametersAreEditableOnlyInPeriodMode) {
    Node& body = add(kBodyAxis, nullptr);
    for (const std::int32_t mode : {kModePeriod, kModeLocked, kModeSolarDay}) {
        editParameter(body, kRotationMode, mode);
        for (const std::int32_t id : {kRotationAngle, kRotationPeriod, kRotationEpoch}) {
            EXPECT_EQ(isParameterEnabled(body, id), mode == kModePeriod) << "mode " << mode << " id " << id;
        }
        EXPECT_TRUE(isParameterEnabled(body, kObliquity));
    }
    EXPECT_TRUE(isParameterEnabled(body, kCreateGlobe));
    add(kTypeNull, &body);
    EXPECT_FALSE(isParameterEnabled(body, kCreateGlobe));
}

// Provenance: the system's default body size draws the Earth's equatorial
// diameter of 2 x 6378.137 km as 100 scene units.
TEST_F(BodyAxisObject, GlobeRadiusFollowsTheSystemsBodyScale) {
    Node& body = addBody(&addSystem());
    editParameter(body, kEquatorialRadius, std::string("6378.137"));
    const std::pair<double, double> scaleToRadius[] = {{1.0, 50.0}, {0.1, 5.0}};
    for (const auto& [globeScale, radius] : scaleToRadius) {
        editParameter(body, kGlobeScale, globeScale);
        evaluateAt(kJ2000);
        EXPECT_NEAR(globeOf(body).parameters.getFloat(kSphereRadius, -1.0), radius, 1e-12) << globeScale;
    }
}

TEST_F(BodyAxisObject, GlobeSpinsByPeriodButNeedsASystemAndAReference) {
    Node& system = addSystem();
    Node& byPeriod = addBody(&system);
    const std::pair<double, double> dateToHeading[] = {{kJ2000 + 0.25, 0.5 * kPi},
                                                       {kJ2000 - 0.25, -0.5 * kPi}};
    for (const auto& [julianDate, heading] : dateToHeading) {
        evaluateAt(julianDate);
        EXPECT_NEAR(globeOf(byPeriod).relative.rotation.x, heading, kSpinTolerance) << julianDate;
    }

    // Directly below the system there is no reference body to lock to or to
    // count solar days against; without a system nothing turns and the globe
    // is drawn with radius 0, but the axis is still tilted.
    Node& locked = addBody(&system, kModeLocked);
    Node& solarDay = addBody(&system, kModeSolarDay);
    Node& outside = addBody(nullptr);
    editParameter(outside, kObliquity, std::string("23.44"));
    for (Node* body : {&locked, &solarDay, &outside}) {
        globeOf(*body).relative.rotation = {0.3, 0.0, 0.0};
    }
    evaluateAt(kJ2000 + 0.25);
    for (Node* body : {&locked, &solarDay, &outside}) {
        EXPECT_EQ(globeOf(*body).relative.rotation.x, 0.3) << body->name;
    }
    EXPECT_EQ(globeOf(outside).parameters.getFloat(kSphereRadius, -1.0), 0.0);
    EXPECT_DOUBLE_EQ(outside.relative.rotation.y, -23.44 * kRadiansPerDegree);
}

// An Earth in solar-day mode inside its barycentre, also in solar-day mode,
// counts its days against the Sun. Nulls stand where orbit axes would be.
TEST_F(BodyAxisObject, SolarDayReferenceIsTheFirstBodyNotTurningBySolarDay) {
    Node& sun = add(kBodyAxis, &addSystem());
    Node& barycentre = addBody(&add(kTypeNull, &sun), kModeSolarDay);
    barycentre.relative.position = {100.0, 0.0, 0.0};
    Node& earth = addBody(&add(kTypeNull, &barycentre), kModeSolarDay);
    earth.relative.position = {0.0, 0.0, 10.0};

    evaluateAt(kJ2000); // a whole Julian Date: the globe faces its reference
    expectXAxisFacing(globeOf(earth), sun);
    EXPECT_NEAR(globeOf(earth).parameters.getFloat(kSphereRadius, -1.0), 6500.0 / 6378.137 * 50.0, 1e-9);
    const double facing = globeOf(earth).relative.rotation.x;

    evaluateAt(kJ2000 + 0.25); // a quarter day later, a quarter turn more
    EXPECT_NEAR(globeOf(earth).relative.rotation.x, facing + 0.5 * kPi, kSpinTolerance);
}

TEST_F(BodyAxisObject, LockedGlobeFacesItsReferenceBodyOnATiltedAxis) {
    Node& sun = add(kBodyAxis, &addSystem());
    sun.relative.position = {-7.0, 3.0, 2.0};
    Node& planet = addBody(&add(kTypeNull, &sun), kModeLocked);
    planet.relative.position = {30.0, 5.0, -20.0};
    editParameter(planet, kObliquity, std::string("23.44"));
    editParameter(planet, kBodyHeading, std::string("40"));

    evaluateAt(kJ2000 + 0.3);
    expectXAxisFacing(globeOf(planet), sun);
}

// The orbit axis rewrites its body axis's heading before the body axis runs;
// a body axis that nobody rewrites must not turn again at every pass.
TEST_F(BodyAxisObject, EvaluatingTheSameTimeTwiceGivesTheSameRotation) {
    Node& body = addBody(&addSystem());
    editParameter(body, kBodyHeading, std::string("30"));
    editParameter(body, kObliquity, std::string("10"));
    const Vector expected{30.0 * kRadiansPerDegree, -10.0 * kRadiansPerDegree, 0.0};
    for (int pass = 0; pass < 3; ++pass) {
        evaluateAt(kJ2000 + 0.25);
        EXPECT_DOUBLE_EQ(body.relative.rotation.x, expected.x) << "pass " << pass;
        EXPECT_DOUBLE_EQ(body.relative.rotation.y, expected.y) << "pass " << pass;
    }

    // A counter-heading written in the pass composes with the body's heading.
    for (const double counterHeading : {-0.4, -0.4, 1.1}) {
        body.relative.rotation.x = counterHeading;
        evaluateAt(kJ2000 + 0.25);
        EXPECT_DOUBLE_EQ(body.relative.rotation.x, counterHeading + expected.x);
    }
    evaluateAt(kJ2000 + 0.25);
    EXPECT_DOUBLE_EQ(body.relative.rotation.x, 1.1 + expected.x);

    // A copy carries the rotation and does not add its heading once more.
    Node& copy = cloneNode(application(), body);
    appendChild(document(), copy, body.parent());
    evaluateAt(kJ2000 + 0.25);
    EXPECT_DOUBLE_EQ(copy.relative.rotation.x, body.relative.rotation.x);
}

TEST_F(BodyAxisObject, NonFiniteValuesLeaveTheGlobeAsItWas) {
    Node& system = addSystem();
    Node& body = addBody(&system);
    editParameter(body, kObliquity, std::string("5"));
    evaluateAt(kJ2000 + 0.25);
    const double heading = globeOf(body).relative.rotation.x;

    editParameter(body, kRotationPeriod, std::string("0"));
    editParameter(body, kEquatorialRadius, std::string("3189.0685"));
    for (const double julianDate : {kJ2000, kJ2000 + 0.5}) {
        evaluateAt(julianDate);
        EXPECT_EQ(globeOf(body).relative.rotation.x, heading) << julianDate;
        EXPECT_NEAR(globeOf(body).parameters.getFloat(kSphereRadius, -1.0), 25.0, 1e-12);
    }

    // A radius beyond the range of a double keeps the radius in force.
    editParameter(body, kEquatorialRadius, std::string("1e308"));
    editParameter(body, kGlobeScale, 1e9);
    evaluateAt(kJ2000);
    EXPECT_NEAR(globeOf(body).parameters.getFloat(kSphereRadius, -1.0), 25.0, 1e-12);

    // A time scale of 0 read from a scene makes the model time non-finite.
    editParameter(body, kRotationPeriod, std::string("1"));
    system.parameters.setFloat(kTimeScale, 0.0);
    notifyDocumentLoaded(document());
    evaluateAt(kJ2000 + 0.5);
    EXPECT_EQ(globeOf(body).relative.rotation.x, heading);
    EXPECT_DOUBLE_EQ(body.relative.rotation.y, -5.0 * kRadiansPerDegree);
}

// The copy's globe link points to the copied globe and its system is the one
// it is placed under; a moved body drops its links and finds the new ones.
TEST_F(BodyAxisObject, CopiesAndMovedBodiesFindTheirOwnLinks) {
    Node& small = addSystem();
    Node& large = addSystem();
    editParameter(large, kBodyScale, 200.0);
    Node& body = addBody(&small);
    editParameter(body, kEquatorialRadius, std::string("6378.137"));
    editParameter(body, kRotationPeriod, std::string("0.5"));
    evaluateAt(kJ2000);

    Node& copy = cloneNode(application(), body);
    appendChild(document(), copy, &large);
    evaluateAt(kJ2000 + 0.125);
    EXPECT_NEAR(globeOf(copy).parameters.getFloat(kSphereRadius, -1.0), 100.0, 1e-12);
    EXPECT_NEAR(globeOf(copy).relative.rotation.x, 0.5 * kPi, kSpinTolerance);
    EXPECT_NEAR(globeOf(body).parameters.getFloat(kSphereRadius, -1.0), 50.0, 1e-12);

    moveNode(document(), body, &large);
    evaluateAt(kJ2000);
    EXPECT_NEAR(globeOf(body).parameters.getFloat(kSphereRadius, -1.0), 100.0, 1e-12);
}

// Regression: a loaded body axis took the heading it had written before the
// save for a base and added its heading to it once more, so every save and
// load turned the body by its heading again.
TEST_F(BodyAxisObject, SavedAndLoadedBodyDoesNotAddItsHeadingAgain) {
    Node& body = addBody(&addSystem());
    editParameter(body, kBodyHeading, std::string("30"));
    evaluateAt(kJ2000);
    const double turned = body.relative.rotation.x;
    EXPECT_DOUBLE_EQ(turned, 30.0 * kRadiansPerDegree);
    for (int reload = 0; reload < 2; ++reload) {
        Document& loaded =
            application().adoptDocument(sceneFromText(application(), sceneToText(document()), "saved"));
        notifyDocumentLoaded(loaded);
        evaluateAt(kJ2000);
        EXPECT_EQ(loaded.firstObject()->firstChild()->relative.rotation.x, turned) << "reload " << reload;
    }

    // A heading the user gives the loaded body is its new base, and the
    // memory saved after it (passes that leave it as it was in between) is
    // the new one.
    Node& restored = *document().firstObject()->firstChild();
    restored.relative.rotation.x = 0.5;
    for (int pass = 0; pass < 2; ++pass) {
        evaluateAt(kJ2000);
        EXPECT_DOUBLE_EQ(restored.relative.rotation.x, 0.5 + turned);
    }
    Document& again =
        application().adoptDocument(sceneFromText(application(), sceneToText(document()), "saved"));
    notifyDocumentLoaded(again);
    evaluateAt(kJ2000);
    EXPECT_DOUBLE_EQ(again.firstObject()->firstChild()->relative.rotation.x, 0.5 + turned);
}

TEST_F(BodyAxisObject, LoadedSceneRestoresTheRecordFromItsParameters) {
    Node& body = addBody(&addSystem());
    editParameter(body, kEquatorialRadius, std::string("3189.0685"));
    editParameter(body, kRotationAngle, std::string("10"));
    editParameter(body, kRotationPeriod, std::string("0.5"));
    editParameter(body, kGlobeScale, 2.0);
    // Text that is no number, stored behind the body's back, loads as the
    // constructor's value.
    body.parameters.setString(kPolarRadius, "flat");

    Document& loaded =
        application().adoptDocument(sceneFromText(application(), sceneToText(document()), "saved"));
    notifyDocumentLoaded(loaded);
    Node& restored = *loaded.firstObject()->firstChild();
    EXPECT_EQ(restored.parameters.getString(kPolarRadius), "6.500000000000000e+03");

    evaluateAt(kJ2000 + 0.25);
    EXPECT_NEAR(globeOf(restored).parameters.getFloat(kSphereRadius, -1.0), 50.0, 1e-12);
    EXPECT_NEAR(globeOf(restored).relative.rotation.x, 190.0 * kRadiansPerDegree, kSpinTolerance);
}

} // namespace
} // namespace caelo::host
