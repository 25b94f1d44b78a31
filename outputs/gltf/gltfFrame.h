// From the host's scene frame to glTF's.
//
// The host's frame is left-handed with Y up: a positive heading turns +X
// towards +Z, which is counter-clockwise seen from +Y only when +Z points away
// from the viewer of the XY plane. glTF's frame is right-handed with Y up. The
// mirror S = diag(1, 1, -1) takes one to the other: a point (x, y, z) becomes
// (x, y, -z) and a matrix M becomes S M S. Scene +Y stays up (ecliptic north),
// and a body that runs from +X towards +Z in the scene runs from +X towards -Z
// in glTF, counter-clockwise seen from +Y there too.
#ifndef CAELO_OUTPUTS_GLTF_GLTF_FRAME_H
#define CAELO_OUTPUTS_GLTF_GLTF_FRAME_H

#include "host/services/matrix.h"

#include <array>

namespace caelo::gltf {

// A glTF node transform: translation, then rotation (unit quaternion x, y, z,
// w), then scale, in glTF's frame.
struct GltfTransform {
    std::array<double, 3> translation{0.0, 0.0, 0.0};
    std::array<double, 4> rotation{0.0, 0.0, 0.0, 1.0};
    std::array<double, 3> scale{1.0, 1.0, 1.0};
};

// A point or direction of the scene frame in glTF's frame: (x, y, -z).
[[nodiscard]] std::array<double, 3> toGltfVector(host::Vector v);

// The unit quaternion (x, y, z, w) of a rotation matrix of the scene frame
// (its axes are taken as they are; they must be orthonormal with determinant
// +1), with w >= 0. Shepperd's method: the largest of the four squared
// components is found from the trace and the others from it, which keeps the
// result accurate for every angle.
[[nodiscard]] std::array<double, 4> quaternionOfRotation(const host::Matrix& rotation);

// The host transform (position, heading/pitch/bank, scale) in glTF's frame.
// The rotation R becomes S R S, whose quaternion is (-x, -y, z, w) of R's;
// the scale factors along the object's own axes stay as they are, since
// S diag(s) S = diag(s).
// Example: toGltfTransform({{1, 2, 3}, {0, 0, 0}, {1, 1, 1}}).translation is {1, 2, -3}.
[[nodiscard]] GltfTransform toGltfTransform(const host::Transform& transform);

// The rotation angle (radians, in [0, pi]) that turns quaternion a into b.
[[nodiscard]] double rotationAngleBetween(const std::array<double, 4>& a, const std::array<double, 4>& b);

// The angle (radians, in [0, pi]) between two offsets seen from their common
// origin; 0 when either offset is zero.
[[nodiscard]] double turnAngleBetween(const std::array<double, 3>& a, const std::array<double, 3>& b);

} // namespace caelo::gltf

#endif
