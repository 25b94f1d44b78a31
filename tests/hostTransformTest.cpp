// Matrices, rotations and transforms of the host's scene.
#include "host/hostTypes.h"
#include "host/sceneEditing.h"
#include "host/services/hostError.h"
#include "host/services/matrix.h"
#include "tests/hostTestSupport.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

namespace caelo::host {
namespace {

constexpr double pi = std::numbers::pi;
// Matrix entries are unitless direction cosines or scene units of order 1.
constexpr double kMatrixTolerance = 1e-12;

void expectNear(Vector want, Vector got, double tolerance, const std::string& what) {
    EXPECT_NEAR(want.x, got.x, tolerance) << what << " x";
    EXPECT_NEAR(want.y, got.y, tolerance) << what << " y";
    EXPECT_NEAR(want.z, got.z, tolerance) << what << " z";
}

void expectNear(const Matrix& want, const Matrix& got, double tolerance, const std::string& what) {
    expectNear(want.off, got.off, tolerance, what + " off");
    expectNear(want.x, got.x, tolerance, what + " X axis");
    expectNear(want.y, got.y, tolerance, what + " Y axis");
    expectNear(want.z, got.z, tolerance, what + " Z axis");
}

std::string text(Vector v) {
    return "(" + std::to_string(v.x) + ", " + std::to_string(v.y) + ", " + std::to_string(v.z) + ")";
}

// Angles of a grid that covers every quadrant, with pitch strictly inside
// (-pi/2, pi/2) and heading and bank inside (-pi, pi].
std::vector<Vector> angleGrid() {
    const double values[] = {-3.0, -1.2, -0.4, 0.0, 0.3, 1.1, 2.5, pi};
    const double pitches[] = {-1.5, -0.7, 0.0, 0.2, 0.9, 1.5};
    std::vector<Vector> grid;
    for (const double h : values) {
        for (const double p : pitches) {
            for (const double b : values) {
                grid.push_back({h, p, b});
            }
        }
    }
    return grid;
}

TEST(HostRotation, ZeroAnglesGiveTheUnitMatrixExactly) {
    const Matrix m = anglesToMatrix({0.0, 0.0, 0.0});
    EXPECT_EQ(m, Matrix{});
    EXPECT_FALSE(std::signbit(m.x.y)) << "no negative zero in the unit matrix";
}

// Single-axis turns, written out: heading turns Z towards -X, pitch turns Z
// towards +Y, bank turns X towards -Y (the host's left-handed, Y-up frame).
TEST(HostRotation, SingleAxisTurnsMoveTheAxesAsWritten) {
    const double a = 0.5;
    const double s = std::sin(a), c = std::cos(a);
    const Matrix heading = anglesToMatrix({a, 0.0, 0.0});
    expectNear({c, 0.0, s}, heading.x, kMatrixTolerance, "heading X");
    expectNear({0.0, 1.0, 0.0}, heading.y, kMatrixTolerance, "heading Y");
    expectNear({-s, 0.0, c}, heading.z, kMatrixTolerance, "heading Z");
    const Matrix pitch = anglesToMatrix({0.0, a, 0.0});
    expectNear({1.0, 0.0, 0.0}, pitch.x, kMatrixTolerance, "pitch X");
    expectNear({0.0, c, -s}, pitch.y, kMatrixTolerance, "pitch Y");
    expectNear({0.0, s, c}, pitch.z, kMatrixTolerance, "pitch Z");
    const Matrix bank = anglesToMatrix({0.0, 0.0, a});
    expectNear({c, -s, 0.0}, bank.x, kMatrixTolerance, "bank X");
    expectNear({s, c, 0.0}, bank.y, kMatrixTolerance, "bank Y");
    expectNear({0.0, 0.0, 1.0}, bank.z, kMatrixTolerance, "bank Z");
}

// Rotation order 6: heading, then pitch about the turned X, then bank about the
// twice-turned Z, i.e. the product heading x pitch x bank; and the axes as the
// formulas of the order give them.
TEST(HostRotation, OrderSixIsHeadingThenPitchThenBank) {
    for (const Vector a : angleGrid()) {
        const Matrix m = anglesToMatrix(a);
        const Matrix product = anglesToMatrix({a.x, 0.0, 0.0}) * anglesToMatrix({0.0, a.y, 0.0}) *
                               anglesToMatrix({0.0, 0.0, a.z});
        expectNear(product, m, kMatrixTolerance, "angles " + text(a));

        const double sH = std::sin(a.x), cH = std::cos(a.x), sP = std::sin(a.y), cP = std::cos(a.y);
        const double sB = std::sin(a.z), cB = std::cos(a.z);
        expectNear({cB * cH - sB * sP * sH, -sB * cP, cB * sH + sB * sP * cH}, m.x, kMatrixTolerance,
                   text(a));
        expectNear({cB * sP * sH + sB * cH, cB * cP, sB * sH - cB * sP * cH}, m.y, kMatrixTolerance, text(a));
        expectNear({-cP * sH, sP, cP * cH}, m.z, kMatrixTolerance, text(a));
    }
}

TEST(HostRotation, MatrixToAnglesInvertsAnglesToMatrix) {
    for (const Vector a : angleGrid()) {
        const Vector back = matrixToAngles(anglesToMatrix(a));
        // pi and -pi name the same heading; the inverse answers (-pi, pi].
        const double heading = a.x == -pi ? pi : a.x;
        if (std::abs(std::abs(a.y) - 1.5) > 1e-9) {
            expectNear({heading, a.y, a.z}, back, 1e-9, "angles " + text(a));
        }
        expectNear(anglesToMatrix(a), anglesToMatrix(back), kMatrixTolerance, "matrix of " + text(a));
    }
}

// Near and at the poles heading and bank turn about one axis; the matrix must
// still come back, and exactly at a pole the bank is 0.
TEST(HostRotation, MatrixToAnglesIsDeterministicAtThePoles) {
    const double nearPole = pi / 2 - 1e-7;
    for (const double pitch : {pi / 2, -pi / 2, nearPole, -nearPole, pi / 2 - 1e-13}) {
        for (const double h : {-2.0, 0.0, 0.7}) {
            for (const double b : {-1.0, 0.0, 0.4}) {
                const Vector a{h, pitch, b};
                const Vector back = matrixToAngles(anglesToMatrix(a));
                expectNear(anglesToMatrix(a), anglesToMatrix(back), 1e-9, "matrix of " + text(a));
                if (std::abs(pitch) == pi / 2) {
                    EXPECT_EQ(back.z, 0.0) << text(a);
                    EXPECT_EQ(back.y, pitch) << text(a);
                }
            }
        }
    }
}

TEST(HostRotation, MatrixToAnglesIgnoresScaleOffsetAndRebuildsOneCollapsedAxis) {
    const Vector a{0.3, -0.4, 1.2};
    Matrix m = anglesToMatrix(a);
    m.off = {5.0, -6.0, 7.0};
    m.x = m.x * 3.0;
    m.z = m.z * 0.25;
    expectNear(a, matrixToAngles(m), 1e-12, "scaled");
    m.y = {};
    expectNear(a, matrixToAngles(m), 1e-12, "Y axis collapsed");
}

TEST(HostMatrix, InverseUndoesAMatrixAndASingularOneHasNone) {
    Matrix m = anglesToMatrix({0.3, 0.2, -0.1});
    m.x = m.x * 2.0;
    m.off = {1.0, 2.0, 3.0};
    expectNear(Matrix{}, *inverse(m) * m, kMatrixTolerance, "inverse x m");
    expectNear(Matrix{}, m * *inverse(m), kMatrixTolerance, "m x inverse");
    Matrix singular;
    singular.off = {4.0, 5.0, 6.0};
    singular.z = {};
    EXPECT_FALSE(inverse(singular).has_value());
}

TEST(HostMatrix, TransformSplitsBackIntoPositionRotationAndScale) {
    const Transform t{{1.0, -2.0, 3.0}, {0.4, -0.3, 2.0}, {2.0, 0.5, 3.0}};
    const Transform back = matrixToTransform(transformToMatrix(t));
    expectNear(t.position, back.position, 1e-12, "position");
    expectNear(t.rotation, back.rotation, 1e-12, "rotation");
    expectNear(t.scale, back.scale, 1e-12, "scale");

    Matrix mirrored = transformToMatrix(t);
    mirrored.z = -mirrored.z;
    const Transform split = matrixToTransform(mirrored);
    EXPECT_LT(split.scale.z, 0.0) << "a mirrored matrix keeps its mirror in the Z scale";
    expectNear(mirrored, transformToMatrix(split), 1e-12, "mirrored");
}

// Cases of the direction-to-angles rule, including straight up and down and the
// quadrant behind the viewer (z <= 0).
TEST(HostRotation, VectorToAnglesFollowsTheDirectionRule) {
    struct Case {
        Vector direction;
        Vector angles;
    };
    const Case cases[] = {
        {{0.0, 0.0, 1.0}, {0.0, 0.0, 0.0}},          {{0.0, 0.0, -2.0}, {pi, 0.0, 0.0}},
        {{1.0, 0.0, 0.0}, {pi / 2 + pi, 0.0, 0.0}},  {{-1.0, 0.0, 0.0}, {-pi / 2 + pi, 0.0, 0.0}},
        {{1.0, 0.0, 1.0}, {-pi / 4, 0.0, 0.0}},      {{1.0, std::sqrt(2.0), 1.0}, {-pi / 4, pi / 4, 0.0}},
        {{0.0, 3.0, 0.0}, {0.0, pi / 2, 0.0}},       {{0.0, -3.0, 0.0}, {0.0, -pi / 2, 0.0}},
        {{0.000001, 0.0, 0.0}, {0.0, -pi / 2, 0.0}}, // horizontal length below 0.00001, y not above 0
    };
    for (const Case& c : cases) {
        expectNear(c.angles, vectorToAngles(c.direction), 1e-15, "direction " + text(c.direction));
    }
}

TEST(HostRotation, VectorToAnglesTurnsTheZAxisOntoTheDirection) {
    for (const Vector d : {Vector{0.3, -0.2, 0.9}, Vector{-2.0, 1.0, -0.5}, Vector{0.0, 0.5, -4.0}}) {
        const Vector z = anglesToMatrix(vectorToAngles(d)).z;
        expectNear(d * (1.0 / length(d)), z, 1e-12, "direction " + text(d));
    }
}

using HostTransformTest = testing::HostTest;

// world = parent world x frozen x relative: a parent at (10, 0, 0) turned by a
// heading of 90 degrees (its X axis points along +Z, its Z axis along -X); a
// child frozen at (0, 0, 5) with its own position (1, 0, 0) sits at
// (10, 0, 0) + 1 X + 5 Z = (5, 0, 1).
TEST_F(HostTransformTest, WorldMatrixIsParentTimesFrozenTimesRelative) {
    Node& parent = add(kTypeNull, "parent");
    parent.relative.position = {10.0, 0.0, 0.0};
    parent.relative.rotation = {pi / 2, 0.0, 0.0};
    Node& child = add(kTypeNull, "child", &parent);
    child.frozen.position = {0.0, 0.0, 5.0};
    child.relative.position = {1.0, 0.0, 0.0};
    expectNear({5.0, 0.0, 1.0}, child.worldMatrix().off, 1e-12, "child world position");
    expectNear(parent.worldMatrix(), child.parentWorldMatrix(), 0.0, "parent world");

    const HostMatrix viaTable = table().GetWorldMatrix(toHandle(&child));
    expectNear(child.worldMatrix(), fromHost(viaTable), 0.0, "GetWorldMatrix");
    expectNear(child.frozenMatrix(), fromHost(table().GetBaseMatrix(toHandle(&child))), 0.0, "GetBaseMatrix");
}

// The world matrix written out as parent world x frozen x relative, each
// transform turned into a matrix afresh.
Matrix worldFromScratch(const Node& node) {
    const Matrix local = transformToMatrix(node.frozen) * transformToMatrix(node.relative);
    return node.parent() ? worldFromScratch(*node.parent()) * local : local;
}

// World matrices are kept between requests; every change above an object,
// to a transform at any level or to the chain of parents, must still show in
// the next request.
TEST_F(HostTransformTest, WorldMatricesFollowEveryChangeAbove) {
    Node& top = add(kTypeNull, "top");
    Node& middle = add(kTypeNull, "middle", &top);
    Node& low = add(kTypeNull, "low", &middle);
    Node& other = add(kTypeNull, "other");
    other.relative.position = {0.0, -4.0, 0.0};
    struct Edit {
        const char* what;
        std::function<void()> apply;
    };
    const Edit edits[] = {
        {"nothing yet", [] {}},
        {"top turns",
         [&] {
             top.relative.rotation = {0.4, -0.2, 0.1};
         }},
        {"top moves",
         [&] {
             top.relative.position = {1.0, 2.0, 3.0};
         }},
        {"middle gets a frozen transform",
         [&] {
             middle.frozen = {{0.0, 1.0, 0.0}, {0.0, 0.3, 0.0}, {1, 1, 1}};
         }},
        {"middle scales",
         [&] {
             middle.relative.scale = {2.0, 1.0, 0.5};
         }},
        {"low turns through the table",
         [&] {
             table().SetRelativeRotation(toHandle(&low), {1.0, 0.0, -0.5});
         }},
        {"top turns back to zero", [&] { top.relative.rotation = {}; }},
        {"middle moves below other", [&] { moveNode(document(), middle, &other); }},
        {"other turns",
         [&] {
             other.relative.rotation = {-2.0, 0.5, 0.0};
         }},
        {"middle goes back to the top level", [&] { moveNode(document(), middle, nullptr); }},
    };
    for (const Edit& edit : edits) {
        edit.apply();
        for (int request = 0; request < 2; ++request) {
            expectNear(worldFromScratch(low), low.worldMatrix(), kMatrixTolerance, edit.what);
            expectNear(worldFromScratch(middle), low.parentWorldMatrix(), kMatrixTolerance, edit.what);
        }
    }
}

// An angle of exactly 0 needs no sine and cosine, but a negative zero keeps
// its sign in the matrix, as sin(-0) = -0 gives it.
TEST(HostRotation, ZeroAnglesKeepTheirSignInTheMatrix) {
    const Vector angles[] = {{-0.0, 0.5, 0.0}, {0.7, -0.0, -0.0}, {0.0, 0.0, -0.0}, {1.0, 0.0, 2.0}};
    for (const Vector& a : angles) {
        const double sH = std::sin(a.x), cH = std::cos(a.x), sP = std::sin(a.y), cP = std::cos(a.y);
        const double sB = std::sin(a.z), cB = std::cos(a.z);
        const bool allZero = a.x == 0.0 && a.y == 0.0 && a.z == 0.0;
        const Matrix want = allZero ? Matrix{}
                                    : Matrix{{},
                                             {cB * cH - sB * sP * sH, -sB * cP, cB * sH + sB * sP * cH},
                                             {cB * sP * sH + sB * cH, cB * cP, sB * sH - cB * sP * cH},
                                             {-cP * sH, sP, cP * cH}};
        const Matrix got = anglesToMatrix(a);
        for (const auto& [w, g] :
             {std::pair{want.x, got.x}, std::pair{want.y, got.y}, std::pair{want.z, got.z}}) {
            for (const auto& [wc, gc] : {std::pair{w.x, g.x}, std::pair{w.y, g.y}, std::pair{w.z, g.z}}) {
                EXPECT_EQ(wc, gc) << text(a);
                EXPECT_EQ(std::signbit(wc), std::signbit(gc)) << text(a);
            }
        }
    }
}

TEST_F(HostTransformTest, SetWorldMatrixKeepsTheParentAndFrozenFrame) {
    Node& parent = add(kTypeNull, "parent");
    parent.relative = {{3.0, -1.0, 2.0}, {0.7, 0.2, -0.3}, {2.0, 2.0, 2.0}};
    Node& child = add(kTypeNull, "child", &parent);
    child.frozen = {{0.0, 1.0, 0.0}, {0.0, 0.4, 0.0}, {1.0, 1.0, 1.0}};
    Matrix wanted = anglesToMatrix({-1.0, 0.5, 0.25});
    wanted.off = {7.0, 8.0, -9.0};
    wanted.x = wanted.x * 1.5;

    table().SetWorldMatrix(toHandle(&child), toHost(wanted));
    expectNear(wanted, child.worldMatrix(), 1e-12, "world after SetWorldMatrix");
    EXPECT_EQ(child.frozen.rotation, (Vector{0.0, 0.4, 0.0})) << "the frozen transform stays";
}

// Regression: in a collapsed frame the inverse stood in as the identity, so
// the object was moved to a wrong place, and again at every evaluation of a
// tag that holds it; an overflowing inverse wrote infinite positions.
TEST_F(HostTransformTest, SetWorldMatrixLeavesTheObjectWhereNoRelativeTransformReachesTheMatrix) {
    struct Case {
        const char* name;
        Transform parent;
        Transform frozen;
    };
    const Case cases[] = {
        {"frozen scale 0", {}, {{0.0, 0.0, 0.0}, {0.0, 0.0, 0.0}, {1.0, 0.0, 6.7e7}}},
        {"parent scale 0", {{1.0, 2.0, 3.0}, {0.0, 0.0, 0.0}, {0.0, 1.0, 1.0}}, {}},
        {"overflowing inverse", {{1e300, 0.0, 0.0}, {0.0, 0.0, 0.0}, {1e-100, 1e-100, 1e-100}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Node& parent = add(kTypeNull, "parent");
        parent.relative = c.parent;
        Node& child = add(kTypeNull, "child", &parent);
        child.frozen = c.frozen;
        const Transform before{{-360.0, 0.5, 1.0}, {0.1, 0.2, 0.3}, {1.0, 2.0, 3.0}};
        child.relative = before;
        table().SetWorldMatrix(toHandle(&child), toHost(anglesToMatrix({0.5, 0.0, 0.0})));
        EXPECT_EQ(child.relative, before);
    }
}

TEST_F(HostTransformTest, SetObjectPositionPlacesTheObjectInItsParentFrame) {
    Node& object = add(kTypeNull, "object");
    object.frozen = {{1.0, 0.0, 0.0}, {pi / 2, 0.0, 0.0}, {1.0, 1.0, 1.0}};
    table().SetObjectPosition(toHandle(&object), {4.0, 5.0, 6.0});
    expectNear({4.0, 5.0, 6.0}, object.localMatrix().off, 1e-12, "position in the parent frame");
}

// Regression: the solar system's build frames the view camera with this call;
// under a frozen scale near the ends of the double range it wrote an infinite
// position, and under a scale of 0 a wrong one.
TEST_F(HostTransformTest, SetObjectPositionLeavesTheObjectWhereNoFinitePositionReachesThePoint) {
    for (const Vector scale :
         {Vector{2.2250738585072014e-308, -1.7976931348623157e308, -0.05}, Vector{1.0, 0.0, 1.0}}) {
        Node& object = add(kTypeNull, "object");
        object.frozen.scale = scale;
        object.relative.position = {1.0, 2.0, 3.0};
        table().SetObjectPosition(toHandle(&object), {-4000.0, 5.0, 6.0});
        EXPECT_EQ(object.relative.position, (Vector{1.0, 2.0, 3.0})) << text(scale);
    }
}

TEST_F(HostTransformTest, ObjectSizeIsHalfExtentsByTypeAndOrientation) {
    struct Case {
        std::int32_t type;
        std::vector<std::pair<std::int32_t, Value>> parameters;
        Vector want;
    };
    const std::vector<Case> cases = {
        {kTypeSphere, {{1110, 50.0}}, {50.0, 50.0, 50.0}},
        {kTypeTorus, {{1150, 100.0}, {1151, 10.0}}, {110.0, 10.0, 110.0}},
        {kTypeTorus, {{1150, 100.0}, {1151, 10.0}, {1300, kAxisPlusX}}, {10.0, 110.0, 110.0}},
        {kTypeTube, {{1170, 80.0}, {1172, 6.0}}, {80.0, 3.0, 80.0}},
        {kTypeTube, {{1170, 80.0}, {1172, 6.0}, {1300, kAxisMinusZ}}, {80.0, 80.0, 3.0}},
        {kTypePlane, {{1230, 400.0}, {1231, 320.0}}, {200.0, 0.0, 160.0}},
        {kTypePlane, {{1230, 400.0}, {1231, 320.0}, {1300, kAxisPlusZ}}, {200.0, 160.0, 0.0}},
        {kTypePlane, {{1230, 400.0}, {1231, 320.0}, {1300, kAxisMinusX}}, {0.0, 160.0, 200.0}},
        {kTypeBox, {{1100, Vector{10.0, 20.0, 30.0}}}, {5.0, 10.0, 15.0}},
        {kTypeCircleSpline, {{2012, 10.0}}, {10.0, 10.0, 0.0}},
        {kTypeCircleSpline, {{2010, true}, {2012, 10.0}, {2013, 4.0}, {2300, kPlaneXZ}}, {10.0, 0.0, 4.0}},
        {kTypeCircleSpline, {{2010, true}, {2012, 10.0}, {2013, 4.0}, {2300, kPlaneZY}}, {0.0, 4.0, 10.0}},
        {kTypeNull, {}, {0.0, 0.0, 0.0}},
    };
    for (const Case& c : cases) {
        Node& object = add(c.type, "object");
        for (const auto& [id, value] : c.parameters) {
            object.parameters.set(id, value);
        }
        expectNear(c.want, fromHost(table().GetObjectSize(toHandle(&object))), 0.0,
                   "type " + std::to_string(c.type));
    }
}

TEST_F(HostTransformTest, NewDocumentCameraLooksDownTheDiagonalAtTheOrigin) {
    Node* camera = document().camera();
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->typeId(), kTypeCamera);
    EXPECT_FALSE(camera->isAttached()) << "the view camera starts outside the tree";
    EXPECT_EQ(camera->relative.rotation, (Vector{pi / 4, std::atan(-4.0 / std::sqrt(128.0)), 0.0}));
    // Moved onto the (8, 4, -8) diagonal, its +Z axis points back at the origin.
    camera->relative.position = {8.0, 4.0, -8.0};
    const Vector towardsOrigin = Vector{-8.0, -4.0, 8.0} * (1.0 / 12.0);
    expectNear(towardsOrigin, camera->worldMatrix().z, 1e-15, "camera view direction");
}

} // namespace
} // namespace caelo::host
