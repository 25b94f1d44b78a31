#include "outputs/gltf/gltfWrap.h"

#include "host/hostTypes.h"
#include "host/primitiveParameters.h"
#include "host/sceneEditing.h"
#include "host/services/hostError.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace caelo::gltf {

using host::Node;
using host::Vector;

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Points of the table that measures a spline's length: enough for the length
// fraction of any point to be off by well under a millionth of the loop for
// ellipses of the eccentricities orbits have.
constexpr int kArcTableSteps = 4096;
// Bisection steps that solve a profile segment for x: 2^-60 of the segment.
constexpr int kProfileBisectionSteps = 60;

// The parameter angle of an ellipse at each fraction of its length, by a table
// of the lengths of its chords.
class ArcLengthTable {
public:
    explicit ArcLengthTable(const SplineEllipse& ellipse) : lengths_(kArcTableSteps + 1, 0.0) {
        Vector previous = ellipse.point(0.0);
        for (int i = 1; i <= kArcTableSteps; ++i) {
            const Vector p = ellipse.point(kTwoPi * i / kArcTableSteps);
            lengths_[i] = lengths_[i - 1] + host::length(p - previous);
            previous = p;
        }
    }

    // The parameter angle (radians) at a fraction of the length, the fraction
    // taken modulo 1.
    [[nodiscard]] double angleAt(double fraction) const {
        const double total = lengths_.back();
        const double wrapped = fraction - std::floor(fraction);
        if (total <= 0.0) {
            return kTwoPi * wrapped;
        }
        const double target = wrapped * total;
        const auto upper = std::upper_bound(lengths_.begin(), lengths_.end(), target);
        const auto i = std::clamp<std::ptrdiff_t>(upper - lengths_.begin(), 1, kArcTableSteps);
        const double low = lengths_[i - 1];
        const double high = lengths_[i];
        const double within = high > low ? (target - low) / (high - low) : 0.0;
        return kTwoPi * (static_cast<double>(i - 1) + within) / kArcTableSteps;
    }

private:
    std::vector<double> lengths_;
};

// Splits a vertex into its coordinate along a deformer axis and its two
// coordinates across it (cyclic order after the axis; the first negated with
// the axis, so that the split is a rotation).
struct AxisSplit {
    double along;
    double across1;
    double across2;
};

AxisSplit splitByAxis(std::int32_t axis, Vector v) {
    switch (axis) {
    case host::kAxisPlusX:
        return {v.x, v.y, v.z};
    case host::kAxisMinusX:
        return {-v.x, -v.y, v.z};
    case host::kAxisPlusY:
        return {v.y, v.z, v.x};
    case host::kAxisMinusY:
        return {-v.y, -v.z, v.x};
    case host::kAxisMinusZ:
        return {-v.z, -v.x, v.y};
    default:
        return {v.z, v.x, v.y};
    }
}

double cubicBezier(double p0, double p1, double p2, double p3, double t) {
    const double u = 1.0 - t;
    return u * u * u * p0 + 3.0 * u * u * t * p1 + 3.0 * u * t * t * p2 + t * t * t * p3;
}

// Area-weighted vertex normals from the faces.
void recomputeNormals(PrimitiveMesh& mesh) {
    mesh.normals.assign(mesh.positions.size(), Vector{0.0, 0.0, 0.0});
    for (std::size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
        const std::uint32_t a = mesh.indices[i], b = mesh.indices[i + 1], c = mesh.indices[i + 2];
        const Vector face =
            host::cross(mesh.positions[b] - mesh.positions[a], mesh.positions[c] - mesh.positions[a]);
        mesh.normals[a] = mesh.normals[a] + face;
        mesh.normals[b] = mesh.normals[b] + face;
        mesh.normals[c] = mesh.normals[c] + face;
    }
    for (Vector& n : mesh.normals) {
        const double l = host::length(n);
        n = l > 0.0 ? n * (1.0 / l) : Vector{0.0, 1.0, 0.0};
    }
}

