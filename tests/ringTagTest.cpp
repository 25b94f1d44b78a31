// The ring tag as the host loads it: number texts and enabling, tube and torus
// sizes from kilometres, slicing, tilt and spin at the model date, and how the
// record and links hold up under copies, moves and loads.
#include "host/application.h"
#include "host/evaluation.h"
#include "host/files/sceneFile.h"
#include "host/loading/moduleLoader.h"
#include "host/messages.h"
#include "host/scene.h"
#include "host/sceneEditing.h"
#include "host/services/hostError.h"
#include "tests/moduleSceneTest.h"
#include "tests/testTimeZone.h"

#include <gtest/gtest.h>
#include <numbers>
#include <string>
#include <utility>

namespace caelo::host {
namespace {

using namespace moduleTest;

constexpr std::int32_t kWholeRing = 1200;
constexpr std::int32_t kSlicedRing = 1201;

// Parameters of the host's tube and torus.
constexpr std::int32_t kTorusRingRadius = 1150;
constexpr std::int32_t kTorusPipeRadius = 1151;
constexpr std::int32_t kTubeOuterRadius = 1170;
constexpr std::int32_t kTubeInnerRadius = 1171;
constexpr std::int32_t kTubeHeight = 1172;
constexpr std::int32_t kSliceOn = 1200;
constexpr std::int32_t kSliceFrom = 1201;
constexpr std::int32_t kSliceTo = 1202;

constexpr double kPi = std::numbers::pi;
constexpr double kRadiansPerDegree = kPi / 180.0;

// A body size of 1275.6274 scene units for the Earth's 1275627400 cm gives
// 1e-6 scene units per cm, 0.1 per km; a globe scale of 0.1 makes a ring's
// kilometre 0.01 scene units.
constexpr double kBodySize = 1275.6274;
constexpr double kRingGlobeScale = 0.1;
constexpr double kSizeTolerance = 1e-12; // scene units
// Model time runs one day per document second; the date comes out within
// 1e-9 days, which turns a ring of period 0.5 days by under 1e-8 rad.
constexpr double kSpinTolerance = 1e-8; // radians

class RingTag : public ModuleSceneTest {
protected:
    void SetUp() override {
        ModuleSceneTest::SetUp();
        system = &addSystem();
        editParameter(*system, kBodyScale, kBodySize);
        body = &add(kBodyAxis, system);
        editParameter(*body, kGlobeScale, kRingGlobeScale);
    }

    // A tube or torus with a ring tag of inner 100 km and outer 300 km.
    Node& addRing(std::int32_t type, Node* parent) {
        Node& ring = add(type, parent);
        Node& tag = createTag(application(), ring, kRingTag);
        editParameter(tag, kInnerRadius, std::string("100"));
        editParameter(tag, kOuterRadius, std::string("300"));
        return ring;
    }
    static Node& tagOf(const Node& ring) { return *ring.tags().front(); }

