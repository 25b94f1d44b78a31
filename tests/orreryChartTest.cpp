// The top view: its radial scale, what it reads from the preset solar system
// (bodies, labels, places on their orbits) and where it puts them in the
// picture.
#include "outputs/pictures/orreryChart.h"

#include "host/messages.h"
#include "host/services/hostError.h"
#include "outputs/pictures/pictureScene.h"
#include "places/bodyPlaces.h"
#include "tests/moduleSceneTest.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <string>
#include <vector>

namespace caelo::app {

using pictures::OrbitingBody;
using pictures::readOrbitingBodies;
namespace {

using host::Vector;
using namespace host::moduleTest;

constexpr int kOrbitSamples = 720;

TEST(ChartRadialScale, IsTrueWithin1AuLogarithmicBeyondAndAlwaysIncreasing) {
    const pictures::ChartRadialScale scale(50.0, 500.0);
    EXPECT_NEAR(scale.radiusPx(50.0), 500.0, 1e-9) << "the outermost distance touches the edge";
    EXPECT_EQ(scale.radiusPx(0.0), 0.0);
    EXPECT_EQ(scale.radiusPx(-3.0), 0.0) << "negative distances count as 0";
    EXPECT_NEAR(scale.radiusPx(0.5), 0.5 * scale.pixelsPerAu(), 1e-9) << "linear within 1 au";
    // Equal ratios of distance beyond 1 au are equal steps.
    EXPECT_NEAR(scale.radiusPx(20.0) - scale.radiusPx(10.0), scale.radiusPx(4.0) - scale.radiusPx(2.0), 1e-9);
    // Continuous, with a continuous slope, at 1 au.
    const double h = 1e-7;
    EXPECT_NEAR(scale.radiusPx(1.0 + h) - scale.radiusPx(1.0), scale.radiusPx(1.0) - scale.radiusPx(1.0 - h),
                1e-9);
    double previous = -1.0;
    for (double au = 0.0; au <= 100.0; au += 0.01) {
        const double r = scale.radiusPx(au);
        ASSERT_GT(r, previous) << au;
        previous = r;
    }
}

class PresetChart : public ModuleSceneTest {
protected:
    void SetUp() override {
        ModuleSceneTest::SetUp();
        host::Node& system = addSystem();
        system.name = "Solar system";
        ASSERT_TRUE(host::pressButton(system, kBuildSolarSystem));
        evaluateAt(kJ2000);
    }
};

double distanceAu(const OrbitingBody& body) {
    return std::sqrt(dot(body.placeAu, body.placeAu));
}

// The shortest distance from a point to a closed polyline's vertices (au).
double distanceToOrbit(const Vector& p, const std::vector<Vector>& orbit) {
    double nearest = INFINITY;
    for (const Vector& q : orbit) {
        nearest = std::min(nearest, std::sqrt(dot(p - q, p - q)));
    }
    return nearest;
}

TEST_F(PresetChart, ReadsThePlanetsWithTheirNamesOrbitsAndSizes) {
    const pictures::OrbitingBodies system = readOrbitingBodies(document(), kOrbitSamples);
    EXPECT_EQ(system.systemName, "Solar system");
    EXPECT_EQ(system.centralLabel, "Sun");
    ASSERT_TRUE(system.modelDate);
    EXPECT_EQ(system.modelDate->year, 2000);
    std::vector<std::string> labels;
    for (const OrbitingBody& body : system.bodies) {
        labels.push_back(body.label);
    }
    // The barycentres take the name of the first body below them with a globe.
    const std::vector<std::string> expected{"Mercury", "Venus",  "Earth",   "Mars", "Jupiter",
                                            "Saturn",  "Uranus", "Neptune", "Pluto"};
    ASSERT_EQ(labels, expected);

    for (const OrbitingBody& body : system.bodies) {
        ASSERT_EQ(body.orbitAu.size(), static_cast<std::size_t>(kOrbitSamples)) << body.label;
        const double distance = distanceAu(body);
        // Each body sits on the ellipse its orbit spline draws (within the
        // spacing of the samples).
        EXPECT_LT(distanceToOrbit(body.placeAu, body.orbitAu), 0.01 * distance) << body.label;
        EXPECT_GT(body.radiusKm, 1000.0) << body.label;
    }
    // Mercury between its perihelion and aphelion; Neptune near 30.1 au at
    // J2000 (au).
    EXPECT_GT(distanceAu(system.bodies[0]), 0.307);
    EXPECT_LT(distanceAu(system.bodies[0]), 0.467);
    EXPECT_NEAR(distanceAu(system.bodies[7]), 30.1, 0.3);
    EXPECT_NEAR(system.bodies[2].radiusKm, 6378.137, 1.0) << "the Earth's size for the barycentre's dot";
}

TEST_F(PresetChart, KeepsMercuryAndNeptuneInsideThePictureAndApart) {
    const pictures::OrbitingBodies system = readOrbitingBodies(document(), kOrbitSamples);
    constexpr int width = 1600, height = 1200;
    const pictures::ChartLayout layout(system, width, height);
    double previousRadius = 0.0;
    double previousDistance = 0.0;
    std::vector<const OrbitingBody*> byDistance;
    for (const OrbitingBody& body : system.bodies) {
        byDistance.push_back(&body);
    }
    std::sort(byDistance.begin(), byDistance.end(), [](const OrbitingBody* a, const OrbitingBody* b) {
        return std::hypot(a->placeAu.x, a->placeAu.y) < std::hypot(b->placeAu.x, b->placeAu.y);
    });
    for (const OrbitingBody* body : byDistance) {
        const auto p = layout.pointOf(body->placeAu);
        ASSERT_TRUE(p) << body->label;
        EXPECT_TRUE(p->x > 0 && p->x < width && p->y > 0 && p->y < height) << body->label;
        const double radius = std::hypot(p->x - layout.centre().x, p->y - layout.centre().y);
        EXPECT_LE(radius, layout.radiusPx() + 1e-6) << body->label;
        EXPECT_GT(radius, previousRadius) << body->label << " lies farther out than the body before it";
        EXPECT_GT(std::hypot(body->placeAu.x, body->placeAu.y), previousDistance);
        previousRadius = radius;
        previousDistance = std::hypot(body->placeAu.x, body->placeAu.y);
    }
    const auto mercury = layout.pointOf(system.bodies.front().placeAu);
    EXPECT_GT(std::hypot(mercury->x - layout.centre().x, mercury->y - layout.centre().y),
              0.06 * layout.radiusPx())
        << "Mercury stands clear of the Sun";

    // The drawing puts each dot where the layout says, in the body's colour.
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cairo = cairo_create(surface);
    pictures::drawOrreryChart(cairo, document(), width, height);
    cairo_destroy(cairo);
    cairo_surface_flush(surface);
    const auto* data = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(surface));
    const int stride = cairo_image_surface_get_stride(surface) / 4;
    for (const std::size_t index : {std::size_t{0}, std::size_t{7}}) {
        const OrbitingBody& body = system.bodies[index];
        const auto p = layout.pointOf(body.placeAu);
        const std::uint32_t pixel = data[static_cast<int>(p->y) * stride + static_cast<int>(p->x)];
        EXPECT_NEAR((pixel >> 16) & 0xff, body.colour.red * 255.0, 24.0) << body.label;
        EXPECT_NEAR((pixel >> 8) & 0xff, body.colour.green * 255.0, 24.0) << body.label;
        EXPECT_NEAR(pixel & 0xff, body.colour.blue * 255.0, 24.0) << body.label;
    }
    cairo_surface_destroy(surface);
}

// The chart is seen from ecliptic north: each planet stands at its ecliptic
// longitude counted counter-clockwise from the right, as the positions table
// gives it (bodyPlaces reads the scene on its own).
TEST_F(PresetChart, PutsEachPlanetAtItsEclipticLongitudeCountedCounterClockwise) {
    const pictures::OrbitingBodies system = readOrbitingBodies(document(), kOrbitSamples);
    const pictures::ChartLayout layout(system, 1600, 1200);
    std::vector<double> longitudesDeg;
    for (const places::BodyPlace& place : places::bodyPlaces(document(), host::application().strings())) {
        if (place.heliocentric) {
            longitudesDeg.push_back(place.heliocentric->longitudeDeg);
        }
    }
    ASSERT_EQ(longitudesDeg.size(), system.bodies.size());
    for (std::size_t i = 0; i < system.bodies.size(); ++i) {
        const auto p = layout.pointOf(system.bodies[i].placeAu);
        ASSERT_TRUE(p);
        double chartDeg =
            std::atan2(layout.centre().y - p->y, p->x - layout.centre().x) * 180.0 / std::numbers::pi;
        if (chartDeg < 0.0) {
            chartDeg += 360.0;
        }
        EXPECT_NEAR(chartDeg, longitudesDeg[i], 1e-6) << system.bodies[i].label;
    }
}

TEST_F(PresetChart, RefusesADocumentWithoutASystemOrBodies) {
    host::application().newDocument();
    EXPECT_THROW(static_cast<void>(readOrbitingBodies(document(), kOrbitSamples)), host::HostError);
    add(kSystem);
    try {
        static_cast<void>(readOrbitingBodies(document(), kOrbitSamples));
        FAIL() << "a system without body axes has nothing to chart";
    } catch (const host::HostError& error) {
        EXPECT_NE(std::string(error.what()).find("body axis"), std::string::npos) << error.what();
    }
}

TEST(PictureText, WritesDatesAndKeepsSmallTextReadable) {
    EXPECT_DOUBLE_EQ(pictures::pictureScale(800, 600).lines, 0.5);
    EXPECT_DOUBLE_EQ(pictures::pictureScale(800, 600).text, 0.7) << "text shrinks less than lines";
    EXPECT_DOUBLE_EQ(pictures::pictureScale(1800, 2400).text, 1.5);
    EXPECT_EQ(pictures::pictureDateText({2026, 12, 8, 18, 5, 59}), "8 December 2026, 18:05");
    EXPECT_EQ(pictures::pictureDateText({2000, 1, 1, 12, 0, 0}), "1 January 2000, 12:00");
}

} // namespace
} // namespace caelo::app