void wrapAlongSpline(const Node& object, const Node& deformer, const Node& spline, PrimitiveMesh& mesh) {
    const double strength = std::clamp(finiteParameter(deformer, host::kWrapStrength, 1.0), 0.0, 1.0);
    const double start = finiteParameter(deformer, host::kWrapRangeStart, 0.0);
    const double end = finiteParameter(deformer, host::kWrapRangeEnd, 1.0);
    const double offset = finiteParameter(deformer, host::kWrapOffset, 0.0);
    const std::int32_t axis = deformer.parameters.getInt32(host::kWrapAxis, host::kAxisPlusZ);
    const host::Curve* profile = deformer.parameters.getCurve(host::kWrapProfile);

    const SplineEllipse ellipse = splineEllipseOf(spline);
    const ArcLengthTable arc(ellipse);
    // An object collapsed in its world (a scale of 0) has no frame of its own
    // to bend into: the spline's world frame is taken as the object's.
    const host::Matrix objectFromSpline =
        host::inverse(object.worldMatrix()).value_or(host::Matrix{}) * spline.worldMatrix();

    double lowest = 0.0;
    double highest = 0.0;
    for (std::size_t i = 0; i < mesh.positions.size(); ++i) {
        const double along = splitByAxis(axis, mesh.positions[i]).along;
        lowest = i == 0 ? along : std::min(lowest, along);
        highest = i == 0 ? along : std::max(highest, along);
    }
    for (Vector& vertex : mesh.positions) {
        const AxisSplit split = splitByAxis(axis, vertex);
        const double s = highest > lowest ? (split.along - lowest) / (highest - lowest) : 0.5;
        const double angle = arc.angleAt(offset + start + s * (end - start));
        const Vector tangent = ellipse.tangent(angle);
        const Vector outward = ellipse.outwardNormal(angle);
        const double tangentLength = host::length(tangent);
        const Vector across =
            tangentLength > 0.0 ? host::cross(tangent * (1.0 / tangentLength), outward) : ellipse.secondAxis;
        const double size = profile ? profileValueAt(*profile, s) : 1.0;
        const Vector wrapped =
            ellipse.point(angle) + (outward * split.across1 + across * split.across2) * size;
        vertex = vertex + (host::transformPoint(objectFromSpline, wrapped) - vertex) * strength;
    }
}

} // namespace

double profileValueAt(const host::Curve& curve, double x) {
    const std::vector<HostCurveKnot>& knots = curve.knots;
    if (knots.empty()) {
        return 1.0;
    }
    if (x <= knots.front().position.x) {
        return knots.front().position.y;
    }
    for (std::size_t i = 0; i + 1 < knots.size(); ++i) {
        const HostCurveKnot& a = knots[i];
        const HostCurveKnot& b = knots[i + 1];
        if (x > b.position.x) {
            continue;
        }
        const double x1 = a.position.x + a.rightTangent.x, x2 = b.position.x + b.leftTangent.x;
        const double y1 = a.position.y + a.rightTangent.y, y2 = b.position.y + b.leftTangent.y;
        double low = 0.0;
        double high = 1.0;
        for (int step = 0; step < kProfileBisectionSteps; ++step) {
            const double middle = (low + high) / 2.0;
            if (cubicBezier(a.position.x, x1, x2, b.position.x, middle) < x) {
                low = middle;
            } else {
                high = middle;
            }
        }
        return cubicBezier(a.position.y, y1, y2, b.position.y, (low + high) / 2.0);
    }
    return knots.back().position.y;
}

std::optional<std::array<int, 3>> bentBoxSegments(const Node& box) {
    const host::Document* document = box.document();
    if (document == nullptr) {
        return std::nullopt;
    }
    for (const Node* child = box.firstChild(); child != nullptr; child = child->nextSibling()) {
        if (child->typeId() != host::kTypeWrapDeformer || !child->enabled()) {
            continue;
        }
        const Node* spline = document->findNode(child->parameters.getLink(host::kWrapSpline));
        if (spline == nullptr || !spline->isObject() || spline->typeId() != host::kTypeCircleSpline) {
            continue;
        }
        const double covered = std::abs(finiteParameter(*child, host::kWrapRangeEnd, 1.0) -
                                        finiteParameter(*child, host::kWrapRangeStart, 0.0));
        const std::int32_t axis = child->parameters.getInt32(host::kWrapAxis, host::kAxisPlusZ);
        const int along = axis == host::kAxisPlusX || axis == host::kAxisMinusX   ? 0
                          : axis == host::kAxisPlusY || axis == host::kAxisMinusY ? 1
                                                                                  : 2;
        static constexpr std::int32_t kSegmentIds[3] = {host::kBoxSegmentsX, host::kBoxSegmentsY,
                                                        host::kBoxSegmentsZ};
        const int own = std::max(1, parameterOf<std::int32_t>(box, kSegmentIds[along], 1));
        const double needed = std::ceil(std::min(covered, 1.0) * kTwoPi / kBendStepRad - 1e-9);
        std::array<int, 3> segments{1, 1, 1};
        segments[static_cast<std::size_t>(along)] =
            static_cast<int>(std::clamp(needed, 1.0, static_cast<double>(own)));
        return segments;
    }
    return std::nullopt;
}

void applyWrapDeformers(const Node& object, PrimitiveMesh& mesh) {
    const host::Document* document = object.document();
    if (document == nullptr || mesh.positions.empty()) {
        return;
    }
    bool deformed = false;
    for (const Node* child = object.firstChild(); child != nullptr; child = child->nextSibling()) {
        if (child->typeId() != host::kTypeWrapDeformer || !child->enabled()) {
            continue;
        }
        const Node* spline = document->findNode(child->parameters.getLink(host::kWrapSpline));
        if (spline == nullptr || !spline->isObject() || spline->typeId() != host::kTypeCircleSpline) {
            continue;
        }
        wrapAlongSpline(object, *child, *spline, mesh);
        deformed = true;
    }
    if (deformed && mesh.topology == MeshTopology::Triangles) {
        recomputeNormals(mesh);
    }
}

} // namespace caelo::gltf
