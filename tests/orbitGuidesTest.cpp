// The orbit axis's construction buttons as the host loads the module: orbit
// plane and orbit spline with their tags, ellipse spline with band and wrap
// deformer, a body axis to carry; what they write, what evaluation then does
// with them, and what stays when the host cannot make an object or tag.
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

// Parameters of the host's objects and tags.
constexpr std::int32_t kPlaneSegmentsX = 1232, kPlaneSegmentsY = 1233;
constexpr std::int32_t kCircleEllipse = 2010, kCircleRing = 2011, kCirclePlane = 2300;
constexpr std::int32_t kSplinePoints = 1001, kSplineAngle = 1004;
constexpr std::int32_t kBoxSeparate = 1101, kBoxSegmentsX = 1102, kBoxSegmentsY = 1103;
constexpr std::int32_t kBoxSegmentsZ = 1104, kBoxFillet = 1107;
constexpr std::int32_t kWrapStrength = 1000, kWrapSpline = 1001;
constexpr std::int32_t kWrapFit = 1005, kWrapAxis = 1006, kWrapScale = 1012, kWrapTension = 1015;
constexpr std::int32_t kPlaneXZ = 2, kAxisPlusZ = 4, kAdaptivePoints = 3;

constexpr double kTolerance = 1e-12; // scene units

class OrbitGuides : public ModuleSceneTest {
protected:
    void SetUp() override {
        ModuleSceneTest::SetUp();
        system = &add(kSystem);
        editParameter(*system, kEpoch, DateTime{{2000, 1, 1, 12, 0, 0}});
        editParameter(*system, kBodyScale, kEarthDiameterKm);
    }

    // An orbit axis in a mode with a = 10 km and e = 0.5, drawn at one scene
    // unit per km.
    Node& addOrbit(std::int32_t mode) {
        Node& orbit = add(kOrbitAxis, system);
        editParameter(orbit, kMode, mode);
        editParameter(orbit, kKm, true);
        editParameter(orbit, kA, std::string("10"));
        editParameter(orbit, kE, std::string("0.5"));
        return orbit;
    }

    test::TimeZone universalTime{"UTC0"};
    Node* system = nullptr;
};

// The children of an object as "type[tag types] ...", e.g.
// "5168[5612,1032497] 5181[1032496]".
std::string summary(const Node& object) {
    std::string text;
    for (const Node* child = object.firstChild(); child != nullptr; child = child->nextSibling()) {
        text += (text.empty() ? "" : " ") + std::to_string(child->typeId()) + "[";
        for (const Node* tag : child->tags()) {
            text += (text.back() == '[' ? "" : ",") + std::to_string(tag->typeId());
        }
        text += "]";
    }
    return text;
}

// A name from the module's string table; never empty, so that a name that
// was not loaded shows.
std::string text(std::int32_t id) {
    const std::string& name = application().strings().find(id);
    EXPECT_FALSE(name.empty()) << "string " << id;
    return name;
}

TEST_F(OrbitGuides, GuidesButtonMakesPlaneAndSplineWithTheirTags) {
    Node& orbit = addOrbit(kModeElements);
    ASSERT_TRUE(pressButton(orbit, kCreateGuides));
    ASSERT_EQ(summary(orbit), "5168[5612,1032497] 5181[1032496]");
    EXPECT_FALSE(isParameterEnabled(orbit, kCreateGuides));

    const Node& plane = *orbit.firstChild();
    EXPECT_EQ(plane.name, text(10052));
    EXPECT_EQ(plane.color.mode, 2);
    EXPECT_EQ(plane.color.color.x, 0.0);
    EXPECT_EQ(plane.color.color.y, 0.5);
    EXPECT_EQ(plane.color.color.z, 1.0);
    EXPECT_TRUE(plane.color.seeThrough);
    EXPECT_FALSE(plane.enabled());
    EXPECT_EQ(plane.parameters.getInt32(kPlaneSegmentsX, 0), 1);
    EXPECT_EQ(plane.parameters.getInt32(kPlaneSegmentsY, 0), 1);
    EXPECT_TRUE(plane.tags()[0]->parameters.getBool(kShadingSmooth, false));

    const Node& spline = *orbit.lastChild();
    EXPECT_EQ(spline.name, text(10053));
    EXPECT_TRUE(spline.parameters.getBool(kCircleEllipse, false));
    EXPECT_FALSE(spline.parameters.getBool(kCircleRing, true));
    EXPECT_EQ(spline.parameters.getInt32(kCirclePlane, 0), kPlaneXZ);

    // The tags then draw the orbit: b = 10 sqrt(0.75), c = 5.
    evaluateDocument(document());
    EXPECT_NEAR(plane.parameters.getFloat(kPlaneWidth, 0.0), 20.0, kTolerance);
    EXPECT_NEAR(plane.parameters.getFloat(kPlaneHeight, 0.0), 17.32050807568877, kTolerance);
    EXPECT_NEAR(plane.relative.position.x, -5.0, kTolerance);
    EXPECT_NEAR(spline.parameters.getFloat(kSplineRadius, 0.0), 10.0, kTolerance);
    EXPECT_NEAR(spline.parameters.getFloat(kSplineSecondRadius, 0.0), 8.660254037844386, kTolerance);
    EXPECT_NEAR(spline.relative.position.x, -5.0, kTolerance);
}

