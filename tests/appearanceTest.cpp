// How the preset solar system looks to every output: the roles of its
// objects, their colours with and without the dressing, and a user's colour
// kept.
#include "outputs/appearance/appearance.h"

#include "app/sceneSetup.h"
#include "host/messages.h"
#include "tests/moduleSceneTest.h"

#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace caelo::app {
namespace {

using namespace host::moduleTest;
using appearance::Look;
using appearance::RgbColour;
using appearance::Role;

class PresetLooks : public ModuleSceneTest {
protected:
    void SetUp() override {
        ModuleSceneTest::SetUp();
        ASSERT_TRUE(host::pressButton(addSystem(), kBuildSolarSystem));
        evaluateAt(kJ2000);
    }

    // The first object of the name in tree order; `parentName`, when given,
    // must be its parent's.
    host::Node& named(const std::string& name, const std::string& parentName = {}) {
        host::Node* found = nullptr;
        document().forEachObject([&](host::Node& object) {
            if (found == nullptr && object.name == name &&
                (parentName.empty() || (object.parent() && object.parent()->name == parentName))) {
                found = &object;
            }
        });
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }
};

TEST_F(PresetLooks, EachRoleHasItsColourShadingAndOpacityDressedOrNot) {
    struct Case {
        const char* name;
        const char* parent;
        Role role;
        RgbColour colour;
        bool glows, unlit;
        double dressedOpacity;
    };
    const RgbColour mars{0.88, 0.43, 0.26}, saturnRings{0.85, 0.77, 0.62};
    const RgbColour marsOrbit{0.66, 0.3225, 0.195}, earthOrbit{0.24, 0.42, 0.705};
    const Case cases[] = {
        {"Sun", "", Role::Star, {1.0, 0.78, 0.32}, true, false, 1.0},
        {"Mars", "", Role::Globe, mars, false, false, 1.0},
        {"Orbit Spline", "Orbit(Mars)", Role::OrbitLine, marsOrbit, false, true, 1.0},
        {"Orbit Spline", "Orbit(Earth-Moon Barycentre)", Role::OrbitLine, earthOrbit, false, true, 1.0},
        {"B Ring", "", Role::Ring, saturnRings, false, false, 0.6},
        {"Band", "Orbit(Adams Ring)", Role::Ring, {0.52, 0.53, 0.56}, false, false, 0.6},
        {"Equator Plane", "", Role::Plane, {182.0 / 255.0, 0.0, 0.0}, false, true, 0.3},
        {"Orbit(Mars)", "", Role::Other, {0.78, 0.76, 0.72}, false, false, 1.0},
    };
    for (const bool dressed : {false, true}) {
        if (dressed) {
            dressSolarSystem(document());
        }
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (dressed ? ", dressed" : ", as the module made it"));
            const host::Node& object = named(c.name, c.parent);
            EXPECT_EQ(appearance::roleOf(document(), object), c.role);
            const Look look = appearance::lookOf(document(), object);
            EXPECT_NEAR(look.colour.red, c.colour.red, 1e-12);
            EXPECT_NEAR(look.colour.green, c.colour.green, 1e-12);
            EXPECT_NEAR(look.colour.blue, c.colour.blue, 1e-12);
            EXPECT_EQ(look.glows, c.glows);
            EXPECT_EQ(look.unlit, c.unlit);
            if (dressed) {
                EXPECT_DOUBLE_EQ(look.opacity, c.dressedOpacity);
                EXPECT_EQ(object.color.mode == 2, c.role != Role::Other);
            }
        }
    }
}

TEST_F(PresetLooks, AUsersColourIsKeptByTheDressingAndSeenByTheOrbitLineUndressed) {
    host::Node& mars = named("Mars");
    mars.color = {2, {0.1, 0.9, 0.2}, false};
    EXPECT_NEAR(appearance::lookOf(document(), named("Orbit Spline", "Orbit(Mars)")).colour.green, 0.675,
                1e-12)
        << "an undressed orbit line follows its body's own colour";
    mars.color.color = {0.1, std::numeric_limits<double>::quiet_NaN(), 0.2};
    EXPECT_NEAR(appearance::lookOf(document(), mars).colour.red, 0.88, 1e-12)
        << "a colour that is not finite is none";
    mars.color.color = {0.1, 1.5, -0.2};
    dressSolarSystem(document());
    const Look look = appearance::lookOf(document(), mars);
    EXPECT_EQ(look.colour.green, 1.0) << "clamped";
    EXPECT_EQ(look.colour.blue, 0.0) << "clamped";
    EXPECT_EQ(mars.color.color.y, 1.5) << "the dressing leaves a user's colour as it is";
}

} // namespace
} // namespace caelo::app
