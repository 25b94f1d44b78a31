#include "outputs/gltf/gltfMesh.h"

#include "host/hostTypes.h"
#include "host/primitiveParameters.h"
#include "host/primitiveSlice.h"
#include "host/sceneEditing.h"
#include "host/services/hostError.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <string>

namespace caelo::gltf {

using host::Node;
using host::PrimitiveSlice;
using host::Vector;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Intermediate point choice of a spline that draws straight lines between its
// four control points.
constexpr std::int32_t kNoIntermediatePoints = 0;
constexpr int kCircleControlPoints = 4;
// Bounds of the points of a circle spline's loop drawn by angle.
constexpr int kMinLoopPoints = 8;
constexpr int kMaxLoopPoints = 3600;

// A length of the object (absolute value); throws for one that is not finite.
double sizeOf(const Node& object, std::int32_t id) {
    return std::abs(finiteParameter(object, id, 0.0));
}

// Segment counts are kept within the limits of the primitives' descriptions,
// whatever a scene file holds.
int segmentsOf(const Node& object, std::int32_t id, int minimum) {
    return std::clamp(parameterOf<std::int32_t>(object, id, minimum), minimum, host::kMostSegments);
}

struct SurfacePoint {
    Vector position;
    Vector normal;
    std::optional<std::array<double, 2>> texcoord{};
};

// Adds a grid of (uSegments + 1) x (vSegments + 1) points, point(u, v) for u
// and v in [0, 1], as two triangles per cell, each turned to face the way its
// corners' normals point. Cells that collapse to a line or a point are left
// out.
void addSurface(PrimitiveMesh& mesh, int uSegments, int vSegments,
                const std::function<SurfacePoint(double u, double v)>& point) {
    const auto first = static_cast<std::uint32_t>(mesh.positions.size());
    for (int j = 0; j <= vSegments; ++j) {
        for (int i = 0; i <= uSegments; ++i) {
            const SurfacePoint p =
                point(static_cast<double>(i) / uSegments, static_cast<double>(j) / vSegments);
            mesh.positions.push_back(p.position);
            mesh.normals.push_back(p.normal);
            if (p.texcoord) {
                mesh.texcoords.push_back(*p.texcoord);
            }
        }
    }
    const auto at = [&](int i, int j) { return first + static_cast<std::uint32_t>(j * (uSegments + 1) + i); };
    const auto addTriangle = [&](std::uint32_t a, std::uint32_t b, std::uint32_t c) {
        const Vector& pa = mesh.positions[a];
        const Vector face = host::cross(mesh.positions[b] - pa, mesh.positions[c] - pa);
        if (face.x == 0.0 && face.y == 0.0 && face.z == 0.0) {
            return;
        }
        const Vector normals = mesh.normals[a] + mesh.normals[b] + mesh.normals[c];
        if (host::dot(face, normals) >= 0.0) {
            mesh.indices.insert(mesh.indices.end(), {a, b, c});
        } else {
            mesh.indices.insert(mesh.indices.end(), {a, c, b});
        }
    };
    for (int j = 0; j < vSegments; ++j) {
        for (int i = 0; i < uSegments; ++i) {
            addTriangle(at(i, j), at(i + 1, j), at(i + 1, j + 1));
            addTriangle(at(i, j), at(i + 1, j + 1), at(i, j + 1));
        }
    }
}

void turnOntoAxis(PrimitiveMesh& mesh, std::int32_t axis) {
    for (Vector& p : mesh.positions) {
        p = host::ontoAxis(axis, p);
    }
    for (Vector& n : mesh.normals) {
        n = host::ontoAxis(axis, n);
    }
}

// Segments of a slice's span at `segmentsPerTurn` for the whole turn.
int segmentsOver(const PrimitiveSlice& slice, int segmentsPerTurn) {
    return std::max(1, static_cast<int>(std::ceil(segmentsPerTurn * slice.spanRad / kTwoPi - 1e-9)));
}

// Unit vector in the XZ plane at an angle from +X towards +Z.
Vector radialDirection(double angleRad) {
    return {std::cos(angleRad), 0.0, std::sin(angleRad)};
}
// Its direction of increasing angle.
Vector alongTurn(double angleRad) {
    return {-std::sin(angleRad), 0.0, std::cos(angleRad)};
}

std::optional<PrimitiveMesh> finished(PrimitiveMesh mesh) {
    if (mesh.topology == MeshTopology::Triangles && mesh.indices.empty()) {
        return std::nullopt;
    }
    return mesh;
}

std::optional<PrimitiveMesh> sphereMesh(const Node& object) {
    const double r = sizeOf(object, host::kSphereRadius);
    const int aroundSegments = segmentsOf(object, host::kSphereSegments, 3);
    const int poleToPole = std::max(2, aroundSegments / 2);
    PrimitiveMesh mesh;
    addSurface(mesh, aroundSegments, poleToPole, [&](double u, double v) {
        // East longitude from -180 degrees at u = 0, as a map lays it out.
        const double longitude = kTwoPi * u - kPi;
        const double sinPolar = v == 0.0 || v == 1.0 ? 0.0 : std::sin(kPi * v);
        const Vector n{sinPolar * std::cos(longitude), std::cos(kPi * v), sinPolar * std::sin(longitude)};
        return SurfacePoint{n * r, n, std::array{u, v}};
    });
    return finished(std::move(mesh));
}

std::optional<PrimitiveMesh> planeMesh(const Node& object) {
    const double w = sizeOf(object, host::kPlaneWidth);
    const double h = sizeOf(object, host::kPlaneHeight);
    PrimitiveMesh mesh;
    mesh.open = true;
    addSurface(mesh, segmentsOf(object, host::kPlaneWidthSegments, 1),
               segmentsOf(object, host::kPlaneHeightSegments, 1), [&](double u, double v) {
                   return SurfacePoint{{(u - 0.5) * w, 0.0, (v - 0.5) * h}, {0.0, 1.0, 0.0}};
               });
    turnOntoAxis(mesh, parameterOf<std::int32_t>(object, host::kPrimitiveAxis, host::kAxisPlusY));
    return finished(std::move(mesh));
}

// The two flat ends of a sliced solid of revolution: the section at the
// start faces back along the turn, the one at the end forwards.
void addSliceEnds(PrimitiveMesh& mesh, const PrimitiveSlice& turn, int uSegments, int vSegments,
                  const std::function<Vector(double angleRad, double u, double v)>& section,
                  const std::function<double(const Vector& point)>& across) {
    if (turn.whole) {
        return;
    }
    for (const bool atEnd : {false, true}) {
        const double angle = atEnd ? turn.at(1.0) : turn.at(0.0);
        const Vector normal = alongTurn(angle) * (atEnd ? 1.0 : -1.0);
        addSurface(mesh, uSegments, vSegments, [&](double u, double v) {
            const Vector p = section(angle, u, v);
            return SurfacePoint{p, normal, std::array{across(p), atEnd ? 1.0 : 0.0}};
        });
    }
}

// Where a point lies across a ring about +Y, from its inner edge (0) to its
// outer edge (1): its distance from the axis as a share of the ring's width.
std::function<double(const Vector&)> ringFraction(double innerRadius, double outerRadius) {
    const double width = outerRadius - innerRadius;
    return [=](const Vector& p) {
        return width > 0.0 ? std::clamp((std::hypot(p.x, p.z) - innerRadius) / width, 0.0, 1.0) : 0.0;
    };
}

std::optional<PrimitiveMesh> tubeMesh(const Node& object) {
    const double outerRadius = sizeOf(object, host::kTubeOuterRadius);
    const double innerRadius = std::min(sizeOf(object, host::kTubeInnerRadius), outerRadius);
    const double halfHeight = sizeOf(object, host::kTubeHeight) / 2.0;
    const PrimitiveSlice turn = host::primitiveSlice(object);
    const int aroundSegments = segmentsOver(turn, segmentsOf(object, host::kTubeRotationSegments, 3));
    const int along = segmentsOf(object, host::kTubeHeightSegments, 1);
    const int across = segmentsOf(object, host::kTubeCapSegments, 1);
    const auto acrossRing = ringFraction(innerRadius, outerRadius);
    PrimitiveMesh mesh;
    for (const bool outer : {true, false}) {
        const double r = outer ? outerRadius : innerRadius;
        addSurface(mesh, aroundSegments, along, [&](double u, double v) {
            const Vector radial = radialDirection(turn.at(u));
            return SurfacePoint{radial * r + Vector{0.0, (2.0 * v - 1.0) * halfHeight, 0.0},
                                outer ? radial : -radial, std::array{outer ? 1.0 : 0.0, u}};
        });
    }
    for (const double side : {1.0, -1.0}) {
        addSurface(mesh, aroundSegments, across, [&](double u, double v) {
            const double r = innerRadius + (outerRadius - innerRadius) * v;
            return SurfacePoint{radialDirection(turn.at(u)) * r + Vector{0.0, side * halfHeight, 0.0},
                                {0.0, side, 0.0},
                                std::array{v, u}};
        });
    }
    addSliceEnds(
        mesh, turn, across, along,
        [&](double angleRad, double u, double v) {
            const double r = innerRadius + (outerRadius - innerRadius) * u;
            return radialDirection(angleRad) * r + Vector{0.0, (2.0 * v - 1.0) * halfHeight, 0.0};
        },
        acrossRing);
    turnOntoAxis(mesh, parameterOf<std::int32_t>(object, host::kPrimitiveAxis, host::kAxisPlusY));
    return finished(std::move(mesh));
}

std::optional<PrimitiveMesh> torusMesh(const Node& object) {
    const double ringRadius = sizeOf(object, host::kTorusRingRadius);
    const double pipeRadius = sizeOf(object, host::kTorusPipeRadius);
    const PrimitiveSlice turn = host::primitiveSlice(object);
    const int aroundSegments = segmentsOver(turn, segmentsOf(object, host::kTorusRingSegments, 3));
    const int pipe = segmentsOf(object, host::kTorusPipeSegments, 3);
    PrimitiveMesh mesh;
    // Pipe angle 0 points away from the axis, pi/2 along +Y.
    const auto pipeDirection = [](double ringAngleRad, double pipeAngleRad) {
        return radialDirection(ringAngleRad) * std::cos(pipeAngleRad) +
               Vector{0.0, std::sin(pipeAngleRad), 0.0};
    };
    const auto acrossRing = ringFraction(ringRadius - pipeRadius, ringRadius + pipeRadius);
    addSurface(mesh, aroundSegments, pipe, [&](double u, double v) {
        const double ringAngle = turn.at(u);
        const Vector n = pipeDirection(ringAngle, kTwoPi * v);
        const Vector p = radialDirection(ringAngle) * ringRadius + n * pipeRadius;
        return SurfacePoint{p, n, std::array{acrossRing(p), u}};
    });
    addSliceEnds(
        mesh, turn, pipe, 1,
        [&](double angleRad, double u, double v) {
            return radialDirection(angleRad) * ringRadius +
                   pipeDirection(angleRad, kTwoPi * u) * (pipeRadius * v);
        },
        acrossRing);
    turnOntoAxis(mesh, parameterOf<std::int32_t>(object, host::kPrimitiveAxis, host::kAxisPlusY));
    return finished(std::move(mesh));
}

std::optional<PrimitiveMesh> boxMesh(const Node& object) {
    return boxMeshWithSegments(object, {segmentsOf(object, host::kBoxSegmentsX, 1),
                                        segmentsOf(object, host::kBoxSegmentsY, 1),
                                        segmentsOf(object, host::kBoxSegmentsZ, 1)});
}

std::optional<PrimitiveMesh> circleMesh(const Node& object) {
    const SplineEllipse ellipse = splineEllipseOf(object);
    int points = kCircleControlPoints;
    if (parameterOf<std::int32_t>(object, host::kSplineIntermediatePoints, kNoIntermediatePoints) !=
        kNoIntermediatePoints) {
        const double angle = parameterOf<double>(object, host::kSplineAngle, 0.0);
        const double wanted = angle > 0.0 ? std::ceil(kTwoPi / angle - 1e-9) : kMaxLoopPoints;
        points = static_cast<int>(std::clamp(wanted, double{kMinLoopPoints}, double{kMaxLoopPoints}));
    }
    if (ellipse.radiusA == 0.0 && ellipse.radiusB == 0.0) {
        return std::nullopt;
    }
    PrimitiveMesh mesh;
    mesh.topology = MeshTopology::LineLoop;
    for (int i = 0; i < points; ++i) {
        mesh.positions.push_back(ellipse.point(kTwoPi * i / points));
    }
    return mesh;
}

// The unit vector along v, or nothing when v has no length.
std::optional<Vector> unitAlong(Vector v) {
    const double n = host::length(v);
    return n > 0.0 && std::isfinite(n) ? std::optional(v * (1.0 / n)) : std::nullopt;
}

// The normal of a loop's plane by Newell's method (sums of the edges' cross
// terms), which holds for any simple loop, convex or not.
Vector loopNormal(const std::vector<Vector>& points) {
    Vector normal{0.0, 0.0, 0.0};
    for (std::size_t i = 0; i < points.size(); ++i) {
        normal = normal + host::cross(points[i], points[(i + 1) % points.size()]);
    }
    return unitAlong(normal).value_or(Vector{0.0, 1.0, 0.0});
}

} // namespace

