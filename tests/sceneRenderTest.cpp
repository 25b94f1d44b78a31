// The camera view: where the pinhole camera puts known points, how lines and
// polygons are cut at the camera and the picture's guard band, the outlines of
// the host primitives, and what drawCameraView paints (visible, hidden,
// disabled and behind-the-camera objects; rings in front of and behind their
// globe).
#include "outputs/pictures/sceneRender.h"

#include "host/hostTypes.h"
#include "host/sceneEditing.h"
#include "host/services/hostError.h"
#include "outputs/pictures/sceneRenderProjection.h"
#include "outputs/pictures/sceneRenderShapes.h"
#include "tests/hostTestSupport.h"

#include <cairo.h>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <numbers>
#include <vector>

namespace caelo::host {

using pictures::CameraProjection;
using pictures::flatRingOutline;
using pictures::PicturePoint;
namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 1200;
constexpr std::int32_t kFocalLength = 500, kSphereRadius = 1110, kAxis = 1300;
constexpr std::int32_t kTubeOuter = 1170, kTubeInner = 1171, kSliceOn = 1200, kSliceFrom = 1201,
                       kSliceTo = 1202;

// A camera at the origin looking along +Z with the default 36 mm lens.
CameraProjection straightAhead(double focalLengthMm = 36.0) {
    return {Matrix{}, focalLengthMm, kWidth, kHeight};
}

bool isFinitePoint(const PicturePoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// Within the guard band: at most kGuardFactor half-sizes from the centre.
bool isWithinGuard(const PicturePoint& p) {
    const double slack = 1e-6;
    return std::abs(p.x - kWidth / 2.0) <= CameraProjection::kGuardFactor * kWidth / 2.0 + slack &&
           std::abs(p.y - kHeight / 2.0) <= CameraProjection::kGuardFactor * kHeight / 2.0 + slack;
}

TEST(CameraProjection, PutsKnownPointsOnTheirPixels) {
    struct Case {
        double focalMm;
        Vector point;
        double x, y;
    };
    // 1600 px across a 36 mm aperture: a 36 mm lens has f = 1600 px.
    const Case cases[] = {
        {36.0, {0.0, 0.0, 10.0}, 800.0, 600.0},        {36.0, {100.0, 50.0, 1000.0}, 960.0, 520.0},
        {36.0, {-100.0, -50.0, 1000.0}, 640.0, 680.0}, {72.0, {100.0, 50.0, 1000.0}, 1120.0, 440.0},
        {-5.0, {100.0, 50.0, 1000.0}, 960.0, 520.0}, // an unusable focal length takes the default
    };
    for (const Case& c : cases) {
        const CameraProjection view = straightAhead(c.focalMm);
        const auto p = view.project(view.toCameraSpace(c.point));
        ASSERT_TRUE(p.has_value());
        EXPECT_NEAR(p->x, c.x, 1e-9) << c.focalMm;
        EXPECT_NEAR(p->y, c.y, 1e-9) << c.focalMm;
    }
    const CameraProjection view = straightAhead();
    EXPECT_FALSE(view.project({0.0, 0.0, -5.0})) << "behind the camera";
    EXPECT_FALSE(view.project({0.0, 0.0, 0.0})) << "at the camera";
    EXPECT_FALSE(view.project({std::numeric_limits<double>::quiet_NaN(), 0.0, 10.0}));
}

TEST(CameraProjection, TheDefaultCameraLooksAtTheOriginWithItsXRightAndYUp) {
    Matrix camera = anglesToMatrix({kDefaultCameraHeading, defaultCameraPitch(), 0.0});
    camera.off = {800.0, 400.0, -800.0}; // (8, 4, -8) times a length, as the preset places it
    const CameraProjection view(camera, 36.0, kWidth, kHeight);
    const auto centre = view.project(view.toCameraSpace({0.0, 0.0, 0.0}));
    ASSERT_TRUE(centre);
    EXPECT_NEAR(centre->x, 800.0, 1e-6);
    EXPECT_NEAR(centre->y, 600.0, 1e-6);
    const auto right = view.project(view.toCameraSpace(camera.x * 50.0));
    const auto up = view.project(view.toCameraSpace(camera.y * 50.0));
    ASSERT_TRUE(right && up);
    EXPECT_GT(right->x, 800.0);
    EXPECT_NEAR(right->y, 600.0, 1e-6);
    EXPECT_LT(up->y, 600.0);

    // The camera's scale does not change what it sees.
    Matrix scaled = camera;
    scaled.x = camera.x * 3.0;
    scaled.z = camera.z * 0.5;
    const CameraProjection scaledView(scaled, 36.0, kWidth, kHeight);
    const auto same = scaledView.project(scaledView.toCameraSpace(camera.x * 50.0));
    ASSERT_TRUE(same);
    EXPECT_NEAR(same->x, right->x, 1e-6);
}

TEST(CameraProjection, CutsLinesAtTheCameraAndTheGuardBand) {
    const CameraProjection view = straightAhead();
    // A circle round the camera in its horizontal plane: only the part in
    // front stays, as one piece, cut at the guard band.
    std::vector<Vector> circle;
    for (int i = 0; i < 360; ++i) {
        const double a = i * std::numbers::pi / 180.0;
        circle.push_back({1000.0 * std::cos(a), -10.0, 1000.0 * std::sin(a)});
    }
    const auto pieces = view.clipPolyline(circle, true);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_GT(pieces.front().size(), 10u);
    for (const PicturePoint& p : pieces.front()) {
        EXPECT_TRUE(isFinitePoint(p) && isWithinGuard(p)) << p.x << ", " << p.y;
    }

    // A segment from behind the camera to in front of it ends at the near plane.
    const auto crossing = view.clipPolyline({{0.0, 1.0, -10.0}, {0.0, 1.0, 10.0}}, false);
    ASSERT_EQ(crossing.size(), 1u);
    for (const PicturePoint& p : crossing.front()) {
        EXPECT_TRUE(isFinitePoint(p) && isWithinGuard(p));
    }
    EXPECT_TRUE(view.clipPolyline({{0.0, 0.0, -10.0}, {5.0, 0.0, -1.0}}, false).empty()) << "all behind";

    // A point that is not finite breaks the line in two.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const auto broken =
        view.clipPolyline({{0, 0, 10}, {1, 0, 10}, {nan, 0, 10}, {2, 0, 10}, {3, 0, 10}}, false);
    EXPECT_EQ(broken.size(), 2u);
}

TEST(CameraProjection, CutsPolygonsAtTheCameraAndTheGuardBand) {
    const CameraProjection view = straightAhead();
    // A floor quad reaching from behind the camera far beyond the picture.
    const auto floor =
        view.clipPolygon({{-1e6, -10.0, -1e6}, {1e6, -10.0, -1e6}, {1e6, -10.0, 1e6}, {-1e6, -10.0, 1e6}});
    ASSERT_GE(floor.size(), 3u);
    for (const PicturePoint& p : floor) {
        EXPECT_TRUE(isFinitePoint(p) && isWithinGuard(p)) << p.x << ", " << p.y;
    }
    EXPECT_TRUE(view.clipPolygon({{0, 0, -1}, {1, 0, -1}, {1, 1, -2}}).empty()) << "all behind";
    EXPECT_TRUE(
        view.clipPolygon({{0, 0, 10}, {1, 0, 10}, {std::numeric_limits<double>::infinity(), 1, 10}}).empty());
}

class SceneRenderTest : public testing::HostTest {
protected:
    // A camera at the origin looking along +Z.
    void SetUp() override {
        testing::HostTest::SetUp();
        Node* camera = document().camera();
        camera->relative = Transform{};
        camera->parameters.set(kFocalLength, 36.0);
    }

    Node& sphereAt(Vector position, double radius, Vector colour, Node* parent = nullptr) {
        Node& sphere = add(kTypeSphere, "Ball", parent);
        sphere.relative.position = position;
        sphere.parameters.set(kSphereRadius, radius);
        sphere.color = {2, toHost(colour), false};
        return sphere;
    }

    // Draws the camera view into an image and answers its pixels (ARGB).
    std::vector<std::uint32_t> draw(int width = 400, int height = 300) {
        const std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> surface(
            cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height), cairo_surface_destroy);
        {
            const std::unique_ptr<cairo_t, void (*)(cairo_t*)> cairo(cairo_create(surface.get()),
                                                                     cairo_destroy);
            pictures::drawCameraView(cairo.get(), document(), width, height);
        }
        cairo_surface_flush(surface.get());
        const auto* data =
            reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(surface.get()));
        const int stride = cairo_image_surface_get_stride(surface.get()) / 4;
        std::vector<std::uint32_t> pixels;
        for (int y = 0; y < height; ++y) {
            pixels.insert(pixels.end(), data + y * stride, data + y * stride + width);
        }
        width_ = width;
        return pixels;
    }

