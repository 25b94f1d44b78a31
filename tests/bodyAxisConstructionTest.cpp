// What a body axis builds on its buttons, through the loaded module: the globe
// with its two planes, rings laid out in the zone from 1.25 to 2 equatorial
// radii, moon orbits in band mode, plain orbit axes, and what stays when the
// host cannot make an object, a tag or room for the ring list.
#include "host/application.h"
#include "host/hostTypes.h"
#include "host/loading/moduleLoader.h"
#include "host/messages.h"
#include "host/scene.h"
#include "host/sceneEditing.h"
#include "host/services/numberText.h"
#include "tests/moduleSceneTest.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace caelo::host {
namespace {

using namespace moduleTest;

// The body axis's buttons that add rings, moons and orbit axes.
constexpr std::int32_t kAddTubeRing = 1016, kAddTorusRing = 1017, kAddMoonOrbit = 1018, kAddOrbitAxis = 1019;
// The host's primitives.
constexpr std::int32_t kSphereSegments = 1111, kTorusRingSegments = 1152, kTorusPipeSegments = 1153;
constexpr std::int32_t kTubeCapSegments = 1174, kTubeHeightSegments = 1175, kTubeRotationSegments = 1176;
constexpr std::int32_t kPlaneWidthSegments = 1232, kPlaneHeightSegments = 1233, kPrimitiveAxis = 1300;
// Strings of the module's table that name created objects.
constexpr std::int32_t kStringEquatorPlane = 10054, kStringOrbitPlane = 10055;
constexpr std::int32_t kStringGlobe = 10056, kStringRing = 10057, kStringMoon = 10058;

// Ring sizes are sums of a few products of R = 100 km; they come out within
// a few ulps of the exact values.
constexpr double kKmTolerance = 1e-9;      // km
constexpr double kPeriodTolerance = 1e-12; // days

class BodyAxisConstruction : public ModuleSceneTest {
protected:
    void SetUp() override {
        ModuleSceneTest::SetUp();
        body = &add(kBodyAxis, &add(kSystem));
    }

    void setRadius(const char* radiusKm) { editParameter(*body, kEquatorialRadius, std::string(radiusKm)); }
    // A ring body of `type` below the body axis with a ring tag of the given
    // radii (km).
    Node& addTaggedRing(std::int32_t type, const char* innerKm, const char* outerKm) {
        Node& ring = add(type, body);
        Node& tag = createTag(application(), ring, kRingTag);
        editParameter(tag, kInnerRadius, std::string(innerKm));
        editParameter(tag, kOuterRadius, std::string(outerKm));
        return ring;
    }
    [[nodiscard]] std::vector<Node*> children() const {
        std::vector<Node*> result;
        for (Node* child = body->firstChild(); child != nullptr; child = child->nextSibling()) {
            result.push_back(child);
        }
        return result;
    }