std::optional<PrimitiveMesh> boxMeshWithSegments(const Node& object, const std::array<int, 3>& segments) {
    const Vector stored = parameterOf<Vector>(object, host::kBoxSize, {});
    if (!std::isfinite(stored.x) || !std::isfinite(stored.y) || !std::isfinite(stored.z)) {
        throw host::HostError(host::describeNode(object) + " (\"" + object.name +
                              "\"): its size is not finite");
    }
    const Vector half{std::abs(stored.x) / 2.0, std::abs(stored.y) / 2.0, std::abs(stored.z) / 2.0};
    PrimitiveMesh mesh;
    // Each face: its normal axis, and the two axes across it in cyclic order.
    for (int axis = 0; axis < 3; ++axis) {
        const int across1 = (axis + 1) % 3;
        const int across2 = (axis + 2) % 3;
        for (const double side : {1.0, -1.0}) {
            addSurface(mesh, std::max(1, segments[static_cast<std::size_t>(across1)]),
                       std::max(1, segments[static_cast<std::size_t>(across2)]), [&](double u, double v) {
                           double coordinates[3] = {};
                           coordinates[axis] = side;
                           coordinates[across1] = 2.0 * u - 1.0;
                           coordinates[across2] = 2.0 * v - 1.0;
                           Vector normal;
                           (axis == 0 ? normal.x : axis == 1 ? normal.y : normal.z) = side;
                           return SurfacePoint{
                               {coordinates[0] * half.x, coordinates[1] * half.y, coordinates[2] * half.z},
                               normal,
                               std::array{(coordinates[0] + 1.0) / 2.0, (coordinates[2] + 1.0) / 2.0}};
                       });
        }
    }
    return finished(std::move(mesh));
}

