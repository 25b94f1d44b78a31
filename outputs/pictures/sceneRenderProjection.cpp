#include "outputs/pictures/sceneRenderProjection.h"

#include "host/primitiveParameters.h"

#include <algorithm>
#include <cmath>

namespace caelo::pictures {

using host::Vector;

namespace {

// The drawn volume's bounding planes.
enum ClipPlane { kNear, kRight, kLeft, kTop, kBottom, kClipPlaneCount };

Vector lerp(Vector a, Vector b, double t) {
    return a + (b - a) * t;
}

} // namespace

CameraProjection::CameraProjection(const host::Matrix& cameraWorld, double focalLengthMm, int widthPx,
                                   int heightPx) {
    host::Matrix orientation = host::anglesToMatrix(host::matrixToAngles(cameraWorld));
    orientation.off = cameraWorld.off;
    // A rotation always has an inverse; the identity stands in should
    // non-finite angles have made it collapse.
    worldToCamera_ = host::inverse(orientation).value_or(host::Matrix{});
    const double focalMm =
        std::isfinite(focalLengthMm) && focalLengthMm > 0.0 ? focalLengthMm : kDefaultFocalLengthMm;
    focalPx_ = focalMm / kCameraApertureWidthMm * widthPx;
    centreX_ = widthPx / 2.0;
    centreY_ = heightPx / 2.0;
    guardSlopeX_ = kGuardFactor * centreX_ / focalPx_;
    guardSlopeY_ = kGuardFactor * centreY_ / focalPx_;
}

CameraProjection CameraProjection::ofCamera(const host::Node& camera, int widthPx, int heightPx) {
    return {camera.worldMatrix(), camera.parameters.getFloat(host::kCameraFocalLength, kDefaultFocalLengthMm),
            widthPx, heightPx};
}

Vector CameraProjection::toCameraSpace(Vector world) const {
    return host::transformPoint(worldToCamera_, world);
}

Vector CameraProjection::directionToCameraSpace(Vector world) const {
    return host::transformDirection(worldToCamera_, world);
}

std::optional<PicturePoint> CameraProjection::project(Vector p) const {
    if (!host::hasFiniteComponents(p) || p.z < kNearDistance) {
        return std::nullopt;
    }
    return pictureOf(p);
}

std::optional<PicturePoint> CameraProjection::pictureOf(Vector p) const {
    const PicturePoint point{centreX_ + focalPx_ * p.x / p.z, centreY_ - focalPx_ * p.y / p.z};
    if (!(p.z > 0.0) || !std::isfinite(point.x) || !std::isfinite(point.y)) {
        return std::nullopt;
    }
    return point;
}

double CameraProjection::planeDistance(int plane, Vector p) const {
    switch (plane) {
    case kNear:
        return p.z - kNearDistance;
    case kRight:
        return guardSlopeX_ * p.z - p.x;
    case kLeft:
        return guardSlopeX_ * p.z + p.x;
    case kTop:
        return guardSlopeY_ * p.z - p.y;
    default:
        return guardSlopeY_ * p.z + p.y;
    }
}

// Sutherland-Hodgman: the polygon is cut by each bounding plane in turn.
std::vector<PicturePoint> CameraProjection::clipPolygon(std::vector<Vector> polygon) const {
    if (!std::all_of(polygon.begin(), polygon.end(), [](Vector v) { return host::hasFiniteComponents(v); })) {
        return {};
    }
    std::vector<Vector> cut;
    for (int plane = 0; plane < kClipPlaneCount && !polygon.empty(); ++plane) {
        cut.clear();
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            const Vector a = polygon[i];
            const Vector b = polygon[(i + 1) % polygon.size()];
            const double da = planeDistance(plane, a);
            const double db = planeDistance(plane, b);
            if (da >= 0.0) {
                cut.push_back(a);
            }
            if ((da >= 0.0) != (db >= 0.0)) {
                cut.push_back(lerp(a, b, da / (da - db)));
            }
        }
        polygon.swap(cut);
    }
    std::vector<PicturePoint> picture;
    for (const Vector& p : polygon) {
        if (const auto point = pictureOf(p)) {
            picture.push_back(*point);
        }
    }
    return picture;
}

// Liang-Barsky: each segment keeps the parameter range in which it lies on the
// inner side of all five planes; consecutive kept segments that meet stay one
// piece.
std::vector<std::vector<PicturePoint>> CameraProjection::clipPolyline(const std::vector<Vector>& line,
                                                                      bool closed) const {
    std::vector<std::vector<PicturePoint>> pieces;
    const std::size_t segmentCount = closed ? line.size() : (line.empty() ? 0 : line.size() - 1);
    bool joined = false; // the last piece ends at the current segment's start
    for (std::size_t i = 0; i < segmentCount; ++i) {
        const Vector a = line[i];
        const Vector b = line[(i + 1) % line.size()];
        double t0 = 0.0;
        double t1 = 1.0;
        bool visible = host::hasFiniteComponents(a) && host::hasFiniteComponents(b);
        for (int plane = 0; plane < kClipPlaneCount && visible; ++plane) {
            const double da = planeDistance(plane, a);
            const double db = planeDistance(plane, b);
            if (da < 0.0 && db < 0.0) {
                visible = false;
            } else if (da < 0.0) {
                t0 = std::max(t0, da / (da - db));
            } else if (db < 0.0) {
                t1 = std::min(t1, da / (da - db));
            }
        }
        // Points cut at the near plane may fall a rounding error short of it.
        const auto start = visible && t0 <= t1 ? pictureOf(lerp(a, b, t0)) : std::nullopt;
        const auto end = start ? pictureOf(lerp(a, b, t1)) : std::nullopt;
        if (!start || !end) {
            joined = false;
            continue;
        }
        if (!joined || t0 > 0.0) {
            pieces.push_back({*start});
        }
        pieces.back().push_back(*end);
        joined = t1 == 1.0;
    }
    return pieces;
}

} // namespace caelo::pictures