    Node* body = nullptr;
};

const std::string& text(std::int32_t stringId) {
    return application().strings().find(stringId);
}

double number(const Node& node, std::int32_t id) {
    const std::optional<double> value = textToNumber(node.parameters.getString(id));
    EXPECT_TRUE(value.has_value()) << "parameter " << id << " holds \"" << node.parameters.getString(id)
                                   << "\"";
    return value.value_or(-1.0);
}

const Node* tagOf(const Node& object, std::int32_t type) {
    for (const Node* tag : object.tags()) {
        if (tag->typeId() == type) {
            return tag;
        }
    }
    return nullptr;
}

void expectRadii(const Node& ring, double innerKm, double outerKm) {
    const Node* tag = tagOf(ring, kRingTag);
    ASSERT_NE(tag, nullptr);
    EXPECT_NEAR(number(*tag, kInnerRadius), innerKm, kKmTolerance);
    EXPECT_NEAR(number(*tag, kOuterRadius), outerKm, kKmTolerance);
}

// The types of the body's children with the types of their tags, e.g.
// "5168[5612 1032498] 5160[]".
std::string summary(const Node& parent) {
    std::string result;
    for (const Node* child = parent.firstChild(); child != nullptr; child = child->nextSibling()) {
        result += (result.empty() ? "" : " ") + std::to_string(child->typeId()) + "[";
        for (const Node* tag : child->tags()) {
            result += (result.back() == '[' ? "" : " ") + std::to_string(tag->typeId());
        }
        result += "]";
    }
    return result;
}

TEST_F(BodyAxisConstruction, GlobeButtonBuildsOrbitPlaneEquatorPlaneAndGlobe) {
    ASSERT_TRUE(pressButton(*body, kCreateGlobe));

    ASSERT_EQ(summary(*body), "5168[5612 1032498] 5168[5612 1032499] 5160[5612]");
    const std::vector<Node*> made = children();
    struct PlaneCase {
        const Node* plane;
        std::int32_t nameId;
        Vector color;
    };
    const PlaneCase planes[] = {{made[0], kStringOrbitPlane, {0.0, 0.5, 1.0}},
                                {made[1], kStringEquatorPlane, {182.0 / 255.0, 0.0, 0.0}}};
    for (const PlaneCase& expected : planes) {
        const Node& plane = *expected.plane;
        EXPECT_EQ(plane.name, text(expected.nameId));
        EXPECT_EQ(plane.color.mode, 2);
        EXPECT_DOUBLE_EQ(plane.color.color.x, expected.color.x);
        EXPECT_DOUBLE_EQ(plane.color.color.y, expected.color.y);
        EXPECT_DOUBLE_EQ(plane.color.color.z, expected.color.z);
        EXPECT_TRUE(plane.color.seeThrough);
        EXPECT_EQ(plane.parameters.getInt32(kPlaneWidthSegments, 0), 1);
        EXPECT_EQ(plane.parameters.getInt32(kPlaneHeightSegments, 0), 1);
        EXPECT_TRUE(tagOf(plane, kTypeShadingTag)->parameters.getBool(kShadingSmooth, false));
        EXPECT_FALSE(plane.enabled()) << plane.name;
    }

    const Node& globe = *made[2];
    EXPECT_EQ(globe.name, text(kStringGlobe));
    EXPECT_EQ(globe.parameters.getInt32(kSphereSegments, 0), 24);
    EXPECT_TRUE(globe.enabled());
    EXPECT_TRUE(tagOf(globe, kTypeShadingTag)->parameters.getBool(kShadingSmooth, false));
    EXPECT_EQ(body->parameters.getLink(kGlobeLink), globe.id());
    EXPECT_FALSE(isParameterEnabled(*body, kCreateGlobe));
}

// With R = 100 km the zone runs from 125 to 200 km. One ring fills 125 ..
// 125 + 75 - 3.75; with two, each slot is 37.5 km wide with a gap of 1.875.
// The new ring's period is its mean radius over R times the rotation period.
// Each new ring, a tube or a torus, is the body's last child.
TEST_F(BodyAxisConstruction, FirstAndSecondRingShareTheZone) {
    setRadius("100");
    editParameter(*body, kRotationPeriod, std::string("0.5"));

    ASSERT_TRUE(pressButton(*body, kAddTubeRing));
    const Node& first = *body->lastChild();
    expectRadii(first, 125.0, 196.25);
    const Node& firstTag = *tagOf(first, kRingTag);
    EXPECT_NEAR(number(firstTag, kPeriod), 160.625 / 100.0 * 0.5, kPeriodTolerance);
    EXPECT_EQ(number(firstTag, kThickness), 0.5);
    for (const std::int32_t id : {kTilt, kRingHeading, kPhase}) {
        EXPECT_EQ(number(firstTag, id), 0.0) << id;
    }
    EXPECT_EQ(firstTag.parameters.getFloat(kRingEpoch, 0.0), kJ2000);
    EXPECT_EQ(firstTag.parameters.getInt32(kSliceMode, 0), 1200);

    ASSERT_TRUE(pressButton(*body, kAddTorusRing));
    const Node& second = *body->lastChild();
    expectRadii(first, 125.0, 160.625);
    expectRadii(second, 162.5, 198.125);
    EXPECT_NEAR(number(*tagOf(second, kRingTag), kPeriod), (162.5 + 198.125) * 0.5 / 100.0 * 0.5,
                kPeriodTolerance);

    ASSERT_EQ(summary(*body), "5165[5612 1032500] 5163[5612 1032500]");
    EXPECT_EQ(first.parameters.getInt32(kTubeRotationSegments, 0), 144);
    EXPECT_EQ(first.parameters.getInt32(kTubeHeightSegments, 0), 1);
    EXPECT_EQ(first.parameters.getInt32(kTubeCapSegments, 0), 1);
    EXPECT_EQ(second.parameters.getInt32(kTorusRingSegments, 0), 72);
    EXPECT_EQ(second.parameters.getInt32(kTorusPipeSegments, 0), 72);
    for (const Node* ring : {&first, &second}) {
        EXPECT_EQ(ring->name, text(kStringRing));
        EXPECT_EQ(ring->parameters.getInt32(kPrimitiveAxis, 0), kAxisPlusY);
        EXPECT_TRUE(tagOf(*ring, kTypeShadingTag)->parameters.getBool(kShadingSmooth, false));
    }
}

// Which children the layout counts, and in which order it places them: ring
// bodies converted to polygons count; a tube without a ring tag and a sphere
// with one do not; the order is that of the inner radii.
TEST_F(BodyAxisConstruction, LayoutCountsTaggedRingBodiesInOrderOfInnerRadius) {
    setRadius("100");
    Node& outer = addTaggedRing(kTypeTube, "500", "600");
    Node& untagged = add(kTypeTube, body);
    Node& converted = addTaggedRing(kTypePolygon, "200", "300");
    Node& notARing = addTaggedRing(kTypeSphere, "10", "20");

    ASSERT_TRUE(pressButton(*body, kAddTubeRing));
    // Three rings: slots of 25 km with gaps of 1.25 km.
    expectRadii(converted, 125.0, 148.75);
    expectRadii(outer, 150.0, 173.75);
    expectRadii(*body->lastChild(), 175.0, 198.75);
    expectRadii(notARing, 10.0, 20.0);
    EXPECT_TRUE(untagged.tags().empty());
}

// More rings than the list first has room for: it grows and keeps them all.
TEST_F(BodyAxisConstruction, ManyRingsKeepEqualSlots) {
    setRadius("100");
    constexpr int kRings = 20;
    for (int i = 0; i < kRings; ++i) {
        ASSERT_TRUE(pressButton(*body, i % 2 == 0 ? kAddTubeRing : kAddTorusRing));
    }
    const double slot = 75.0 / kRings;
    int index = 0;
    for (const Node* ring : children()) {
        expectRadii(*ring, 125.0 + index * slot, 125.0 + index * slot + slot * 0.95);
        ++index;
    }
    EXPECT_EQ(index, kRings);
}

TEST_F(BodyAxisConstruction, ZeroRadiusGivesZeroRingsAndNoSpin) {
    setRadius("0");
    Node& existing = addTaggedRing(kTypeTorus, "100", "300");
    ASSERT_TRUE(pressButton(*body, kAddTubeRing));
    expectRadii(existing, 0.0, 0.0);
    expectRadii(*body->lastChild(), 0.0, 0.0);
    EXPECT_EQ(number(*tagOf(*body->lastChild(), kRingTag), kPeriod), 0.0);
}

// R = 1000 km: a band from 2500 to 3250 km around a = 2875 km, with the
// string-table name "<orbit prefix>(<moon>)".
TEST_F(BodyAxisConstruction, MoonButtonAddsABandOrbitAroundTheBody) {
    setRadius("1000");
    ASSERT_TRUE(pressButton(*body, kCreateGlobe));
    ASSERT_TRUE(pressButton(*body, kAddMoonOrbit));

    const Node& moon = *body->lastChild();
    ASSERT_EQ(moon.typeId(), kOrbitAxis);
    EXPECT_EQ(moon.name, text(kStringOrbitPrefix) + "(" + text(kStringMoon) + ")");
    const std::pair<std::int32_t, double> elements[] = {{kA, 2875.0}, {kE, 0.25}, {kLRate, 1314900.0}};
    for (const auto& [id, value] : elements) {
        EXPECT_EQ(number(moon, id), value) << id;
    }
    const std::pair<std::int32_t, double> band[] = {
        {kBandWidth, 750.0}, {kBandHeight, 0.5}, {kBandEndSize, 0.6}, {kBandLength, 360.0}};
    for (const auto& [id, value] : band) {
        EXPECT_EQ(moon.parameters.getFloat(id, -1.0), value) << id;
    }
    EXPECT_EQ(moon.parameters.getInt32(kMode, 0), 1203);
    EXPECT_EQ(moon.parameters.getInt32(kBandSpacing, 0), 1250);
    EXPECT_TRUE(moon.parameters.getBool(kKm, false));
    for (const std::int32_t id : {kOrbitEpoch, kAuxDate1, kAuxDate2}) {
        EXPECT_EQ(moon.parameters.getFloat(id, 0.0), kJ2000) << id;
    }

    // Its band: ellipse spline and band object, the wrap deformer below the band.
    ASSERT_EQ(summary(moon), "5181[] 5159[5612]");
    EXPECT_EQ(moon.parameters.getLink(kEllipseLink), moon.firstChild()->id());
    EXPECT_EQ(moon.parameters.getLink(kBandLink), moon.lastChild()->id());
    EXPECT_EQ(summary(*moon.lastChild()), "1019221[]");
}

TEST_F(BodyAxisConstruction, OrbitAxisButtonAppendsAnUntouchedOrbitAxis) {
    ASSERT_TRUE(pressButton(*body, kCreateGlobe));
    ASSERT_TRUE(pressButton(*body, kAddOrbitAxis));

    const Node& added = *body->lastChild();
    ASSERT_EQ(added.typeId(), kOrbitAxis);
    EXPECT_EQ(children().size(), 4U);
    EXPECT_EQ(added.name, added.type()->displayName);
    EXPECT_EQ(added.firstChild(), nullptr);
    Node& fresh = createObject(application(), kOrbitAxis);
    EXPECT_EQ(added.parameters, fresh.parameters);
    removeNode(application(), fresh);
}

// A failing host call ends an operation with false, or is skipped where the
// object does without it; what was made before stays.
TEST_F(BodyAxisConstruction, FailuresKeepWhatWasMade) {
    struct FailureCase {
        const char* what;
        const char* operation;
        std::int64_t nth;
        std::int32_t button;
        bool result;
        const char* children;
    };
    const FailureCase cases[] = {
        {"orbit plane", "CreateObject", 1, kCreateGlobe, false, ""},
        {"shading tag of the orbit plane", "CreateTag", 1, kCreateGlobe, false, "5168[]"},
        {"orbit plane S tag", "CreateTag", 2, kCreateGlobe, false, "5168[5612]"},
        {"equatorial plane tag", "CreateTag", 4, kCreateGlobe, false, "5168[5612 1032498] 5168[5612]"},
        {"globe", "CreateObject", 3, kCreateGlobe, false, "5168[5612 1032498] 5168[5612 1032499]"},
        {"shading tag of the globe", "CreateTag", 5, kCreateGlobe, true,
         "5168[5612 1032498] 5168[5612 1032499] 5160[]"},
        {"ring body", "CreateObject", 1, kAddTubeRing, false, ""},
        {"shading tag of a ring", "CreateTag", 1, kAddTorusRing, true, "5163[1032500]"},
        {"ring tag", "CreateTag", 2, kAddTubeRing, false, "5165[5612]"},
        {"moon orbit axis", "CreateObject", 1, kAddMoonOrbit, false, ""},
        {"ellipse spline of the moon's band", "CreateObject", 2, kAddMoonOrbit, false, "1032494[]"},
        {"orbit axis", "CreateObject", 1, kAddOrbitAxis, false, ""},
    };
    for (const FailureCase& failure : cases) {
        SCOPED_TRACE(failure.what);
        while (body->firstChild() != nullptr) {
            removeNode(application(), *body->firstChild());
        }
        application().faults().clear();
        application().faults().failCall(failure.operation, failure.nth);
        EXPECT_EQ(pressButton(*body, failure.button), failure.result);
        EXPECT_EQ(summary(*body), failure.children);
        const bool globeMade = std::string(failure.children).find("5160") != std::string::npos;
        EXPECT_EQ(body->parameters.getLink(kGlobeLink) != kNoNode, globeMade);
        editParameter(*body, kGlobeLink, Link{kNoNode});
    }
    application().faults().clear();
}

// A ring tag that cannot be made leaves the other rings re-spaced already; a
// list that cannot grow leaves the ring it had no room for as it was.
TEST_F(BodyAxisConstruction, RingFailuresAfterOrWithoutTheLayout) {
    setRadius("100");
    Node& existing = addTaggedRing(kTypeTube, "300", "400");

    application().faults().failCall("CreateTag", 2);
    EXPECT_FALSE(pressButton(*body, kAddTubeRing));
    expectRadii(existing, 125.0, 160.625);

    removeNode(application(), *body->lastChild());
    application().faults().clear();
    application().faults().failCall("ResizeArray", 1);
    ASSERT_TRUE(pressButton(*body, kAddTubeRing));
    expectRadii(existing, 125.0, 160.625);
    expectRadii(*body->lastChild(), 125.0, 196.25);
    application().faults().clear();
}

} // namespace
} // namespace caelo::host