PrimitiveMesh tubeAlongLoop(const PrimitiveMesh& loop, double radius) {
    PrimitiveMesh tube;
    const std::vector<Vector>& points = loop.positions;
    const std::size_t n = points.size();
    if (n < 3 || !(radius > 0.0)) {
        return tube;
    }
    const Vector normal = loopNormal(points);
    for (std::size_t i = 0; i < n; ++i) {
        const Vector along =
            unitAlong(points[(i + 1) % n] - points[(i + n - 1) % n]).value_or(Vector{1.0, 0.0, 0.0});
        const Vector outward = unitAlong(host::cross(along, normal)).value_or(Vector{1.0, 0.0, 0.0});
        for (int side = 0; side < kTubeSides; ++side) {
            const double angle = kTwoPi * (side + 0.5) / kTubeSides;
            tube.positions.push_back(points[i] +
                                     (outward * std::cos(angle) + normal * std::sin(angle)) * radius);
        }
    }
    const auto corner = [](std::size_t ring, int side) {
        return static_cast<std::uint32_t>(ring * kTubeSides + static_cast<std::size_t>(side % kTubeSides));
    };
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t next = (i + 1) % n;
        for (int side = 0; side < kTubeSides; ++side) {
            const std::uint32_t a = corner(i, side), b = corner(next, side);
            const std::uint32_t c = corner(next, side + 1), d = corner(i, side + 1);
            tube.indices.insert(tube.indices.end(), {a, b, c, a, c, d});
        }
    }
    return tube;
}