TEST_F(OrbitGuides, BandButtonMakesSplineBandAndDeformerThatEvaluationDrives) {
    Node& orbit = addOrbit(kModeBand);
    editParameter(orbit, kBandWidth, 2.0);
    editParameter(orbit, kBandHeight, 0.5);
    editParameter(orbit, kBandLength, 90.0);
    ASSERT_TRUE(pressButton(orbit, kCreateBand));
    ASSERT_EQ(summary(orbit), "5181[] 5159[5612]");
    EXPECT_FALSE(isParameterEnabled(orbit, kCreateBand));

    const Node& spline = *orbit.firstChild();
    const Node& band = *orbit.lastChild();
    ASSERT_EQ(summary(band), "1019221[]");
    const Node& deformer = *band.firstChild();
    EXPECT_EQ(orbit.parameters.getLink(kEllipseLink), spline.id());
    EXPECT_EQ(orbit.parameters.getLink(kBandLink), band.id());

    EXPECT_EQ(spline.name, text(10059));
    EXPECT_EQ(band.name, text(10060));
    EXPECT_TRUE(spline.parameters.getBool(kCircleEllipse, false));
    EXPECT_FALSE(spline.parameters.getBool(kCircleRing, true));
    struct IntValue {
        const Node* node;
        std::int32_t id;
        std::int32_t value;
    };
    const IntValue ints[] = {
        {&spline, kCirclePlane, kPlaneXZ}, {&spline, kSplinePoints, kAdaptivePoints},
        {&band, kBoxSegmentsX, 10},        {&band, kBoxSegmentsY, 10},
        {&band, kBoxSegmentsZ, 200},       {&deformer, kWrapAxis, kAxisPlusZ},
        {&deformer, kWrapScale, 0},        {&deformer, kWrapFit, 0},
    };
    for (const IntValue& row : ints) {
        EXPECT_EQ(row.node->parameters.getInt32(row.id, -1), row.value) << row.node->name << " " << row.id;
    }
    EXPECT_EQ(spline.parameters.getFloat(kSplineAngle, 0.0), 0.04363323129985824); // 2.5 degrees
    EXPECT_FALSE(band.parameters.getBool(kBoxSeparate, true));
    EXPECT_FALSE(band.parameters.getBool(kBoxFillet, true));
    EXPECT_TRUE(band.tags()[0]->parameters.getBool(kShadingSmooth, false));
    EXPECT_EQ(deformer.parameters.getLink(kWrapSpline), spline.id());
    EXPECT_EQ(deformer.parameters.getFloat(kWrapStrength, 0.0), 1.0);
    EXPECT_EQ(deformer.parameters.getFloat(kWrapOffset, -1.0), 0.0);
    EXPECT_EQ(deformer.parameters.getFloat(kWrapTension, 0.0), 1.0);

    // At J2000.0 the mean longitude 0 puts the body at perihelion: the band
    // sits at offset 0 and covers a quarter of the spline around it.
    evaluateDocument(document());
    EXPECT_NEAR(spline.parameters.getFloat(kSplineRadius, 0.0), 10.0, kTolerance);
    EXPECT_NEAR(spline.parameters.getFloat(kSplineSecondRadius, 0.0), 8.660254037844386, kTolerance);
    EXPECT_NEAR(spline.relative.position.x, -5.0, kTolerance);
    const Vector size = band.parameters.getVector(kBoxSize, {});
    EXPECT_NEAR(size.x, 2.0, kTolerance);
    EXPECT_NEAR(size.y, 0.5, kTolerance);
    EXPECT_NEAR(size.z, 2.0, kTolerance);
    EXPECT_NEAR(band.relative.position.x, -10.0, kTolerance);
    EXPECT_NEAR(deformer.parameters.getFloat(kWrapRangeStart, 0.0), -0.125, kTolerance);
    EXPECT_NEAR(deformer.parameters.getFloat(kWrapRangeEnd, 0.0), 0.125, kTolerance);
    EXPECT_NEAR(deformer.parameters.getFloat(kWrapOffset, -1.0), 0.0, kTolerance);
    ASSERT_NE(deformer.parameters.getCurve(kWrapProfile), nullptr);
    EXPECT_EQ(deformer.parameters.getCurve(kWrapProfile)->knots.size(), 3u);
}

