// The attitude tag as the host loads it: which angles of the parent frame it
// keeps in each mode, that the world position survives and the scale does
// not, and how the mode holds up under loads and copies.
#include "host/application.h"
#include "host/evaluation.h"
#include "host/files/sceneFile.h"
#include "host/loading/moduleLoader.h"
#include "host/messages.h"
#include "host/scene.h"
#include "host/sceneEditing.h"
#include "host/services/matrix.h"
#include "tests/moduleSceneTest.h"

#include <gtest/gtest.h>
#include <string>

namespace caelo::host {
namespace {

using namespace moduleTest;

constexpr std::int32_t kAttitudeMode = 1000;
constexpr std::int32_t kKeepHeading = 1200;
constexpr std::int32_t kKeepPitch = 1201;
constexpr std::int32_t kKeepBank = 1202;
constexpr std::int32_t kKeepAll = 1203;

// The expected angles are those the parent frame was built from, so they hold
// up to rounding: 1e-12 rad. Positions are of order 10 scene units.
constexpr double kAngleTolerance = 1e-12;    // radians
constexpr double kPositionTolerance = 1e-12; // scene units
constexpr double kScaleTolerance = 1e-12;

class AttitudeTag : public ModuleSceneTest {
protected:
    // A parent at a position off the origin with the given world rotation and
    // scale, and below it an object at (1, 2, 3) that carries the tag.
    Node& addHeldObject(Vector parentRotation, double parentScale, std::int32_t mode) {
        Node& parent = add(kTypeNull);
        parent.relative = {{5.0, -2.0, 7.0}, parentRotation, {parentScale, parentScale, parentScale}};
        Node& object = add(kTypeNull, &parent);
        object.relative.position = {1.0, 2.0, 3.0};
        Node& tag = createTag(application(), object, kAttitudeTag);
        if (mode != kKeepHeading) { // a new tag keeps the heading
            editParameter(tag, kAttitudeMode, mode);
        }
        return object;
    }
};

void expectNear(Vector got, Vector want, double tolerance, const std::string& what) {
    EXPECT_NEAR(got.x, want.x, tolerance) << what;
    EXPECT_NEAR(got.y, want.y, tolerance) << what;
    EXPECT_NEAR(got.z, want.z, tolerance) << what;
}

// The world rotation the object is held to, its position unchanged and its
// axes of unit length.
void expectHeld(const Node& object, Vector rotation, Vector worldPosition, const std::string& what) {
    const Matrix world = object.worldMatrix();
    expectNear(matrixToAngles(world), rotation, kAngleTolerance, what + ": rotation");
    expectNear(world.off, worldPosition, kPositionTolerance, what + ": position");
    for (const Vector axis : {world.x, world.y, world.z}) {
        EXPECT_NEAR(length(axis), 1.0, kScaleTolerance) << what << ": scale";
    }
}

TEST_F(AttitudeTag, KeepsTheChosenAnglesOfTheParentFrame) {
    const struct {
        const char* what;
        Vector parentRotation;
        double parentScale;
        Vector frozenRotation;
        std::int32_t mode;
        Vector held;
    } cases[] = {
        {"pitched parent, heading kept", {0.0, 0.5, 0.0}, 1.0, {}, kKeepHeading, {0.0, 0.0, 0.0}},
        {"turned and pitched parent", {1.0, 0.5, 0.0}, 1.0, {}, kKeepHeading, {1.0, 0.0, 0.0}},
        {"pitch only", {0.3, 0.2, 0.1}, 1.0, {}, kKeepPitch, {0.0, 0.2, 0.0}},
        {"bank only", {0.3, 0.2, 0.1}, 1.0, {}, kKeepBank, {0.0, 0.0, 0.1}},
        {"all three, scale 2 dropped", {0.3, 0.2, 0.1}, 2.0, {}, kKeepAll, {0.3, 0.2, 0.1}},
        {"frozen heading", {}, 1.0, {0.4, 0.0, 0.0}, kKeepHeading, {0.4, 0.0, 0.0}},
    };
    for (const auto& c : cases) {
        Node& object = addHeldObject(c.parentRotation, c.parentScale, c.mode);
        object.frozen.rotation = c.frozenRotation;
        object.relative.rotation = {0.7, 0.0, 0.0}; // the object's own heading is overridden
        const Vector worldPosition = object.worldMatrix().off;
        // The second pass sees the rotation the first one wrote; the frame
        // alone decides, so it holds the same matrix.
        for (const char* pass : {": first pass", ": second pass"}) {
            evaluateDocument(document());
            expectHeld(object, c.held, worldPosition, c.what + std::string(pass));
        }
    }
}

// A loaded scene rebuilds the mode from the parameter: the bank alone for
// 1202; a stored value outside the cycle keeps all three angles.
TEST_F(AttitudeTag, LoadedSceneRereadsTheMode) {
    const struct {
        std::int32_t storedMode;
        Vector held;
    } cases[] = {{kKeepBank, {0.0, 0.0, 0.1}}, {1207, {0.3, 0.2, 0.1}}};
    for (const auto& [storedMode, held] : cases) {
        application().newDocument();
        Node& object = addHeldObject({0.3, 0.2, 0.1}, 1.0, kKeepHeading);
        object.tags().front()->parameters.setInt32(kAttitudeMode, storedMode);

        Document& loaded =
            application().adoptDocument(sceneFromText(application(), sceneToText(document()), "saved"));
        notifyDocumentLoaded(loaded);
        Node& restored = *loaded.firstObject()->firstChild();
        const Vector worldPosition = restored.worldMatrix().off;
        evaluateDocument(loaded);
        expectHeld(restored, held, worldPosition, "stored mode " + std::to_string(storedMode));
    }
}

// The clone sits under another frame; both keep only the pitch, as the mode
// of a fresh tag (heading) would not.
TEST_F(AttitudeTag, CopyKeepsTheModeOfItsSource) {
    Node& source = addHeldObject({0.3, 0.2, 0.1}, 1.0, kKeepPitch);
    Node& otherParent = add(kTypeNull);
    otherParent.relative.rotation = {-0.6, 0.4, 0.0};
    Node& copy = cloneNode(application(), source);
    appendChild(document(), copy, &otherParent);
    const Vector sourcePosition = source.worldMatrix().off;
    const Vector copyPosition = copy.worldMatrix().off;
    evaluateDocument(document());
    expectHeld(source, {0.0, 0.2, 0.0}, sourcePosition, "source");
    expectHeld(copy, {0.0, 0.4, 0.0}, copyPosition, "copy");
}

// A world position beyond the range of a double would make the held matrix
// non-finite; the object keeps its own transform instead.
TEST_F(AttitudeTag, NonFiniteWorldPositionLeavesTheObjectAsItWas) {
    Node& object = addHeldObject({0.0, 0.5, 0.0}, 1.0, kKeepHeading);
    object.parent()->relative.position = {1.7e308, 0.0, 0.0};
    object.relative.position = {1.7e308, 0.0, 0.0};
    object.relative.rotation = {0.7, 0.0, 0.0};
    const Transform before = object.relative;
    evaluateDocument(document());
    EXPECT_EQ(object.relative, before);
}

// Regression: the position derived back from the world matrix differed from
// the object's own in the last bits, so the object crept at every evaluation
// and evaluating the same time twice gave two scenes.
TEST_F(AttitudeTag, HeldObjectKeepsItsOwnPositionExactlyFromPassToPass) {
    Node& object = addHeldObject({1.7e231, 0.3, -0.2}, 3.1, kKeepAll);
    object.relative.position = {-0.8978838306442516, 0.002917155315600145, 0.02841025078197552};
    const Vector position = object.relative.position;
    evaluateDocument(document());
    const Transform first = object.relative;
    for (int pass = 0; pass < 3; ++pass) {
        evaluateDocument(document());
        EXPECT_EQ(object.relative, first) << "pass " << pass;
    }
    EXPECT_EQ(object.relative.position, position);
}

} // namespace
} // namespace caelo::host