    test::TimeZone universalTime{"UTC0"};
    Node* system = nullptr;
    Node* body = nullptr;
};

double floatOf(const Node& node, std::int32_t id) {
    return node.parameters.getFloat(id, -1.0);
}

TEST_F(RingTag, NewTagShowsItsDefaultsAsNormalisedText) {
    const Node& tag = createTag(application(), add(kTypeTube, body), kRingTag);
    const std::pair<std::int32_t, const char*> texts[] = {
        {kInnerRadius, "0.000000000000000e+00"}, {kOuterRadius, "0.000000000000000e+00"},
        {kThickness, "1.000000000000000e-01"},   {kTilt, "0.000000000000000e+00"},
        {kRingHeading, "0.000000000000000e+00"}, {kPhase, "0.000000000000000e+00"},
        {kPeriod, "0.000000000000000e+00"}};
    for (const auto& [id, text] : texts) {
        EXPECT_EQ(tag.parameters.getString(id), text) << id;
    }
    EXPECT_EQ(tag.parameters.getInt32(kSliceMode, 0), kWholeRing);
    EXPECT_EQ(floatOf(tag, kSliceStart), 0.0);
    EXPECT_EQ(floatOf(tag, kSliceEnd), 0.0);
    EXPECT_EQ(floatOf(tag, kRingEpoch), kJ2000);
}

TEST_F(RingTag, NumberTextsAreNormalisedAndNonNumbersRejected) {
    Node& tube = addRing(kTypeTube, body);
    Node& tag = tagOf(tube);
    editParameter(tag, kInnerRadius, std::string("2.5"));
    EXPECT_EQ(tag.parameters.getString(kInnerRadius), "2.500000000000000e+00");

    editParameter(tag, kInnerRadius, std::string("abc"));
    EXPECT_EQ(tag.parameters.getString(kInnerRadius), "2.500000000000000e+00");
    evaluateAt(kJ2000);
    EXPECT_NEAR(floatOf(tube, kTubeInnerRadius), 0.025, kSizeTolerance) << "the record keeps 2.5 km";
}

// Inner 100 km, outer 300 km and thickness 0.1 km at 0.01 scene units per km.
TEST_F(RingTag, TubeAndTorusAreSizedFromKilometres) {
    const Node& tube = addRing(kTypeTube, body);
    const Node& torus = addRing(kTypeTorus, body);
    evaluateAt(kJ2000);
    const struct {
        const Node* ring;
        std::int32_t id;
        double size;
    } sizes[] = {{&tube, kTubeInnerRadius, 1.0},
                 {&tube, kTubeOuterRadius, 3.0},
                 {&tube, kTubeHeight, 0.001},
                 {&torus, kTorusRingRadius, 2.0},
                 {&torus, kTorusPipeRadius, 1.0}};
    for (const auto& [ring, id, size] : sizes) {
        EXPECT_NEAR(floatOf(*ring, id), size, kSizeTolerance) << id;
    }
}

// Without a body axis, or with a body axis that has no system, a ring has no
// scale and is drawn with size 0; its tilt is applied all the same, and so is
// its spin wherever a system governs it.
TEST_F(RingTag, RingsWithoutABodyOrASystemGetSizeZero) {
    Node& direct = addRing(kTypeTorus, system);
    Node& outside = addRing(kTypeTube, &add(kBodyAxis, nullptr));
    for (Node* ring : {&direct, &outside}) {
        editParameter(tagOf(*ring), kTilt, std::string("10"));
        editParameter(tagOf(*ring), kPeriod, std::string("1"));
        ring->relative.rotation = {0.3, 0.0, 0.0};
    }
    evaluateAt(kJ2000 + 0.25);
    EXPECT_EQ(floatOf(direct, kTorusRingRadius), 0.0);
    EXPECT_EQ(floatOf(direct, kTorusPipeRadius), 0.0);
    for (const std::int32_t id : {kTubeInnerRadius, kTubeOuterRadius, kTubeHeight}) {
        EXPECT_EQ(floatOf(outside, id), 0.0) << id;
    }
    for (const Node* ring : {&direct, &outside}) {
        EXPECT_DOUBLE_EQ(ring->frozen.rotation.y, -10.0 * kRadiansPerDegree);
    }
    EXPECT_NEAR(direct.relative.rotation.x, kPi / 2.0, kSpinTolerance);
    EXPECT_EQ(outside.relative.rotation.x, 0.3) << "no system: no spin";
}

TEST_F(RingTag, SliceAnglesAreEditableAndAppliedOnlyWhileSliced) {
    Node& tube = addRing(kTypeTube, body);
    Node& tag = tagOf(tube);
    for (const std::int32_t id : {kSliceStart, kSliceEnd}) {
        EXPECT_FALSE(isParameterEnabled(tag, id)) << id;
    }
    EXPECT_THROW(editParameter(tag, kSliceStart, 90.0), HostError);

    editParameter(tag, kSliceMode, kSlicedRing);
    for (const std::int32_t id : {kSliceStart, kSliceEnd}) {
        EXPECT_TRUE(isParameterEnabled(tag, id)) << id;
    }
    editParameter(tag, kSliceStart, 90.0);
    editParameter(tag, kSliceEnd, 270.0);
    evaluateAt(kJ2000);
    EXPECT_TRUE(tube.parameters.getBool(kSliceOn, false));
    EXPECT_DOUBLE_EQ(floatOf(tube, kSliceFrom), 1.5707963267948966);
    EXPECT_DOUBLE_EQ(floatOf(tube, kSliceTo), 4.71238898038469);

    editParameter(tag, kSliceMode, kWholeRing);
    EXPECT_FALSE(isParameterEnabled(tag, kSliceEnd));
    evaluateAt(kJ2000);
    EXPECT_FALSE(tube.parameters.getBool(kSliceOn, true));
    EXPECT_DOUBLE_EQ(floatOf(tube, kSliceFrom), 1.5707963267948966) << "kept for the next slicing";
    EXPECT_DOUBLE_EQ(floatOf(tube, kSliceTo), 4.71238898038469);
}

// Epoch J2000.0, period 0.5 days, phase 10 degrees: a quarter day after the
// epoch the ring has turned half a turn more (190 degrees); a quarter day
// before, half a turn less, and the angle keeps its sign (-170, not 190).
TEST_F(RingTag, RingSpinsByItsPeriodAndIsTiltedByANegativePitch) {
    Node& torus = addRing(kTypeTorus, body);
    Node& tag = tagOf(torus);
    editParameter(tag, kPeriod, std::string("0.5"));
    editParameter(tag, kPhase, std::string("10"));
    editParameter(tag, kTilt, std::string("26.7"));
    torus.frozen.rotation = {1.0, 2.0, 0.2};
    torus.relative.rotation = {0.0, 0.1, 0.3};

    const std::pair<double, double> dateToHeading[] = {{kJ2000 + 0.25, 3.3161255787892263},
                                                       {kJ2000 - 0.25, -2.9670597283903604}};
    for (const auto& [julianDate, heading] : dateToHeading) {
        evaluateAt(julianDate);
        EXPECT_NEAR(torus.relative.rotation.x, heading, kSpinTolerance) << julianDate;
        EXPECT_EQ(torus.relative.rotation.y, 0.1) << "the spin keeps pitch and bank";
        EXPECT_EQ(torus.relative.rotation.z, 0.3);
        EXPECT_EQ(torus.frozen.rotation, (Vector{0.0, -0.46600291028248597, 0.2}));
    }

    editParameter(tag, kRingHeading, std::string("90"));
    evaluateAt(kJ2000);
    EXPECT_DOUBLE_EQ(torus.frozen.rotation.x, kPi / 2.0);
}

// Regression: a spin period of 0, the default, divided by zero and wrote a
// non-finite heading. The ring now keeps its heading; no value it writes is
// ever non-finite.
TEST_F(RingTag, NonFiniteValuesLeaveTheRingAsItWas) {
    Node& tube = addRing(kTypeTube, body);
    Node& tag = tagOf(tube);
    tube.relative.rotation = {0.7, 0.0, 0.0};
    for (const double julianDate : {kJ2000, kJ2000 + 0.5}) {
        evaluateAt(julianDate);
        EXPECT_EQ(tube.relative.rotation.x, 0.7) << julianDate;
    }

    // An outer radius beyond the range of a double keeps the size in force.
    editParameter(tag, kOuterRadius, std::string("1e308"));
    editParameter(*body, kGlobeScale, 1e9);
    evaluateAt(kJ2000);
    EXPECT_NEAR(floatOf(tube, kTubeOuterRadius), 3.0, kSizeTolerance);
    EXPECT_NEAR(floatOf(tube, kTubeInnerRadius), 1e10, 1e-2) << "the other sizes go on";

    // A time scale of 0 read from a scene makes the model time non-finite.
    editParameter(tag, kPeriod, std::string("1"));
    system->parameters.setFloat(kTimeScale, 0.0);
    notifyDocumentLoaded(document());
    evaluateAt(kJ2000 + 0.5);
    EXPECT_EQ(tube.relative.rotation.x, 0.7);
}

// A copy keeps the record and measures itself by the body it is placed under;
// a ring moved to another body drops its links and finds the new ones.
TEST_F(RingTag, CopiesAndMovedRingsFindTheirOwnBody) {
    Node& torus = addRing(kTypeTorus, body);
    editParameter(tagOf(torus), kPeriod, std::string("0.5"));
    evaluateAt(kJ2000);

    Node& larger = add(kBodyAxis, system);
    editParameter(larger, kGlobeScale, 2.0 * kRingGlobeScale);
    Node& copy = cloneNode(application(), torus);
    appendChild(document(), copy, &larger);
    evaluateAt(kJ2000 + 0.125);
    EXPECT_NEAR(floatOf(copy, kTorusRingRadius), 4.0, kSizeTolerance);
    EXPECT_NEAR(floatOf(copy, kTorusPipeRadius), 2.0, kSizeTolerance);
    EXPECT_NEAR(copy.relative.rotation.x, kPi / 2.0, kSpinTolerance);
    EXPECT_NEAR(floatOf(torus, kTorusRingRadius), 2.0, kSizeTolerance);

    moveNode(document(), torus, &larger);
    evaluateAt(kJ2000);
    EXPECT_NEAR(floatOf(torus, kTorusRingRadius), 4.0, kSizeTolerance);
}

TEST_F(RingTag, LoadedSceneRestoresTheRecordFromItsParameters) {
    Node& tube = addRing(kTypeTube, body);
    Node& tag = tagOf(tube);
    editParameter(tag, kThickness, std::string("20"));
    editParameter(tag, kPeriod, std::string("0.5"));
    editParameter(tag, kPhase, std::string("10"));
    editParameter(tag, kSliceMode, kSlicedRing);
    editParameter(tag, kSliceStart, 90.0);
    editParameter(tag, kSliceEnd, 270.0);
    editParameter(tag, kRingEpoch, kJ2000 - 0.5);

    Document& loaded =
        application().adoptDocument(sceneFromText(application(), sceneToText(document()), "saved"));
    notifyDocumentLoaded(loaded);
    Node& restored = *loaded.firstObject()->firstChild()->firstChild();
    evaluateAt(kJ2000 - 0.25); // a quarter day after the ring's epoch
    EXPECT_NEAR(floatOf(restored, kTubeInnerRadius), 1.0, kSizeTolerance);
    EXPECT_NEAR(floatOf(restored, kTubeOuterRadius), 3.0, kSizeTolerance);
    EXPECT_NEAR(floatOf(restored, kTubeHeight), 0.2, kSizeTolerance);
    EXPECT_DOUBLE_EQ(floatOf(restored, kSliceTo), 4.71238898038469);
    EXPECT_NEAR(restored.relative.rotation.x, 3.3161255787892263, kSpinTolerance);
    EXPECT_TRUE(isParameterEnabled(tagOf(restored), kSliceStart));

    // A parameter missing from a loaded scene keeps its field: the ring stays
    // sliced, where it once read 0 - 1200 and drew the whole ring.
    tagOf(restored).parameters.erase(kSliceMode);
    notifyDocumentLoaded(loaded);
    EXPECT_TRUE(isParameterEnabled(tagOf(restored), kSliceStart));
}

} // namespace
} // namespace caelo::host