// Mean longitude 90 degrees on a circular orbit of 10 km: a quarter turn from
// perihelion, 10 scene units from the orbit axis.
TEST_F(OrbitGuides, BodyButtonAddsABodyAxisThatTheNextEvaluationMoves) {
    Node& orbit = addOrbit(kModeElements);
    editParameter(orbit, kE, std::string("0"));
    editParameter(orbit, kL, std::string("90"));
    ASSERT_TRUE(pressButton(orbit, kCreateBody));
    ASSERT_EQ(summary(orbit), "1032495[]");
    EXPECT_FALSE(isParameterEnabled(orbit, kCreateBody));

    const Node& body = *orbit.firstChild();
    EXPECT_EQ(body.relative.position, (Vector{0.0, 0.0, 0.0}));
    evaluateDocument(document());
    const Vector& p = body.relative.position;
    EXPECT_NEAR(std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z), 10.0, kTolerance);
    EXPECT_NEAR(p.x, 0.0, kTolerance);
}

TEST_F(OrbitGuides, FailuresAnswerFalseAndKeepWhatWasMade) {
    struct Row {
        const char* operation;
        std::int64_t nth;
        std::int32_t mode;
        std::int32_t button;
        const char* children;
        bool ellipseLinked;
        bool bandLinked;
    };
    const Row rows[] = {
        {"CreateObject", 1, kModeElements, kCreateGuides, "", false, false},
        {"CreateTag", 1, kModeElements, kCreateGuides, "5168[]", false, false},
        {"CreateTag", 2, kModeElements, kCreateGuides, "5168[5612]", false, false},
        {"CreateObject", 2, kModeElements, kCreateGuides, "5168[5612,1032497]", false, false},
        {"CreateTag", 3, kModeElements, kCreateGuides, "5168[5612,1032497] 5181[]", false, false},
        {"CreateObject", 1, kModeBand, kCreateBand, "", false, false},
        {"CreateObject", 2, kModeBand, kCreateBand, "5181[]", true, false},
        {"CreateTag", 1, kModeBand, kCreateBand, "5181[] 5159[]", true, false},
        {"CreateObject", 3, kModeBand, kCreateBand, "5181[] 5159[5612]", true, true},
        {"AllocateInstance", 1, kModeElements, kCreateBody, "", false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.operation) + " " + std::to_string(row.nth) + " on button " +
                     std::to_string(row.button));
        Node& orbit = addOrbit(row.mode);
        application().faults().clear();
        application().faults().failCall(row.operation, row.nth);
        EXPECT_FALSE(pressButton(orbit, row.button));
        application().faults().clear();
        EXPECT_EQ(summary(orbit), row.children);
        EXPECT_EQ(orbit.parameters.getLink(kEllipseLink) != kNoNode, row.ellipseLinked);
        EXPECT_EQ(orbit.parameters.getLink(kBandLink) != kNoNode, row.bandLinked);
        if (orbit.lastChild() != nullptr && orbit.lastChild()->typeId() == kTypeBox) {
            EXPECT_EQ(orbit.lastChild()->firstChild(), nullptr);
        }
    }
}

} // namespace
} // namespace caelo::host
