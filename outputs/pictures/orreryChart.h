// The top view: an orrery chart of a planetary system seen from ecliptic north
// (scene +Y), drawn with cairo. It shows the central body, the orbit of every
// body that orbits it directly with the body as a labelled dot (its distance
// below the name), a ring of ecliptic longitudes counted counter-clockwise
// from the vernal equinox, the model date, and a scale in au.
//
// The radial scale is true within 1 au and logarithmic beyond (see
// ChartRadialScale), so that Mercury's orbit and Neptune's are both readable
// on one chart; dashed circles and a labelled ruler at 1, 2, 5, 10, 20 and
// 50 au make the scale readable in any direction. Orbit lines are drawn
// fainter where they run south of the ecliptic. Moons are not drawn: at this
// scale they sit on their planet.
//
// Example:
//   drawOrreryChart(cairo, document, 1600, 1200);
#ifndef CAELO_OUTPUTS_PICTURES_ORRERY_CHART_H
#define CAELO_OUTPUTS_PICTURES_ORRERY_CHART_H

#include "host/scene.h"
#include "outputs/pictures/pictureScene.h"
#include "outputs/pictures/sceneRender.h"
#include "outputs/pictures/sceneRenderProjection.h"

#include <optional>

typedef struct _cairo cairo_t; // NOLINT: cairo's own declaration of its context

namespace caelo::pictures {

// The chart's radial scale from distance (au) to chart radius (pixels):
//   r(d) = k d                 for d <= d0,
//   r(d) = k d0 (1 + ln(d/d0)) for d > d0,
// with d0 = kLinearWithinAu. It is continuous with a continuous slope at d0
// and strictly increasing, so orbits keep their order; beyond d0 equal steps
// outward stand for equal ratios of distance.
// Example: ChartRadialScale(50.0, 500.0).radiusPx(50.0) == 500.0.
class ChartRadialScale {
public:
    static constexpr double kLinearWithinAu = 1.0;

    // The scale that puts `outermostAu` (> 0) at `outermostPx` (> 0).
    ChartRadialScale(double outermostAu, double outermostPx);

    // The chart radius of a distance; negative distances count as 0.
    [[nodiscard]] double radiusPx(double distanceAu) const;
    // Pixels per au within the linear part (k).
    [[nodiscard]] double pixelsPerAu() const { return pixelsPerAu_; }

private:
    // r(d) / k.
    [[nodiscard]] static double shape(double distanceAu);

    double pixelsPerAu_;
};

// Where the chart sits in a picture: centred, as large as the picture's
// smaller side allows with room for the longitude ring and its labels, its
// scale fitted so that the outermost orbit or body of the system (distance
// from the central body projected on the ecliptic) touches its edge.
class ChartLayout {
public:
    ChartLayout(const OrbitingBodies& system, int widthPx, int heightPx);

    // The picture point of a heliocentric ecliptic position (au): its
    // projection on the ecliptic, ecliptic +y up. Nothing when not finite.
    [[nodiscard]] std::optional<PicturePoint> pointOf(host::Vector au) const;

    [[nodiscard]] PicturePoint centre() const { return centre_; }
    [[nodiscard]] double radiusPx() const { return radiusPx_; }
    [[nodiscard]] const ChartRadialScale& scale() const { return scale_; }
    // The picture's line scale (see pictureScale).
    [[nodiscard]] double unit() const { return unit_; }

private:
    double unit_;
    PicturePoint centre_;
    double radiusPx_;
    ChartRadialScale scale_;
};

// Draws the chart of the document's first system object as last evaluated
// onto `cairo`, whose target is widthPx x heightPx pixels (both positive).
// Throws host::HostError when the document holds no system with a body axis
// and a usable distance scale (see readOrbitingBodies).
void drawOrreryChart(cairo_t* cairo, const host::Document& document, int widthPx, int heightPx);

} // namespace caelo::pictures

#endif
