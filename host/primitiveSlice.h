// The slice of a tube or torus: the turn about its axis that it covers, read
// once for every output that draws it (the glTF meshes and the pictures).
//
// Angles are radians about +Y, from +X towards +Z, before the primitive is
// turned onto its axis choice (parameter 1300).
//
// Example: slice on from 2.5 to -2.5 covers 2 pi - 5 radians from 2.5,
// through pi.
#ifndef CAELO_HOST_PRIMITIVE_SLICE_H
#define CAELO_HOST_PRIMITIVE_SLICE_H

#include "host/scene.h"

#include <numbers>

namespace caelo::host {

struct PrimitiveSlice {
    double fromRad = 0.0;
    double spanRad = 2.0 * std::numbers::pi; // at most a whole turn
    bool whole = true;                       // the whole turn, not sliced

    // The angle a share `u` in [0, 1] of the way along the span.
    [[nodiscard]] double at(double u) const { return fromRad + spanRad * u; }
};

// The slice of a tube or torus: from its start (parameter 1201) to its end
// (1202) when slice (1200) is on, an end before the start wrapping once
// around. A slice whose start or end is not a finite number counts as no
// slice: the whole turn is drawn.
[[nodiscard]] PrimitiveSlice primitiveSlice(const Node& object);

} // namespace caelo::host

#endif
