#include "host/services/matrix.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace caelo::host {

namespace {

// Below this horizontal length of the Z axis the pitch counts as +-pi/2, where
// heading and bank turn about the same axis.
constexpr double kPoleThreshold = 1e-12;
// Below this horizontal length a direction counts as straight up or down.
constexpr double kVerticalThreshold = 0.00001;

Vector normalisedOr(Vector v, Vector fallback) {
    const double l = length(v);
    return l > 0.0 && std::isfinite(l) ? v * (1.0 / l) : fallback;
}

bool isZero(Vector v) {
    return v.x == 0.0 && v.y == 0.0 && v.z == 0.0;
}

// Replaces a zero axis by the cross product of the other two, so that one
// collapsed axis still leaves a rotation to read.
Matrix completedAxes(const Matrix& m) {
    Matrix r = m;
    if (isZero(r.x) && !isZero(r.y) && !isZero(r.z)) {
        r.x = cross(r.y, r.z);
    } else if (isZero(r.y) && !isZero(r.z) && !isZero(r.x)) {
        r.y = cross(r.z, r.x);
    } else if (isZero(r.z) && !isZero(r.x) && !isZero(r.y)) {
        r.z = cross(r.x, r.y);
    }
    return r;
}

struct SineAndCosine {
    double sine;
    double cosine;
};

// Most rotations leave pitch or bank at 0, whose sine and cosine need no call:
// sin(+-0) is +-0 and cos(+-0) is 1.
SineAndCosine sineAndCosine(double angle) {
    if (angle == 0.0) {
        return {angle, 1.0};
    }
    return {std::sin(angle), std::cos(angle)};
}

bool isUnit(Vector scale) {
    return scale.x == 1.0 && scale.y == 1.0 && scale.z == 1.0;
}

} // namespace

Vector cross(Vector a, Vector b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double length(Vector a) {
    return std::sqrt(dot(a, a));
}

double largestScale(const Matrix& m) {
    return std::max({length(m.x), length(m.y), length(m.z)});
}

Vector transformPoint(const Matrix& m, Vector p) {
    return m.off + transformDirection(m, p);
}

Vector transformDirection(const Matrix& m, Vector d) {
    return m.x * d.x + m.y * d.y + m.z * d.z;
}

Matrix operator*(const Matrix& a, const Matrix& b) {
    return {transformPoint(a, b.off), transformDirection(a, b.x), transformDirection(a, b.y),
            transformDirection(a, b.z)};
}

bool hasFiniteComponents(const Vector& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool hasFiniteComponents(const Transform& t) {
    return hasFiniteComponents(t.position) && hasFiniteComponents(t.rotation) && hasFiniteComponents(t.scale);
}

std::optional<Matrix> inverse(const Matrix& m) {
    const Vector row0 = cross(m.y, m.z);
    const Vector row1 = cross(m.z, m.x);
    const Vector row2 = cross(m.x, m.y);
    const double volume = dot(m.x, row0);
    if (volume == 0.0) {
        return std::nullopt;
    }
    const double f = 1.0 / volume;
    Matrix r;
    r.x = Vector{row0.x, row1.x, row2.x} * f;
    r.y = Vector{row0.y, row1.y, row2.y} * f;
    r.z = Vector{row0.z, row1.z, row2.z} * f;
    r.off = -transformDirection(r, m.off);
    return r;
}

Matrix anglesToMatrix(Vector hpb) {
    if (hpb.x == 0.0 && hpb.y == 0.0 && hpb.z == 0.0) {
        return Matrix{};
    }
    const auto [sH, cH] = sineAndCosine(hpb.x);
    const auto [sP, cP] = sineAndCosine(hpb.y);
    const auto [sB, cB] = sineAndCosine(hpb.z);
    Matrix m;
    m.x = {cB * cH - sB * sP * sH, -sB * cP, cB * sH + sB * sP * cH};
    m.y = {cB * sP * sH + sB * cH, cB * cP, sB * sH - cB * sP * cH};
    m.z = {-cP * sH, sP, cP * cH};
    return m;
}

Vector matrixToAngles(const Matrix& m) {
    const Matrix c = completedAxes(m);
    const Vector x = normalisedOr(c.x, {1.0, 0.0, 0.0});
    const Vector y = normalisedOr(c.y, {0.0, 1.0, 0.0});
    const Vector z = normalisedOr(c.z, {0.0, 0.0, 1.0});
    // Z = (-cP sH, sP, cP cH); X.y = -sB cP; Y.y = cB cP.
    const double horizontal = std::hypot(z.x, z.z);
    const double pitch = std::atan2(z.y, horizontal);
    if (horizontal > kPoleThreshold) {
        return {std::atan2(-z.x, z.z), pitch, std::atan2(-x.y, y.y)};
    }
    // At the poles X = (cos(H +- B), 0, sin(H +- B)): the heading takes it all.
    return {std::atan2(x.z, x.x), pitch, 0.0};
}

Vector vectorToAngles(Vector d) {
    constexpr double pi = std::numbers::pi;
    const double l = std::sqrt(d.x * d.x + d.z * d.z);
    if (l < kVerticalThreshold) {
        return {0.0, d.y > 0.0 ? pi / 2.0 : -pi / 2.0, 0.0};
    }
    const double s = d.x / l;
    double heading = 0.0;
    if (d.z > 0.0) {
        heading = s >= 1.0 ? -pi / 2.0 : (s <= -1.0 ? pi / 2.0 : -std::asin(s));
    } else {
        heading = s >= 1.0 ? pi / 2.0 + pi : (s <= -1.0 ? -pi / 2.0 + pi : std::asin(s) + pi);
    }
    return {heading, std::atan(d.y / l), 0.0};
}

Matrix transformToMatrix(const Transform& t) {
    Matrix m = anglesToMatrix(t.rotation);
    if (!isUnit(t.scale)) {
        m.x = m.x * t.scale.x;
        m.y = m.y * t.scale.y;
        m.z = m.z * t.scale.z;
    }
    m.off = t.position;
    return m;
}

bool isIdentity(const Transform& t) {
    return isZero(t.position) && isZero(t.rotation) && isUnit(t.scale);
}

Transform matrixToTransform(const Matrix& m) {
    Transform t;
    t.position = m.off;
    t.scale = {length(m.x), length(m.y), length(m.z)};
    Matrix axes = m;
    if (dot(m.x, cross(m.y, m.z)) < 0.0) {
        t.scale.z = -t.scale.z;
        axes.z = -axes.z;
    }
    t.rotation = matrixToAngles(axes);
    return t;
}

} // namespace caelo::host
