#include "outputs/gltf/gltfFrame.h"

#include <algorithm>
#include <cmath>

namespace caelo::gltf {

std::array<double, 3> toGltfVector(host::Vector v) {
    return {v.x, v.y, -v.z};
}

std::array<double, 4> quaternionOfRotation(const host::Matrix& r) {
    // Matrix element m(row, column): the axes are the columns.
    const double m00 = r.x.x, m10 = r.x.y, m20 = r.x.z;
    const double m01 = r.y.x, m11 = r.y.y, m21 = r.y.z;
    const double m02 = r.z.x, m12 = r.z.y, m22 = r.z.z;
    const double trace = m00 + m11 + m22;
    std::array<double, 4> q{};
    if (trace >= m00 && trace >= m11 && trace >= m22) {
        const double w4 = 2.0 * std::sqrt(1.0 + trace);
        q = {(m21 - m12) / w4, (m02 - m20) / w4, (m10 - m01) / w4, w4 / 4.0};
    } else if (m00 >= m11 && m00 >= m22) {
        const double x4 = 2.0 * std::sqrt(1.0 + m00 - m11 - m22);
        q = {x4 / 4.0, (m01 + m10) / x4, (m02 + m20) / x4, (m21 - m12) / x4};
    } else if (m11 >= m22) {
        const double y4 = 2.0 * std::sqrt(1.0 - m00 + m11 - m22);
        q = {(m01 + m10) / y4, y4 / 4.0, (m12 + m21) / y4, (m02 - m20) / y4};
    } else {
        const double z4 = 2.0 * std::sqrt(1.0 - m00 - m11 + m22);
        q = {(m02 + m20) / z4, (m12 + m21) / z4, z4 / 4.0, (m10 - m01) / z4};
    }
    const double norm = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    const double sign = q[3] < 0.0 ? -1.0 : 1.0;
    for (double& component : q) {
        component *= sign / norm;
    }
    return q;
}

GltfTransform toGltfTransform(const host::Transform& transform) {
    const std::array<double, 4> q = quaternionOfRotation(host::anglesToMatrix(transform.rotation));
    return {toGltfVector(transform.position),
            {-q[0], -q[1], q[2], q[3]},
            {transform.scale.x, transform.scale.y, transform.scale.z}};
}

double rotationAngleBetween(const std::array<double, 4>& a, const std::array<double, 4>& b) {
    const double d = std::abs(a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3]);
    return 2.0 * std::acos(std::min(d, 1.0));
}

double turnAngleBetween(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    const host::Vector u{a[0], a[1], a[2]};
    const host::Vector v{b[0], b[1], b[2]};
    if (host::length(u) == 0.0 || host::length(v) == 0.0) {
        return 0.0;
    }
    return std::atan2(host::length(host::cross(u, v)), host::dot(u, v));
}

} // namespace caelo::gltf
