// The equatorial plane and orbit plane S tags as the host loads them: planes
// sized from the body's globe, the counter-tilt of the orbit plane S, and the
// guards that leave every other placement untouched.
#include "host/application.h"
#include "host/evaluation.h"
#include "host/loading/moduleLoader.h"
#include "host/messages.h"
#include "host/scene.h"
#include "host/sceneEditing.h"
#include "tests/moduleSceneTest.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <numbers>
#include <string>

namespace caelo::host {
namespace {

using namespace moduleTest;

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

// Values a plane holds before a tag runs, so that a write shows.
constexpr double kUntouchedWidth = 11.0;
constexpr double kUntouchedHeight = 13.0;
constexpr Vector kUntouchedBaseRotation{0.5, 0.6, 0.7};

class PlaneTags : public ModuleSceneTest {
protected:
    // A body axis whose globe is a box with half extents (100, 50, 80).
    Node& addBodyWithGlobe() {
        Node& body = add(kBodyAxis);
        Node& globe = add(kTypeBox, &body);
        globe.parameters.setVector(kBoxSize, {200.0, 100.0, 160.0});
        editParameter(body, kGlobeLink, Link{globe.id()});
        return body;
    }
    // A plane below `parent` carrying a tag, with recognisable size and base
    // rotation.
    Node& addTaggedPlane(std::int32_t tagType, Node* parent, std::int32_t objectType = kTypePlane) {
        Node& plane = add(objectType, parent);
        plane.parameters.setFloat(kPlaneWidth, kUntouchedWidth);
        plane.parameters.setFloat(kPlaneHeight, kUntouchedHeight);
        plane.frozen.rotation = kUntouchedBaseRotation;
        createTag(application(), plane, tagType);
        return plane;
    }
};

void expectUntouched(const Node& plane, const std::string& what) {
    EXPECT_EQ(plane.parameters.getFloat(kPlaneWidth, -1.0), kUntouchedWidth) << what;
    EXPECT_EQ(plane.parameters.getFloat(kPlaneHeight, -1.0), kUntouchedHeight) << what;
    EXPECT_EQ(plane.frozen.rotation, kUntouchedBaseRotation) << what;
}

TEST_F(PlaneTags, PlanesSpanTwiceTheGlobesDiameterAndZeroWithoutAGlobe) {
    Node& body = addBodyWithGlobe();
    Node& equator = addTaggedPlane(kEquatPlaneTag, &body);
    Node& orbitPlane = addTaggedPlane(kOrbitPlaneSTag, &body);
    for (int pass = 0; pass < 2; ++pass) { // no accumulation from pass to pass
        evaluateDocument(document());
        for (const Node* plane : {&equator, &orbitPlane}) {
            EXPECT_EQ(plane->parameters.getFloat(kPlaneWidth, -1.0), 400.0) << "pass " << pass;
            EXPECT_EQ(plane->parameters.getFloat(kPlaneHeight, -1.0), 320.0) << "pass " << pass;
        }
    }

    editParameter(body, kGlobeLink, Link{kNoNode});
    orbitPlane.frozen.rotation = kUntouchedBaseRotation;
    evaluateDocument(document());
    for (const Node* plane : {&equator, &orbitPlane}) {
        EXPECT_EQ(plane->parameters.getFloat(kPlaneWidth, -1.0), 0.0);
        EXPECT_EQ(plane->parameters.getFloat(kPlaneHeight, -1.0), 0.0);
    }
    EXPECT_EQ(orbitPlane.frozen.rotation, (Vector{0.0, 0.0, 0.0})) << "the counter-tilt is still written";
    EXPECT_EQ(equator.frozen.rotation, kUntouchedBaseRotation) << "the equatorial plane is not turned";
}

// The body axis writes its pitch from the obliquity in the same pass, before
// the tags run; its heading and bank it keeps.
TEST_F(PlaneTags, OrbitPlaneSTakesBackTheBodysPitchAndKeepsItsBank) {
    Node& body = addBodyWithGlobe();
    char obliquity[32];
    std::snprintf(obliquity, sizeof obliquity, "%.17g", 0.41 / kRadiansPerDegree);
    editParameter(body, kObliquity, std::string(obliquity));
    Node& orbitPlane = addTaggedPlane(kOrbitPlaneSTag, &body);
    orbitPlane.relative.rotation = {0.1, 0.2, 0.3};

    const double banks[] = {0.0, 0.2};
    for (const double bank : banks) {
        body.relative.rotation = {0.3, 0.0, bank};
        evaluateDocument(document());
        ASSERT_NEAR(body.relative.rotation.y, -0.41, 1e-15);
        EXPECT_EQ(orbitPlane.frozen.rotation, (Vector{0.0, -body.relative.rotation.y, bank}));
        EXPECT_NEAR(orbitPlane.frozen.rotation.y, 0.41, 1e-15);
    }
    EXPECT_EQ(orbitPlane.relative.rotation, (Vector{0.1, 0.2, 0.3})) << "the relative rotation is the user's";
}

TEST_F(PlaneTags, PlanesOutsideTheirPlaceAreLeftAsTheyWere) {
    Node& body = addBodyWithGlobe();
    Node& orbitAxis = add(kOrbitAxis, nullptr);
    Node& null = add(kTypeNull, &body);
    for (const std::int32_t tagType : {kEquatPlaneTag, kOrbitPlaneSTag}) {
        const std::pair<Node*, const char*> cases[] = {
            {&addTaggedPlane(tagType, &body, kTypeBox), "on a box below the body axis"},
            {&addTaggedPlane(tagType, &orbitAxis), "below an orbit axis"},
            {&addTaggedPlane(tagType, &null), "below a null below the body axis"},
            {&addTaggedPlane(tagType, nullptr), "at the top level"},
        };
        evaluateDocument(document());
        for (const auto& [plane, where] : cases) {
            expectUntouched(*plane, std::string(where) + ", tag " + std::to_string(tagType));
        }
    }
}

// Found by the random scene test: a body's globe linked to its own
// equatorial plane doubled the plane on every pass, and two bodies whose
// globes are each other's planes would do the same.
TEST_F(PlaneTags, PlanesLinkedAsGlobesAreLeftAsTheyWere) {
    Node& body = add(kBodyAxis);
    Node& ownPlane = addTaggedPlane(kEquatPlaneTag, &body);
    editParameter(body, kGlobeLink, Link{ownPlane.id()});
    Node& first = add(kBodyAxis);
    Node& second = add(kBodyAxis);
    Node& firstPlane = addTaggedPlane(kOrbitPlaneSTag, &first);
    Node& secondPlane = addTaggedPlane(kEquatPlaneTag, &second);
    editParameter(first, kGlobeLink, Link{secondPlane.id()});
    editParameter(second, kGlobeLink, Link{firstPlane.id()});
    for (int pass = 0; pass < 3; ++pass) {
        evaluateDocument(document());
        for (const Node* plane : {&ownPlane, &firstPlane, &secondPlane}) {
            EXPECT_EQ(plane->parameters.getFloat(kPlaneWidth, -1.0), kUntouchedWidth) << "pass " << pass;
            EXPECT_EQ(plane->parameters.getFloat(kPlaneHeight, -1.0), kUntouchedHeight) << "pass " << pass;
        }
    }
}

} // namespace
} // namespace caelo::host