    [[nodiscard]] std::uint32_t at(const std::vector<std::uint32_t>& pixels, int x, int y) const {
        return pixels[static_cast<std::size_t>(y * width_ + x)];
    }
    static int red(std::uint32_t p) { return static_cast<int>((p >> 16) & 0xff); }
    static int green(std::uint32_t p) { return static_cast<int>((p >> 8) & 0xff); }
    static int blue(std::uint32_t p) { return static_cast<int>(p & 0xff); }

    int width_ = 0;
};

TEST_F(SceneRenderTest, DrawsAGlobeAheadAndNothingBehindTheCameraHiddenOrDisabled) {
    const auto sky = draw(); // the background and the stars
    Node& ahead = sphereAt({0.0, 0.0, 1000.0}, 100.0, {1.0, 0.0, 0.0});
    const auto lit = draw();
    const std::uint32_t centre = at(lit, 200, 150);
    EXPECT_GT(red(centre), 150) << "the globe, lit from the camera's side";
    EXPECT_LT(green(centre) + blue(centre), red(centre) / 2);

    struct Case {
        const char* what;
        void (*change)(Node& sphere, Node& parent);
    };
    const Case cases[] = {
        {"behind the camera",
         [](Node& s, Node&) {
             s.relative.position = {0.0, 0.0, -1000.0};
         }},
        {"round the camera",
         [](Node& s, Node&) {
             s.relative.position = {0.0, 0.0, 50.0};
         }},
        {"hidden itself", [](Node& s, Node&) { s.renderMode = HOST_DISPLAY_HIDDEN; }},
        {"hidden with its parent", [](Node&, Node& p) { p.renderMode = HOST_DISPLAY_HIDDEN; }},
        {"disabled", [](Node& s, Node&) { s.setEnabled(false); }},
    };
    removeNode(application(), ahead);
    for (const Case& c : cases) {
        Node& parent = add(kTypeNull, "Parent");
        Node& sphere = sphereAt({0.0, 0.0, 1000.0}, 100.0, {1.0, 0.0, 0.0}, &parent);
        c.change(sphere, parent);
        const auto pixels = draw();
        EXPECT_TRUE(pixels == sky) << c.what;
        removeNode(application(), parent);
    }
}