double sphereWorldRadius(const Node& sphere) {
    return sphere.parameters.getFloat(host::kSphereRadius, 0.0) * host::largestScale(sphere.worldMatrix());
}

double loopRadius(const PrimitiveMesh& loop) {
    if (loop.positions.empty()) {
        return 0.0;
    }
    Vector centre{0.0, 0.0, 0.0};
    for (const Vector& p : loop.positions) {
        centre = centre + p * (1.0 / static_cast<double>(loop.positions.size()));
    }
    double sum = 0.0;
    for (const Vector& p : loop.positions) {
        sum += host::length(p - centre);
    }
    return sum / static_cast<double>(loop.positions.size());
}

double finiteParameter(const Node& object, std::int32_t id, double fallback) {
    const double value = parameterOf<double>(object, id, fallback);
    if (!std::isfinite(value)) {
        throw host::HostError(host::describeNode(object) + " (\"" + object.name + "\"): parameter " +
                              std::to_string(id) + " is not a finite number");
    }
    return value;
}

Vector SplineEllipse::point(double angleRad) const {
    return firstAxis * (radiusA * std::cos(angleRad)) + secondAxis * (radiusB * std::sin(angleRad));
}

Vector SplineEllipse::tangent(double angleRad) const {
    return firstAxis * (-radiusA * std::sin(angleRad)) + secondAxis * (radiusB * std::cos(angleRad));
}

