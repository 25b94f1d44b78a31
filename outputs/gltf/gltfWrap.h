// The wrap deformer (type 1019221) for export: it bends the object it sits
// below along a circle spline.
//
// The deformation, in the object's frame as the scene stands:
// 1. A vertex's coordinate along the deformer's axis (parameter 1006, +Z by
//    default) is taken as a fraction s in [0, 1] of the mesh's extent along
//    that axis; the other two coordinates, in cyclic order after the axis (for
//    Z: X then Y), are its place across.
// 2. s picks the point at the fraction offset + start + s (end - start) of
//    the spline's length (parameters 1004, 1002, 1003; fractions wrap around
//    the closed loop), counted from the spline's start point in the direction
//    of its parameter angle.
// 3. The vertex goes to that point, moved across by the profile (curve
//    parameter 1013, read at s; 1 when there is none) times its place across:
//    the first coordinate along the spline's outward normal, the second along
//    tangent x normal (the spline plane's normal on the side that keeps the
//    mesh's handedness).
// 4. The result is blended with the vertex's own place by the strength
//    (parameter 1000, 0 to 1).
// A deformer that is switched off, or whose spline link (parameter 1001) does
// not name a circle spline of the document, leaves the mesh as it is.
#ifndef CAELO_OUTPUTS_GLTF_GLTF_WRAP_H
#define CAELO_OUTPUTS_GLTF_GLTF_WRAP_H

#include "host/container.h"
#include "host/scene.h"
#include "outputs/gltf/gltfMesh.h"

#include <array>
#include <numbers>
#include <optional>

namespace caelo::gltf {

// Applies every wrap deformer among the object's children, in child order,
// to the object's mesh, and recomputes the normals of a deformed triangle
// mesh from its faces. The spline and the object are placed by their world
// matrices as last evaluated.
// Throws HostError naming the deformer when one of its numbers is not finite.
void applyWrapDeformers(const host::Node& object, PrimitiveMesh& mesh);

// The segments a box bent by a wrap deformer (its first one switched on that
// names a circle spline) needs, for X, Y and Z: along the deformer's axis one
// every kBendStepRad of the turn the bend covers, no more than the box's own;
// one across, where the bend leaves the faces flat. Nothing when no
// deformer bends the box.
// Example: a band bent along a tenth of its ring gets 18 segments along.
inline constexpr double kBendStepRad = 2.0 * std::numbers::pi / 180.0;
[[nodiscard]] std::optional<std::array<int, 3>> bentBoxSegments(const host::Node& box);

// The value of a profile curve at x: the knots joined by cubic Bezier segments
// whose inner control points are the knots' right and left tangents (relative
// to the knots), solved for x by bisection; the end knots' values outside
// them; 1 for a curve without knots.
// Example: the knots (0, 0.8), (0.5, 1), (1, 0.8) with flat tangents give 1 at 0.5.
[[nodiscard]] double profileValueAt(const host::Curve& curve, double x);

} // namespace caelo::gltf

#endif