// A globe named after a body with a map wears it (surfaceMaps.h): turned so
// that a longitude faces the camera (and the light beside it), the disc's
// middle shows that longitude, Africa's land at 20 degrees east and the
// Pacific at 160 degrees west; the heading h turns longitude -90 - h degrees
// to face -Z.
TEST_F(SceneRenderTest, AGlobeWearsItsBodysMapTurnedWithIt) {
    struct Case {
        const char* what;
        double eastLongitudeDeg;
        bool blue;
    };
    for (const Case& c : {Case{"Africa", 20.0, false}, Case{"the Pacific", -160.0, true}}) {
        Node& earth = sphereAt({0.0, 0.0, 1000.0}, 100.0, {1.0, 1.0, 1.0});
        earth.name = "Earth";
        earth.relative.rotation = {(-90.0 - c.eastLongitudeDeg) * std::numbers::pi / 180.0, 0.0, 0.0};
        const auto pixels = draw();
        int redSum = 0, blueSum = 0;
        for (int dy = -5; dy <= 5; ++dy) {
            for (int dx = -5; dx <= 5; ++dx) {
                redSum += red(at(pixels, 200 + dx, 150 + dy));
                blueSum += blue(at(pixels, 200 + dx, 150 + dy));
            }
        }
        EXPECT_EQ(blueSum > redSum, c.blue) << c.what << ": red " << redSum << ", blue " << blueSum;
        removeNode(application(), earth);
    }
}

TEST_F(SceneRenderTest, ARingPassesInFrontOfItsGlobeOnOneSideAndBehindItOnTheOther) {
    sphereAt({0.0, 0.0, 1000.0}, 100.0, {1.0, 0.0, 0.0});
    Node& ring = add(kTypeTube, "Ring");
    ring.relative.position = {0.0, 0.0, 1000.0};
    ring.relative.rotation = {0.0, 0.35, 0.0}; // tilted towards the camera
    ring.parameters.set(kTubeOuter, 300.0);
    ring.parameters.set(kTubeInner, 150.0);
    ring.parameters.set(kAxis, std::int32_t{kAxisPlusY});
    ring.color = {2, {0.0, 1.0, 0.0}, false};
    const auto pixels = draw();
    // 1 scene unit at depth 1000 is 0.4 px: the globe's disc is 40 px across
    // its radius, the ring's band crosses the disc 20 to 40 px from its centre.
    const std::uint32_t above = at(pixels, 200, 150 - 30);
    const std::uint32_t below = at(pixels, 200, 150 + 30);
    const bool greenAbove = green(above) > 60;
    const bool greenBelow = green(below) > 60;
    EXPECT_NE(greenAbove, greenBelow) << "one half in front of the globe, the other behind it";
    EXPECT_GT(red(greenAbove ? below : above), 100) << "the half behind leaves the globe as it is";
}

