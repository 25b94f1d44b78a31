// The host's own node types (null, polygon object, primitives, circle spline,
// camera, wrap deformer, shading tag) with their descriptions.
#ifndef CAELO_HOST_HOST_TYPES_H
#define CAELO_HOST_HOST_TYPES_H

#include "host/application.h"
#include "host/scene.h"

namespace caelo::host {

// Registers the host's types and their descriptions (called once by
// `application()`).
void registerHostTypes(TypeRegistry& types, DescriptionTable& descriptions);

// Half extents of an object (scene units) as its type and parameters give
// them: sphere (r, r, r); torus and tube by ring/outer radius, pipe radius or
// height and axis; plane by width, height and axis; box by half its size;
// circle spline by its radii and plane. Other types: (0, 0, 0).
[[nodiscard]] Vector objectHalfExtents(const Node& object);

// Axis choices of tube, torus and plane (parameter 1300).
enum PrimitiveAxis : std::int32_t {
    kAxisPlusX,
    kAxisMinusX,
    kAxisPlusY,
    kAxisMinusY,
    kAxisPlusZ,
    kAxisMinusZ
};
// A point or direction of a primitive built about +Y, turned onto its axis
// choice: +Y stays, +X takes (x, y, z) to (y, z, x) and so on, each a proper
// rotation, chosen so that a plane's width and height land where the host's
// sizes put them. Other values leave it as it is.
// Example: ontoAxis(kAxisPlusX, {0, 1, 0}) == {1, 0, 0}.
[[nodiscard]] Vector ontoAxis(std::int32_t axis, Vector v);

// Plane choices of the circle spline (parameter 2300).
enum SplinePlane : std::int32_t { kPlaneXY, kPlaneZY, kPlaneXZ };

} // namespace caelo::host

#endif