Vector SplineEllipse::outwardNormal(double angleRad) const {
    // The gradient of (p1 / a)^2 + (p2 / b)^2; for a flat ellipse the radial
    // direction stands in.
    const Vector n =
        radiusA > 0.0 && radiusB > 0.0
            ? firstAxis * (std::cos(angleRad) / radiusA) + secondAxis * (std::sin(angleRad) / radiusB)
            : firstAxis * std::cos(angleRad) + secondAxis * std::sin(angleRad);
    return n * (1.0 / host::length(n));
}

SplineEllipse splineEllipseOf(const Node& circleSpline) {
    SplineEllipse ellipse;
    ellipse.radiusA = sizeOf(circleSpline, host::kCircleRadius);
    ellipse.radiusB = parameterOf<bool>(circleSpline, host::kCircleEllipse, false)
                          ? sizeOf(circleSpline, host::kCircleSecondRadius)
                          : ellipse.radiusA;
    switch (parameterOf<std::int32_t>(circleSpline, host::kCirclePlane, host::kPlaneXY)) {
    case host::kPlaneZY:
        ellipse.firstAxis = {0.0, 0.0, 1.0};
        ellipse.secondAxis = {0.0, 1.0, 0.0};
        break;
    case host::kPlaneXZ:
        ellipse.firstAxis = {1.0, 0.0, 0.0};
        ellipse.secondAxis = {0.0, 0.0, 1.0};
        break;
    default:
        break;
    }
    return ellipse;
}

std::optional<PrimitiveMesh> buildPrimitiveMesh(const Node& object) {
    switch (object.typeId()) {
    case host::kTypeSphere:
        return sphereMesh(object);
    case host::kTypePlane:
        return planeMesh(object);
    case host::kTypeTube:
        return tubeMesh(object);
    case host::kTypeTorus:
        return torusMesh(object);
    case host::kTypeBox:
        return boxMesh(object);
    case host::kTypeCircleSpline:
        return circleMesh(object);
    default:
        return std::nullopt;
    }
}

} // namespace caelo::gltf
