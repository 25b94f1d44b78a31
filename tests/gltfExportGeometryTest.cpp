// What the glTF export draws and how it times it: the host primitives' meshes
// against the host's own half extents and against the volumes they enclose,
// slices, the wrap deformer's bend along a spline, the profile curve, the
// mapping of rotations into glTF's frame and the document times of keys.
#include "host/hostTypes.h"
#include "host/scene.h"
#include "host/services/hostError.h"
#include "outputs/appearance/surfaceMaps.h"
#include "outputs/gltf/gltfAnimation.h"
#include "outputs/gltf/gltfFrame.h"
#include "outputs/gltf/gltfMesh.h"
#include "outputs/gltf/gltfWrap.h"
#include "tests/hostTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <string>
#include <vector>

namespace caelo::host {

using gltf::PrimitiveMesh;
using gltf::profileValueAt;
namespace {

constexpr double kPi = std::numbers::pi;

// Parameters of the primitives the tests set.
constexpr std::int32_t kSphereRadius = 1110, kTubeOuter = 1170, kTubeInner = 1171, kTubeHeight = 1172;
constexpr std::int32_t kSliceOn = 1200, kSliceFrom = 1201, kSliceTo = 1202, kAxis = 1300, kBoxSize = 1100;
constexpr std::int32_t kCircleEllipse = 2010, kCircleRadius = 2012, kCircleSecondRadius = 2013,
                       kCirclePlane = 2300;
constexpr std::int32_t kWrapSpline = 1001, kWrapStart = 1002, kWrapEnd = 1003, kWrapOffset = 1004;
constexpr std::int32_t kWrapProfile = 1013, kTorusPipeSegments = 1153, kBoxSegmentsZ = 1104;
constexpr std::int32_t kTorusRing = 1150, kTorusPipe = 1151;

using GltfGeometry = testing::HostTest;

PrimitiveMesh meshOf(const Node& object) {
    const std::optional<PrimitiveMesh> mesh = gltf::buildPrimitiveMesh(object);
    EXPECT_TRUE(mesh.has_value()) << object.name;
    return mesh.value_or(PrimitiveMesh{});
}

Vector halfExtentsOf(const PrimitiveMesh& mesh) {
    Vector half;
    for (const Vector& p : mesh.positions) {
        half = {std::max(half.x, std::abs(p.x)), std::max(half.y, std::abs(p.y)),
                std::max(half.z, std::abs(p.z))};
    }
    return half;
}

// The volume a closed triangle mesh encloses, positive when its faces face
// outwards (divergence theorem over the faces).
double enclosedVolume(const PrimitiveMesh& mesh) {
    double volume = 0.0;
    for (std::size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
        const Vector& a = mesh.positions[mesh.indices[i]];
        volume +=
            dot(a, cross(mesh.positions[mesh.indices[i + 1]], mesh.positions[mesh.indices[i + 2]])) / 6.0;
    }
    return volume;
}

void expectFacesAlongNormals(const PrimitiveMesh& mesh, const std::string& what) {
    for (std::size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
        const std::uint32_t a = mesh.indices[i], b = mesh.indices[i + 1], c = mesh.indices[i + 2];
        const Vector face =
            cross(mesh.positions[b] - mesh.positions[a], mesh.positions[c] - mesh.positions[a]);
        const Vector normals = mesh.normals[a] + mesh.normals[b] + mesh.normals[c];
        ASSERT_GT(dot(face, normals), 0.0) << what << ", triangle " << i / 3;
    }
}

// A sphere's texture coordinates are the map points of its vertices'
// directions (surfaceMaps.h), its seam at longitude 180 degrees running from
// u = 0 to 1; a ring's (tube, torus, sliced or whole) run across it from the
// inner edge (u = 0) to the outer (u = 1) and round it over its turn.
TEST_F(GltfGeometry, TextureCoordinatesLayMapsOnSpheresAndStripsAcrossRings) {
    Node& sphere = add(kTypeSphere, "globe");
    const PrimitiveMesh globe = meshOf(sphere);
    ASSERT_EQ(globe.texcoords.size(), globe.positions.size());
    for (std::size_t i = 0; i < globe.positions.size(); ++i) {
        const auto [u, v] = globe.texcoords[i];
        const appearance::MapPoint want = appearance::mapPointOf(globe.normals[i]);
        EXPECT_NEAR(v, want.v, 1e-12) << i;
        if (v != 0.0 && v != 1.0 && u != 0.0 && u != 1.0) {
            EXPECT_NEAR(u, want.u, 1e-12) << i;
        }
    }
    Node& tube = add(kTypeTube, "tube");
    tube.parameters.setFloat(kTubeOuter, 200.0);
    tube.parameters.setFloat(kTubeInner, 120.0);
    tube.parameters.setBool(kSliceOn, true);
    tube.parameters.setFloat(kSliceFrom, 0.5);
    tube.parameters.setFloat(kSliceTo, 2.0);
    Node& torus = add(kTypeTorus, "torus");
    torus.parameters.setFloat(kTorusRing, 100.0);
    torus.parameters.setFloat(kTorusPipe, 25.0);
    for (const auto& [ring, inner, outer] :
         {std::tuple{&tube, 120.0, 200.0}, std::tuple{&torus, 75.0, 125.0}}) {
        const PrimitiveMesh mesh = meshOf(*ring);
        ASSERT_EQ(mesh.texcoords.size(), mesh.positions.size()) << ring->name;
        double least = 1.0, most = 0.0;
        for (std::size_t i = 0; i < mesh.positions.size(); ++i) {
            const auto [u, v] = mesh.texcoords[i];
            const Vector& p = mesh.positions[i];
            EXPECT_NEAR(u, (std::hypot(p.x, p.z) - inner) / (outer - inner), 1e-9) << ring->name << " " << i;
            least = std::min(least, v);
            most = std::max(most, v);
        }
        EXPECT_EQ(least, 0.0) << ring->name;
        EXPECT_EQ(most, 1.0) << ring->name;
    }
}

TEST_F(GltfGeometry, MeshesSpanTheHostsHalfExtentsOnEveryAxis) {
    for (const std::int32_t type :
         {kTypePlane, kTypeTube, kTypeTorus, kTypeSphere, kTypeBox, kTypeCircleSpline}) {
        for (std::int32_t axis = kAxisPlusX; axis <= kAxisMinusZ; ++axis) {
            Node& object = add(type, "primitive");
            object.parameters.setInt32(kAxis, axis);
            object.parameters.setInt32(kCirclePlane, axis % 3);
            object.parameters.setBool(kCircleEllipse, true);
            object.parameters.setFloat(kCircleSecondRadius, 70.0);
            object.parameters.setVector(kBoxSize, {10.0, 20.0, 30.0});
            object.parameters.setInt32(kTorusPipeSegments, 36); // a point at the pipe's top
            const Vector want = objectHalfExtents(object);
            const Vector got = halfExtentsOf(meshOf(object));
            const std::string what = "type " + std::to_string(type) + ", axis " + std::to_string(axis);
            EXPECT_NEAR(got.x, want.x, 1e-9) << what;
            EXPECT_NEAR(got.y, want.y, 1e-9) << what;
            EXPECT_NEAR(got.z, want.z, 1e-9) << what;
        }
    }
}

TEST_F(GltfGeometry, SolidsFaceOutwardsAndEncloseTheirVolume) {
    struct Case {
        std::string name;
        std::int32_t type;
        bool sliced;
        double volume; // of the smooth solid; the facets enclose a little less
        double tolerance;
        double sliceTo = 1.0; // radians; the slice starts at -0.5
    };
    // Defaults: sphere r 100 (24 segments); tube 100 / 50, height 100 (36
    // segments); torus 100 / 20 (36 x 18); box 200.
    const double tube = kPi * (100.0 * 100.0 - 50.0 * 50.0) * 100.0;
    const std::vector<Case> cases = {
        {"sphere", kTypeSphere, false, 4.0 / 3.0 * kPi * 1e6, 0.05},
        {"tube", kTypeTube, false, tube, 0.01},
        {"sliced tube", kTypeTube, true, tube * 1.5 / (2.0 * kPi), 0.01},
        {"torus", kTypeTorus, false, 2.0 * kPi * kPi * 100.0 * 400.0, 0.05},
        {"sliced torus", kTypeTorus, true, 2.0 * kPi * kPi * 100.0 * 400.0 * 1.5 / (2.0 * kPi), 0.05},
        {"tube sliced to no finite angle: whole", kTypeTube, true, tube, 0.01, std::nan("")},
        {"box", kTypeBox, false, 8e6, 1e-12},
    };
    for (const Case& c : cases) {
        Node& object = add(c.type, c.name);
        object.parameters.setBool(kSliceOn, c.sliced);
        object.parameters.setFloat(kSliceFrom, -0.5);
        object.parameters.setFloat(kSliceTo, c.sliceTo);
        const PrimitiveMesh mesh = meshOf(object);
        expectFacesAlongNormals(mesh, c.name);
        EXPECT_NEAR(enclosedVolume(mesh) / c.volume, 1.0, c.tolerance) << c.name;
    }
}

TEST_F(GltfGeometry, SlicesCoverTheirTurnOnlyAndWrapPastTheEnd) {
    Node& tube = add(kTypeTube, "tube");
    tube.parameters.setBool(kSliceOn, true);
    tube.parameters.setFloat(kSliceFrom, 2.5);
    tube.parameters.setFloat(kSliceTo, -2.5); // before the start: wraps through pi
    for (const Vector& p : meshOf(tube).positions) {
        const double angle = std::atan2(p.z, p.x);
        EXPECT_TRUE(std::abs(angle) >= 2.5 - 1e-9 || std::hypot(p.x, p.z) < 1e-9) << angle;
    }
    tube.parameters.setFloat(kTubeInner, 0.0);
    tube.parameters.setFloat(kTubeHeight, 0.0);
    tube.parameters.setFloat(kTubeOuter, 0.0);
    EXPECT_FALSE(gltf::buildPrimitiveMesh(tube).has_value()); // nothing to draw
    Node& sphere = add(kTypeSphere, "sphere");
    sphere.parameters.setFloat(kSphereRadius, std::nan(""));
    EXPECT_THROW((void)gltf::buildPrimitiveMesh(sphere), HostError);
}

// A band 10 wide and 4 high bent by a wrap deformer around a circle of
// radius 100 in the XZ plane, the band itself moved and turned.
class GltfWrap : public testing::HostTest {
protected:
    void SetUp() override {
        testing::HostTest::SetUp();
        spline = &add(kTypeCircleSpline, "circle");
        spline->parameters.setFloat(kCircleRadius, 100.0);
        spline->parameters.setInt32(kCirclePlane, kPlaneXZ);
        spline->relative.position = {0.0, 5.0, 0.0};
        band = &add(kTypeBox, "band");
        band->parameters.setVector(kBoxSize, {10.0, 4.0, 10.0});
        band->parameters.setInt32(kBoxSegmentsZ, 50);
        band->relative = {{-20.0, 0.0, 3.0}, {kPi / 3.0, 0.0, 0.0}, {1.0, 1.0, 1.0}};
        deformer = &add(kTypeWrapDeformer, "wrap", band);
        deformer->parameters.setLink(kWrapSpline, spline->id());
    }

