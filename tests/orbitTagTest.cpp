// The orbit tag and the orbit plane tag as the host loads them: a circle
// spline and a plane below an orbit axis take its current ellipse with the
// orbit axis in a focus; every other placement, and an ellipse that is not
// finite, leave them untouched.
#include "host/application.h"
#include "host/evaluation.h"
#include "host/loading/moduleLoader.h"
#include "host/messages.h"
#include "host/scene.h"
#include "host/sceneEditing.h"
#include "host/services/numberText.h"
#include "tests/moduleSceneTest.h"
#include "tests/testTimeZone.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace caelo::host {
namespace {

using namespace moduleTest;

constexpr double kTolerance = 1e-12; // scene units

// Values a spline or plane holds before a tag runs, so that a write shows.
constexpr double kUntouchedSize = 11.0;
constexpr Vector kUntouchedPosition{1.0, 2.0, 3.0};

class OrbitTags : public ModuleSceneTest {
protected:
    void SetUp() override {
        ModuleSceneTest::SetUp();
        system = &add(kSystem);
        editParameter(*system, kBodyScale, kEarthDiameterKm);
    }

    // An orbit axis with a and e in km, drawn at one scene unit per km.
    Node& addOrbit(Node* parent, double a, double e) {
        Node& orbit = add(kOrbitAxis, parent);
        editParameter(orbit, kMode, kModeElements);
        editParameter(orbit, kKm, true);
        editParameter(orbit, kA, formatDouble(a));
        editParameter(orbit, kE, formatDouble(e));
        return orbit;
    }
    // A spline or plane below `parent` carrying a tag, with recognisable
    // sizes and position.
    Node& addTagged(std::int32_t objectType, std::int32_t tagType, Node* parent) {
        Node& object = add(objectType, parent);
        for (std::int32_t id : {kSplineRadius, kSplineSecondRadius, kPlaneWidth, kPlaneHeight}) {
            object.parameters.setFloat(id, kUntouchedSize);
        }
        object.relative.position = kUntouchedPosition;
        createTag(application(), object, tagType);
        return object;
    }

