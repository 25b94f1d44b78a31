// Vectors, affine matrices and rotations of the host's scene.
//
// Frame: left-handed, Y up, scene units. A matrix is an offset and three axis
// vectors; a point p maps to off + p.x * x + p.y * y + p.z * z. Rotations are
// heading, pitch and bank in radians in rotation order 6: heading about Y, then
// pitch about X, then bank about Z.
//
// The module carries its own affine mathematics (model/bodyAxisRotation.h) on
// purpose: the stand-in host computes what a real host would, independently of
// the module it loads.
#ifndef CAELO_HOST_SERVICES_MATRIX_H
#define CAELO_HOST_SERVICES_MATRIX_H

#include "interface/hostInterface.h"

#include <optional>

namespace caelo::host {

// ---------------------------------------------------------------- vectors

struct Vector {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    friend bool operator==(const Vector&, const Vector&) = default;
};

[[nodiscard]] inline Vector operator+(Vector a, Vector b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
[[nodiscard]] inline Vector operator-(Vector a, Vector b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
[[nodiscard]] inline Vector operator-(Vector a) {
    return {-a.x, -a.y, -a.z};
}
[[nodiscard]] inline Vector operator*(Vector a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
[[nodiscard]] inline Vector operator*(double s, Vector a) {
    return a * s;
}
[[nodiscard]] inline double dot(Vector a, Vector b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
[[nodiscard]] Vector cross(Vector a, Vector b);
[[nodiscard]] double length(Vector a);

// ---------------------------------------------------------------- matrices

struct Matrix {
    Vector off;
    Vector x{1.0, 0.0, 0.0};
    Vector y{0.0, 1.0, 0.0};
    Vector z{0.0, 0.0, 1.0};

    friend bool operator==(const Matrix&, const Matrix&) = default;
};

// A point through the whole matrix (offset included).
[[nodiscard]] Vector transformPoint(const Matrix& m, Vector point);
// A direction through the axes only (no offset).
[[nodiscard]] Vector transformDirection(const Matrix& m, Vector direction);

// The product a x b: b's offset maps through a as a point, b's axes through a
// as directions. Applying the product equals applying b, then a.
[[nodiscard]] Matrix operator*(const Matrix& a, const Matrix& b);

// True when all three components are finite.
[[nodiscard]] bool hasFiniteComponents(const Vector& v);

// The largest factor by which the matrix's axes stretch a length: the longest
// of the three axes. A length along any axis of the object grows by at most
// this much in its parent's frame.
[[nodiscard]] double largestScale(const Matrix& m);

// The inverse by cofactors over the determinant, or nothing for a matrix whose
// determinant is exactly 0: it collapses space, and no matrix undoes it.
[[nodiscard]] std::optional<Matrix> inverse(const Matrix& m);

// ---------------------------------------------------------------- rotations

// The rotation order the host implements. Any other order answers the identity
// matrix from `anglesToMatrix` and zero angles from `matrixToAngles`.
inline constexpr int kRotationOrderHpb = 6;

// The rotation matrix of (heading, pitch, bank) in radians, rotation order 6.
// With sH = sin H, cH = cos H and so on, the axes are
//   X = (cB cH - sB sP sH, -sB cP, cB sH + sB sP cH)
//   Y = (cB sP sH + sB cH,  cB cP, sB sH - cB sP cH)
//   Z = (-cP sH, sP, cP cH)
// and the offset is 0. All three angles exactly 0 give the unit matrix.
[[nodiscard]] Matrix anglesToMatrix(Vector headingPitchBank);

// The inverse of `anglesToMatrix` on the matrix's normalised axes (offset and
// scale are ignored): heading and bank in (-pi, pi], pitch in [-pi/2, pi/2].
// At pitch +-pi/2 heading and bank turn about the same axis; the bank is then
// taken as 0 and the heading carries the whole turn. One zero-length axis is
// rebuilt from the other two; with more, the unit axes stand in.
[[nodiscard]] Vector matrixToAngles(const Matrix& m);

// Heading and pitch (radians, bank 0) that turn the +Z axis onto a direction.
// Horizontal length below 0.00001: heading 0, pitch +pi/2 for y > 0, else
// -pi/2. Otherwise heading = -asin(x / l) for z > 0 and asin(x / l) + pi for
// z <= 0 (l the horizontal length), pitch = atan(y / l).
[[nodiscard]] Vector vectorToAngles(Vector direction);

// ---------------------------------------------------------------- transforms

// Position, rotation and scale of an object; its matrix applies the scale,
// then the rotation, then the position.
struct Transform {
    Vector position;             // scene units
    Vector rotation;             // heading, pitch, bank; radians, order 6
    Vector scale{1.0, 1.0, 1.0}; // factors along the object's own axes

    friend bool operator==(const Transform&, const Transform&) = default;
};

// The matrix of a transform: translate(position) x rotate(rotation) x scale.
[[nodiscard]] Matrix transformToMatrix(const Transform& transform);

// True for a transform that moves nothing: zero position and rotation, unit
// scale (its matrix is the unit matrix).
[[nodiscard]] bool isIdentity(const Transform& transform);

// True when every component of position, rotation and scale is finite.
[[nodiscard]] bool hasFiniteComponents(const Transform& transform);

// Splits a matrix into position, rotation and scale. The scale of each axis is
// its length; a mirrored matrix (negative determinant) takes a negative Z
// scale. A zero-length axis gives scale 0 along it and no rotation from it.
[[nodiscard]] Transform matrixToTransform(const Matrix& m);

// ---------------------------------------------------------------- C records

[[nodiscard]] inline HostVector toHost(Vector v) {
    return {v.x, v.y, v.z};
}
[[nodiscard]] inline Vector fromHost(HostVector v) {
    return {v.x, v.y, v.z};
}
[[nodiscard]] inline HostMatrix toHost(const Matrix& m) {
    return {toHost(m.off), toHost(m.x), toHost(m.y), toHost(m.z)};
}
[[nodiscard]] inline Matrix fromHost(const HostMatrix& m) {
    return {fromHost(m.off), fromHost(m.x), fromHost(m.y), fromHost(m.z)};
}

} // namespace caelo::host

#endif
