// The pinhole camera through which the camera view is drawn, and the clipping
// that keeps every drawn point in front of it and at bounded picture
// coordinates.
//
// The host's camera sits at its object's world position and looks along the
// object's +Z axis, with its +Y axis up in the picture and its +X axis to the
// right (the scene frame is left-handed, so no axis is mirrored). Its focal
// length (parameter 500, millimetres) is taken on a 36 mm wide aperture that
// spans the picture's width: the default 36 mm lens sees 2 atan(1/2), about
// 53.13 degrees, across the picture, and the vertical field follows from the
// picture's aspect ratio.
//
// Example:
//   const CameraProjection view = CameraProjection::ofCamera(*document.camera(), 1600, 1200);
//   if (const auto p = view.project(view.toCameraSpace(sunPosition))) { drawDot(p->x, p->y); }
#ifndef CAELO_OUTPUTS_PICTURES_SCENE_RENDER_PROJECTION_H
#define CAELO_OUTPUTS_PICTURES_SCENE_RENDER_PROJECTION_H

#include "host/scene.h"
#include "host/services/matrix.h"

#include <optional>
#include <vector>

namespace caelo::pictures {

// A point of the picture in pixels: x to the right, y down, (0, 0) the
// top-left corner of the top-left pixel.
struct PicturePoint {
    double x = 0.0;
    double y = 0.0;
};

// The width of the aperture on which the camera's focal length is taken (mm).
inline constexpr double kCameraApertureWidthMm = 36.0;
// The focal length of a camera without a usable parameter 500 (mm).
inline constexpr double kDefaultFocalLengthMm = 36.0;

class CameraProjection {
public:
    // A camera at `cameraWorld`'s offset, oriented by its axes (normalised and
    // squared up; the matrix's scale is ignored), with a focal length in mm
    // (one that is not positive and finite stands for the default), drawing a
    // picture of widthPx x heightPx pixels (both positive).
    CameraProjection(const host::Matrix& cameraWorld, double focalLengthMm, int widthPx, int heightPx);

    // The projection through a camera object of the host (type 5103), from its
    // world matrix and parameter 500.
    [[nodiscard]] static CameraProjection ofCamera(const host::Node& camera, int widthPx, int heightPx);

    // A world point (scene units) in camera space: x to the right, y up, z the
    // depth in front of the camera, all in scene units.
    [[nodiscard]] host::Vector toCameraSpace(host::Vector world) const;
    // A world direction in camera space (rotated, not moved).
    [[nodiscard]] host::Vector directionToCameraSpace(host::Vector world) const;

    // The picture point of a camera-space point at or beyond the near plane;
    // nothing for a point behind it or not finite.
    // Example: with the camera at the origin looking along +Z, 36 mm lens,
    // 1600 x 1200 pixels, (100, 50, 1000) lands on (960, 520).
    [[nodiscard]] std::optional<PicturePoint> project(host::Vector cameraSpace) const;

    // Picture pixels per unit of x / z (or y / z) in camera space.
    [[nodiscard]] double focalLengthPx() const { return focalPx_; }

    // The part of a closed polygon (camera space) inside the drawn volume (in
    // front of the near plane and within the guard band around the picture),
    // projected to the picture: every point is finite and no further than
    // kGuardFactor half-widths (half-heights) from the picture's centre. A
    // polygon with a point that is not finite answers nothing.
    [[nodiscard]] std::vector<PicturePoint> clipPolygon(std::vector<host::Vector> polygon) const;

    // The parts of a polyline (camera space; `closed` joins the last point to
    // the first) inside the drawn volume, each projected to the picture. A
    // point that is not finite breaks the line.
    [[nodiscard]] std::vector<std::vector<PicturePoint>> clipPolyline(const std::vector<host::Vector>& line,
                                                                      bool closed) const;

    // How far beyond the picture the drawn volume reaches, in half picture
    // sizes from its centre: lines and fills end there, out of sight.
    static constexpr double kGuardFactor = 2.0;
    // The near plane's distance in front of the camera (scene units).
    static constexpr double kNearDistance = 1e-4;

private:
    // The signed distances of a camera-space point to the drawn volume's five
    // bounding planes, each >= 0 inside.
    [[nodiscard]] double planeDistance(int plane, host::Vector p) const;
    // The picture point of a camera-space point in front of the camera, or
    // nothing when it is not finite.
    [[nodiscard]] std::optional<PicturePoint> pictureOf(host::Vector p) const;

    host::Matrix worldToCamera_;
    double focalPx_;
    double centreX_;
    double centreY_;
    double guardSlopeX_; // |x / z| at the guard band's sides
    double guardSlopeY_; // |y / z| at its top and bottom
};

} // namespace caelo::pictures

#endif
