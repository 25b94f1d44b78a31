// Geometry of the host's primitives as their parameters describe them, for
// export: sphere, plane, tube, torus, box and circle spline.
#ifndef CAELO_OUTPUTS_GLTF_GLTF_MESH_H
#define CAELO_OUTPUTS_GLTF_GLTF_MESH_H

#include "host/description.h"
#include "host/scene.h"
#include "host/services/matrix.h"

#include <array>
#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

namespace caelo::gltf {

enum class MeshTopology { Triangles, LineLoop };

// A mesh in its object's own frame (scene units, host axes). Triangles face
// outwards: for the corners a, b, c, cross(b - a, c - a) points to the side
// the vertex normals point to. A line loop has no normals and no indices.
struct PrimitiveMesh {
    MeshTopology topology = MeshTopology::Triangles;
    std::vector<host::Vector> positions;
    std::vector<host::Vector> normals; // unit length, one per position (triangles only)
    std::vector<std::uint32_t> indices;
    // Texture coordinates (u, v), one per position, where the surface has a
    // layout for a picture (a sphere: a map's, surfaceMaps.h; a tube, torus or
    // box: a ring's, below), else none.
    std::vector<std::array<double, 2>> texcoords;
    bool open = false; // a surface without inside (a plane): seen from both sides
};

// The mesh of a host primitive object, or nothing for other types and for a
// primitive whose sizes leave no area (radius 0, say).
//
// - Sphere (5160): radius 1110, 1111 segments around the Y axis and half as
//   many (at least 2) from pole to pole, its seam at longitude 180 degrees
//   (-X), with the texture coordinates of a map (surfaceMaps.h).
// - Plane (5168): width 1230 and height 1231 with 1232 and 1233 segments,
//   facing along its axis 1300 (default +Y: width along X, height along Z).
// - Tube (5165): outer radius 1170, inner radius 1171, height 1172 along its
//   axis 1300, with 1176 segments around, 1175 along and 1174 across the caps;
//   when slice 1200 is on, only the turn from 1201 to 1202 (radians, from +X
//   towards +Z about +Y; host/primitiveSlice.h) with closed ends.
// - Torus (5163): ring radius 1150, pipe radius 1151, 1152 segments around
//   the ring and 1153 around the pipe, about its axis 1300, sliced as a tube.
//   A tube's and a torus's texture coordinates run across the ring from its
//   inner edge (u = 0) to its outer edge (u = 1), and round it over the turn
//   (v from 0 at the turn's start to 1 at its end), so that a ring's radial
//   colour strip lays onto it.
// - Box (5159): full side lengths 1100 with 1102, 1103 and 1104 segments;
//   its texture coordinates run along X (u from -X to +X) and Z (v), so that
//   a ring band, which a wrap deformer bends with X outwards, takes a ring's
//   strip as a tube does.
// - Circle spline (5181): a line loop of radius 2012 (and second radius 2013
//   when 2010 makes it an ellipse) in its plane 2300; one point every angle
//   1004 (radians) of the turn, or the four control points when 1001 asks for
//   no intermediate points.
// Throws HostError naming the object when a size is not finite.
[[nodiscard]] std::optional<PrimitiveMesh> buildPrimitiveMesh(const host::Node& object);

// The mesh of a box with the given segments along X, Y and Z (each at least
// 1) instead of its own.
[[nodiscard]] std::optional<PrimitiveMesh> boxMeshWithSegments(const host::Node& box,
                                                               const std::array<int, 3>& segments);

// A closed tube of `radius` (scene units) along a line loop, kTubeSides sides
// around, for an orbit line that renders as a surface. It has no normals: its
// material is unlit.
inline constexpr int kTubeSides = 4;
[[nodiscard]] PrimitiveMesh tubeAlongLoop(const PrimitiveMesh& loop, double radius);

// The mean distance of a line loop's points from their centroid (scene
// units): the size of an orbit line.
[[nodiscard]] double loopRadius(const PrimitiveMesh& loop);

// A sphere's radius in the world (scene units): its radius parameter times
// the largest stretch of its world matrix.
[[nodiscard]] double sphereWorldRadius(const host::Node& sphere);

// A stored parameter of the object, else its type's default, else `fallback`.
// Example: parameterOf<double>(sphere, 1110, 0.0) is the sphere's radius.
template <class T> [[nodiscard]] T parameterOf(const host::Node& object, std::int32_t id, T fallback) {
    if (const host::Value* value = object.parameters.find(id); value && std::holds_alternative<T>(*value)) {
        return std::get<T>(*value);
    }
    if (const host::Description* description = object.description()) {
        if (const host::ParameterDescription* parameter = description->find(id);
            parameter && parameter->defaultValue && std::holds_alternative<T>(*parameter->defaultValue)) {
            return std::get<T>(*parameter->defaultValue);
        }
    }
    return fallback;
}

// A Float parameter read as parameterOf does; throws HostError naming the
// object and the parameter when it is not finite.
[[nodiscard]] double finiteParameter(const host::Node& object, std::int32_t id, double fallback);

// An ellipse of a circle spline in its own frame: radius a along the first
// axis of its plane, b along the second (XY: X, Y; ZY: Z, Y; XZ: X, Z). The
// parameter angle runs from the first axis towards the second.
struct SplineEllipse {
    double radiusA = 0.0;
    double radiusB = 0.0;
    host::Vector firstAxis{1.0, 0.0, 0.0};
    host::Vector secondAxis{0.0, 1.0, 0.0};

    [[nodiscard]] host::Vector point(double angleRad) const;
    [[nodiscard]] host::Vector tangent(double angleRad) const; // d point / d angle
    // The unit normal in the plane that points away from the centre.
    [[nodiscard]] host::Vector outwardNormal(double angleRad) const;
};

// The ellipse of a circle spline object from its parameters.
[[nodiscard]] SplineEllipse splineEllipseOf(const host::Node& circleSpline);

} // namespace caelo::gltf

#endif