    // The band's vertices in the spline's frame after the bend.
    std::vector<Vector> bentPoints() {
        PrimitiveMesh mesh = meshOf(*band);
        gltf::applyWrapDeformers(*band, mesh);
        expectFacesAlongNormals(mesh, "bent band");
        const Matrix splineFromBand = inverse(spline->worldMatrix()).value() * band->worldMatrix();
        std::vector<Vector> points;
        for (const Vector& p : mesh.positions) {
            points.push_back(transformPoint(splineFromBand, p));
        }
        return points;
    }

    Node* spline = nullptr;
    Node* band = nullptr;
    Node* deformer = nullptr;
};

TEST_F(GltfWrap, BendsTheBandAroundTheWholeSpline) {
    deformer->parameters.setFloat(kWrapStart, -0.5);
    deformer->parameters.setFloat(kWrapEnd, 0.5);
    double turned = 0.0;
    for (const Vector& p : bentPoints()) {
        EXPECT_NEAR(std::hypot(p.x, p.z), 100.0, 5.0 + 1e-9);
        EXPECT_LE(std::abs(p.y), 2.0 + 1e-9);
        turned = std::max(turned, std::atan2(p.z, p.x));
    }
    EXPECT_GT(turned, 0.9 * kPi);
}

TEST_F(GltfWrap, CoversItsRangeAboutTheOffsetWithTheProfilesSize) {
    deformer->parameters.setFloat(kWrapStart, -0.125);
    deformer->parameters.setFloat(kWrapEnd, 0.125);
    deformer->parameters.setFloat(kWrapOffset, 0.25);
    const double t = 0.1;
    deformer->parameters.set(kWrapProfile, Curve{{{{0.0, 0.5, 0.0}, {}, {t, 0.0, 0.0}, 0, 0},
                                                  {{0.5, 1.0, 0.0}, {-t, 0.0, 0.0}, {t, 0.0, 0.0}, 0, 0},
                                                  {{1.0, 0.5, 0.0}, {-t, 0.0, 0.0}, {}, 0, 0}}});
    for (const Vector& p : bentPoints()) {
        const double angle = std::atan2(p.z, p.x);
        EXPECT_GE(angle, kPi / 4.0 - 1e-6);
        EXPECT_LE(angle, 3.0 * kPi / 4.0 + 1e-6);
        // Half the size at the ends, the whole in the middle.
        const double across = std::abs(std::hypot(p.x, p.z) - 100.0);
        const double halfSize = 5.0 * (std::abs(angle - kPi / 2.0) > kPi / 4.0 - 1e-6 ? 0.5 : 1.0);
        EXPECT_LE(across, halfSize + 1e-6) << angle;
    }
    // Switched off, the deformer leaves the box as it is.
    deformer->setEnabled(false);
    PrimitiveMesh mesh = meshOf(*band);
    gltf::applyWrapDeformers(*band, mesh);
    EXPECT_EQ(halfExtentsOf(mesh).x, 5.0);
}

TEST(GltfProfile, FollowsItsKnotsAndHoldsBeyondThem) {
    const double t = 0.1;
    const Curve curve{{{{0.0, 0.8, 0.0}, {}, {t, 0.0, 0.0}, 0, 0},
                       {{0.5, 1.0, 0.0}, {-t, 0.0, 0.0}, {t, 0.0, 0.0}, 0, 0},
                       {{1.0, 0.8, 0.0}, {-t, 0.0, 0.0}, {}, 0, 0}}};
    EXPECT_NEAR(profileValueAt(curve, 0.0), 0.8, 1e-12);
    EXPECT_NEAR(profileValueAt(curve, 0.5), 1.0, 1e-12);
    EXPECT_NEAR(profileValueAt(curve, 1.0), 0.8, 1e-12);
    EXPECT_NEAR(profileValueAt(curve, 0.25), profileValueAt(curve, 0.75), 1e-12);
    EXPECT_GT(profileValueAt(curve, 0.25), 0.8);
    EXPECT_LT(profileValueAt(curve, 0.25), 1.0);
    EXPECT_EQ(profileValueAt(curve, -3.0), 0.8);
    EXPECT_EQ(profileValueAt(curve, 7.0), 0.8);
    EXPECT_EQ(profileValueAt(Curve{}, 0.3), 1.0);
}

// The rotation written for a host rotation R, turned back into a matrix, is
// S R S, for angles on every branch of the quaternion's extraction.
TEST(GltfFrame, RotationsBecomeTheirMirrorImage) {
    const Vector cases[] = {
        {0.0, 0.0, 0.0},   {kPi, 0.0, 0.0},       {0.0, kPi / 2.0, 0.0}, {0.0, 0.0, kPi},
        {kPi, kPi, 0.0},   {1.2, -0.7, 2.9},      {-2.0, 1.5, -3.1},     {kPi / 2.0, kPi, kPi / 3.0},
        {3.1, 0.05, -3.1}, {0.0, -kPi / 2.0, 1.0}};
    for (const Vector& angles : cases) {
        const auto [x, y, z, w] = gltf::toGltfTransform({{}, angles, {1.0, 1.0, 1.0}}).rotation;
        const Vector gotX{1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w)};
        const Vector gotY{2 * (x * y - z * w), 1 - 2 * (x * x + z * z), 2 * (y * z + x * w)};
        const Vector gotZ{2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y)};
        const Matrix r = anglesToMatrix(angles);
        const auto mirror = [](Vector v) { return Vector{v.x, v.y, -v.z}; };
        EXPECT_LT(length(gotX - mirror(r.x)), 1e-12);
        EXPECT_LT(length(gotY - mirror(r.y)), 1e-12);
        EXPECT_LT(length(gotZ + mirror(r.z)), 1e-12);
    }
    EXPECT_EQ(gltf::toGltfTransform({{1.0, 2.0, 3.0}, {}, {2.0, 3.0, 4.0}}).translation,
              (std::array<double, 3>{1.0, 2.0, -3.0}));
}

TEST(GltfKeyTimes, KeysNameExactDocumentTimes) {
    EXPECT_EQ(gltf::keySeconds(30, 3, 1, 2), static_cast<float>(3.5 / 30.0));
    EXPECT_EQ(gltf::documentTimeOfKey(DocumentTime{1, 3}, 0.5f), (DocumentTime{5, 6}));
    // A key's float seconds added exactly to a start of many binary digits.
    const DocumentTime start = DocumentTime::fromSeconds(0.1);
    const float key = gltf::keySeconds(30, 1);
    EXPECT_DOUBLE_EQ(gltf::documentTimeOfKey(start, key).seconds(),
                     start.seconds() + static_cast<double>(key));
    // A start whose denominator leaves no room: the nearest double.
    const DocumentTime odd{1, 3'000'000'000'000'000'001};
    EXPECT_NEAR(gltf::documentTimeOfKey(odd, key).seconds(), static_cast<double>(key), 1e-15);
}

} // namespace
} // namespace caelo::host