TEST_F(SceneRenderTest, AnOrbitLineIsHiddenWhereItsGlobeIsInFrontOfIt) {
    sphereAt({0.0, 0.0, 1000.0}, 100.0, {1.0, 0.0, 0.0});
    Node& orbit = add(kTypeCircleSpline, "Orbit");
    orbit.relative.position = {0.0, 0.0, 1000.0};
    orbit.relative.rotation = {0.0, 0.35, 0.0}; // tilted towards the camera
    orbit.parameters.set(2012, 200.0);
    orbit.parameters.set(2300, std::int32_t{kPlaneXZ});
    orbit.color = {2, {0.0, 1.0, 0.0}, false};
    constexpr int width = 1600, height = 1200;
    const auto pixels = draw(width, height);
    // The globe's disc is 160 px across its radius; count the line's pixels
    // on it above and below its centre.
    int greenAbove = 0;
    int greenBelow = 0;
    for (int y = 600 - 150; y <= 600 + 150; ++y) {
        for (int x = 800 - 100; x <= 800 + 100; ++x) {
            if (green(at(pixels, x, y)) > 40) {
                (y < 600 ? greenAbove : greenBelow) += 1;
            }
        }
    }
    EXPECT_TRUE((greenAbove == 0) != (greenBelow == 0))
        << "above " << greenAbove << ", below " << greenBelow << ": the far half hidden, the near half shown";
}

TEST_F(SceneRenderTest, RefusesAViewWithoutACamera) {
    removeNode(application(), *document().camera());
    EXPECT_THROW(draw(), HostError);
}

using SceneRenderShapes = testing::HostTest;

TEST_F(SceneRenderShapes, OutlinesFollowSizesPlanesAndAxes) {
    Node& spline = createObject(application(), kTypeCircleSpline);
    spline.parameters.set(2010, true); // ellipse
    spline.parameters.set(2012, -2.0);
    spline.parameters.set(2013, 1.0);
    spline.parameters.set(2300, std::int32_t{kPlaneXZ});
    const auto loop = pictures::circleSplineOutline(spline, 8);
    ASSERT_EQ(loop.size(), 8u);
    EXPECT_NEAR(loop[0].x, 2.0, 1e-12);
    EXPECT_NEAR(loop[2].z, 1.0, 1e-12);
    EXPECT_NEAR(loop[2].y, 0.0, 1e-12);

    Node& tube = createObject(application(), kTypeTube);
    tube.parameters.set(kTubeOuter, 100.0);
    tube.parameters.set(kTubeInner, 50.0);
    tube.parameters.set(kAxis, std::int32_t{kAxisPlusX});
    const auto whole = flatRingOutline(tube, 36);
    ASSERT_TRUE(whole);
    EXPECT_TRUE(whole->whole);
    EXPECT_EQ(whole->outer.size(), 36u);
    // Angle 0 points along +X before the turn onto +X, which takes x to z.
    EXPECT_NEAR(whole->outer[0].z, 100.0, 1e-12);
    EXPECT_NEAR(whole->inner[0].z, 50.0, 1e-12);

    tube.parameters.set(kSliceOn, true);
    tube.parameters.set(kSliceFrom, 0.0);
    tube.parameters.set(kSliceTo, std::numbers::pi / 2.0);
    tube.parameters.set(kAxis, std::int32_t{kAxisPlusY});
    const auto slice = flatRingOutline(tube, 36);
    ASSERT_TRUE(slice);
    EXPECT_FALSE(slice->whole);
    EXPECT_NEAR(slice->outer.back().z, 100.0, 1e-9) << "a quarter turn from +X towards +Z";
    EXPECT_NEAR(slice->outer.back().x, 0.0, 1e-9);
    tube.parameters.set(kSliceTo, std::numeric_limits<double>::quiet_NaN());
    const auto unsliced = flatRingOutline(tube, 36);
    ASSERT_TRUE(unsliced);
    EXPECT_TRUE(unsliced->whole) << "a slice without finite angles counts as none";

    Node& torus = createObject(application(), kTypeTorus);
    torus.parameters.set(1150, 100.0);
    torus.parameters.set(1151, 20.0);
    const auto band = flatRingOutline(torus, 36);
    ASSERT_TRUE(band);
    EXPECT_NEAR(band->outer[0].x, 120.0, 1e-12);
    EXPECT_NEAR(band->inner[0].x, 80.0, 1e-12);
    EXPECT_FALSE(flatRingOutline(spline, 36)) << "not a ring primitive";

    Node& plane = createObject(application(), kTypePlane);
    plane.parameters.set(1230, 4.0);
    plane.parameters.set(1231, 2.0);
    plane.parameters.set(kAxis, std::int32_t{kAxisPlusZ});
    for (const Vector& corner : pictures::planeCorners(plane)) {
        EXPECT_NEAR(std::abs(corner.x), 2.0, 1e-12);
        EXPECT_NEAR(std::abs(corner.y), 1.0, 1e-12);
        EXPECT_NEAR(corner.z, 0.0, 1e-12);
    }
}

} // namespace
} // namespace caelo::host
