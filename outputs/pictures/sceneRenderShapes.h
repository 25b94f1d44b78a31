// Outlines of the host's primitives in their object's own frame (scene units),
// as the camera view draws them: circle splines as loops, tubes and tori as
// flat rings across their axis, planes as rectangles.
//
// Tubes, tori and planes are built about +Y and turned onto their axis choice
// (parameter 1300): +Y stays, +X takes (x, y, z) to (y, z, x), -X to
// (-y, z, -x), -Y to (x, -y, -z), +Z to (x, -z, y) and -Z to (x, z, -y). Ring
// angles run from +X towards +Z before that turn; a slice covers the angles
// from its start to its end (parameters 1201 and 1202, radians; an end before
// the start wraps once around; host/primitiveSlice.h).
//
// Example:
//   for (Vector p : circleSplineOutline(spline, 256)) { p = transformPoint(spline.worldMatrix(), p); }
#ifndef CAELO_OUTPUTS_PICTURES_SCENE_RENDER_SHAPES_H
#define CAELO_OUTPUTS_PICTURES_SCENE_RENDER_SHAPES_H

#include "host/scene.h"
#include "host/services/matrix.h"

#include <array>
#include <optional>
#include <vector>

namespace caelo::pictures {

// The circle or ellipse of a circle spline (type 5181) in its plane (parameter
// 2300): `samples` points (at least 3) of a closed loop. The radius (2012)
// lies along the plane's first axis and, with the ellipse switch (2010) on,
// the second radius (2013) along its second: XY puts them on x and y, ZY on z
// and y, XZ on x and z. Negative radii count as their size.
// Example: radius 2 in plane XZ gives (2, 0, 0) first, then (0, 0, 2) a
// quarter of the way round.
[[nodiscard]] std::vector<host::Vector> circleSplineOutline(const host::Node& spline, int samples);

// A tube (type 5165) or torus (type 5163) seen as a flat ring: the band
// between the tube's inner and outer radii (1171, 1170), or between the
// torus's ring radius (1150) less and plus its pipe radius (1151). `outer`
// and `inner` are sampled at the same angles, from the slice's start to its
// end; `whole` is set when the ring is not sliced and both edges are closed
// loops.
struct FlatRing {
    std::vector<host::Vector> outer;
    std::vector<host::Vector> inner;
    bool whole = true;
};

// The flat ring of a tube or torus with `samplesPerTurn` samples for a whole
// turn (at least 2 for any slice); nothing for other types or a ring without
// width.
[[nodiscard]] std::optional<FlatRing> flatRingOutline(const host::Node& object, int samplesPerTurn);

// The four corners of a plane (type 5168) in order round its edge: width
// (1230) along x and height (1231) along z before the turn onto its axis.
[[nodiscard]] std::array<host::Vector, 4> planeCorners(const host::Node& plane);

} // namespace caelo::pictures

#endif
