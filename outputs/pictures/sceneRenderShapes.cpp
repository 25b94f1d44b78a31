#include "outputs/pictures/sceneRenderShapes.h"

#include "host/hostTypes.h"
#include "host/primitiveParameters.h"
#include "host/primitiveSlice.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace caelo::pictures {

using host::ontoAxis;
using host::Vector;

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

} // namespace

std::vector<Vector> circleSplineOutline(const host::Node& spline, int samples) {
    const host::Container& c = spline.parameters;
    const double radius = std::abs(c.getFloat(host::kCircleRadius, host::kDefaultCircleRadius));
    const double second = c.getBool(host::kCircleEllipse, false)
                              ? std::abs(c.getFloat(host::kCircleSecondRadius, radius))
                              : radius;
    const std::int32_t plane = c.getInt32(host::kCirclePlane, host::kPlaneXY);
    const int count = std::max(samples, 3);
    std::vector<Vector> points;
    points.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double angle = kTwoPi * i / count;
        const double a = radius * std::cos(angle);
        const double b = second * std::sin(angle);
        switch (plane) {
        case host::kPlaneZY:
            points.push_back({0.0, b, a});
            break;
        case host::kPlaneXZ:
            points.push_back({a, 0.0, b});
            break;
        default:
            points.push_back({a, b, 0.0});
            break;
        }
    }
    return points;
}

std::optional<FlatRing> flatRingOutline(const host::Node& object, int samplesPerTurn) {
    const host::Container& c = object.parameters;
    double inner = 0.0;
    double outer = 0.0;
    if (object.typeId() == host::kTypeTube) {
        outer = std::abs(c.getFloat(host::kTubeOuterRadius, host::kDefaultTubeOuterRadius));
        inner = std::min(std::abs(c.getFloat(host::kTubeInnerRadius, host::kDefaultTubeInnerRadius)), outer);
    } else if (object.typeId() == host::kTypeTorus) {
        const double ring = std::abs(c.getFloat(host::kTorusRingRadius, host::kDefaultTorusRingRadius));
        const double pipe = std::abs(c.getFloat(host::kTorusPipeRadius, host::kDefaultTorusPipeRadius));
        inner = std::max(ring - pipe, 0.0);
        outer = ring + pipe;
    } else {
        return std::nullopt;
    }
    if (!(outer > inner)) {
        return std::nullopt;
    }
    const host::PrimitiveSlice turn = host::primitiveSlice(object);
    // A whole ring repeats no angle; a slice keeps both of its ends.
    const int steps =
        std::max(2, static_cast<int>(std::ceil(std::max(samplesPerTurn, 3) * turn.spanRad / kTwoPi)));
    const int count = turn.whole ? steps : steps + 1;
    const std::int32_t axis = c.getInt32(host::kPrimitiveAxis, host::kAxisPlusY);
    FlatRing ring;
    ring.whole = turn.whole;
    for (int i = 0; i < count; ++i) {
        const double angle = turn.fromRad + turn.spanRad * i / steps;
        const Vector radial{std::cos(angle), 0.0, std::sin(angle)};
        ring.outer.push_back(ontoAxis(axis, radial * outer));
        ring.inner.push_back(ontoAxis(axis, radial * inner));
    }
    return ring;
}

std::array<Vector, 4> planeCorners(const host::Node& plane) {
    const host::Container& c = plane.parameters;
    const double w = std::abs(c.getFloat(host::kPlaneWidth, host::kDefaultPlaneSide)) / 2.0;
    const double h = std::abs(c.getFloat(host::kPlaneHeight, host::kDefaultPlaneSide)) / 2.0;
    const std::int32_t axis = c.getInt32(host::kPrimitiveAxis, host::kAxisPlusY);
    return {ontoAxis(axis, {-w, 0.0, -h}), ontoAxis(axis, {w, 0.0, -h}), ontoAxis(axis, {w, 0.0, h}),
            ontoAxis(axis, {-w, 0.0, h})};
}

} // namespace caelo::pictures