    test::TimeZone universalTime{"UTC0"};
    Node* system = nullptr;
};

void expectUntouched(const Node& object, const std::string& what) {
    for (std::int32_t id : {kSplineRadius, kSplineSecondRadius, kPlaneWidth, kPlaneHeight}) {
        EXPECT_EQ(object.parameters.getFloat(id, -1.0), kUntouchedSize) << what << ", parameter " << id;
    }
    EXPECT_EQ(object.relative.position, kUntouchedPosition) << what;
    EXPECT_EQ(object.rebuildCount, 0u) << what;
}

void expectPositionNear(const Vector& got, const Vector& want) {
    EXPECT_NEAR(got.x, want.x, kTolerance);
    EXPECT_NEAR(got.y, want.y, kTolerance);
    EXPECT_NEAR(got.z, want.z, kTolerance);
}

// b = a sqrt(1 - e^2), c = a e: for a = 10, e = 0.5, b = 10 sqrt(0.75).
TEST_F(OrbitTags, SplineAndPlaneTakeTheEllipseWithTheOrbitAxisInAFocus) {
    struct Row {
        double e;
        double semiMinorAxis;
        double centreOffset;
    };
    const Row rows[] = {{0.5, 8.660254037844386, 5.0}, {0.0, 10.0, 0.0}};
    for (const Row& row : rows) {
        SCOPED_TRACE("e = " + std::to_string(row.e));
        Node& orbit = addOrbit(system, 10.0, row.e);
        Node& spline = addTagged(kTypeCircleSpline, kOrbitTag, &orbit);
        Node& plane = addTagged(kTypePlane, kOrbitPlaneTag, &orbit);
        for (std::uint64_t pass = 1; pass <= 2; ++pass) {
            evaluateDocument(document());
            EXPECT_NEAR(spline.parameters.getFloat(kSplineRadius, -1.0), 10.0, kTolerance);
            EXPECT_NEAR(spline.parameters.getFloat(kSplineSecondRadius, -1.0), row.semiMinorAxis, kTolerance);
            expectPositionNear(spline.relative.position, {-row.centreOffset, 0.0, 0.0});
            // The spline is rebuilt at every pass, also when nothing changed.
            EXPECT_EQ(spline.rebuildCount, pass);

            EXPECT_NEAR(plane.parameters.getFloat(kPlaneWidth, -1.0), 20.0, kTolerance);
            EXPECT_NEAR(plane.parameters.getFloat(kPlaneHeight, -1.0), 2.0 * row.semiMinorAxis, kTolerance);
            expectPositionNear(plane.relative.position, {-row.centreOffset, 0.0, 0.0});
            EXPECT_EQ(plane.rebuildCount, 0u);
        }
    }
}

TEST_F(OrbitTags, OnlyTheirPrimitiveDirectlyBelowAnOrbitAxisChanges) {
    Node& orbit = addOrbit(system, 10.0, 0.5);
    Node& body = add(kBodyAxis, system);
    Node& between = add(kTypeNull, &orbit);
    const Node& splineUnderBody = addTagged(kTypeCircleSpline, kOrbitTag, &body);
    const Node& planeUnderBody = addTagged(kTypePlane, kOrbitPlaneTag, &body);
    const Node& planeWithOrbitTag = addTagged(kTypePlane, kOrbitTag, &orbit);
    const Node& splineWithPlaneTag = addTagged(kTypeCircleSpline, kOrbitPlaneTag, &orbit);
    const Node& splineGrandchild = addTagged(kTypeCircleSpline, kOrbitTag, &between);
    const Node& planeGrandchild = addTagged(kTypePlane, kOrbitPlaneTag, &between);
    const Node& topLevelSpline = addTagged(kTypeCircleSpline, kOrbitTag, nullptr);
    evaluateDocument(document());
    expectUntouched(splineUnderBody, "spline under a body axis");
    expectUntouched(planeUnderBody, "plane under a body axis");
    expectUntouched(planeWithOrbitTag, "plane with the orbit tag");
    expectUntouched(splineWithPlaneTag, "spline with the orbit plane tag");
    expectUntouched(splineGrandchild, "spline below a null below the orbit axis");
    expectUntouched(planeGrandchild, "plane below a null below the orbit axis");
    expectUntouched(topLevelSpline, "spline without a parent");
}

TEST_F(OrbitTags, WithoutASystemTheEllipseIsZero) {
    Node& orbit = addOrbit(nullptr, 10.0, 0.5);
    Node& spline = addTagged(kTypeCircleSpline, kOrbitTag, &orbit);
    Node& plane = addTagged(kTypePlane, kOrbitPlaneTag, &orbit);
    evaluateDocument(document());
    EXPECT_EQ(spline.parameters.getFloat(kSplineRadius, -1.0), 0.0);
    EXPECT_EQ(spline.parameters.getFloat(kSplineSecondRadius, -1.0), 0.0);
    EXPECT_EQ(spline.relative.position, (Vector{0.0, 0.0, 0.0}));
    EXPECT_EQ(spline.rebuildCount, 1u);
    EXPECT_EQ(plane.parameters.getFloat(kPlaneWidth, -1.0), 0.0);
    EXPECT_EQ(plane.parameters.getFloat(kPlaneHeight, -1.0), 0.0);
    EXPECT_EQ(plane.relative.position, (Vector{0.0, 0.0, 0.0}));
}

// e = 2 has no real semi-minor axis: spline and plane keep what they showed.
TEST_F(OrbitTags, AnEllipseThatIsNotFiniteChangesNothing) {
    Node& orbit = addOrbit(system, 10.0, 2.0);
    const Node& spline = addTagged(kTypeCircleSpline, kOrbitTag, &orbit);
    const Node& plane = addTagged(kTypePlane, kOrbitPlaneTag, &orbit);
    evaluateDocument(document());
    expectUntouched(spline, "spline");
    expectUntouched(plane, "plane");
}

} // namespace
} // namespace caelo::host
