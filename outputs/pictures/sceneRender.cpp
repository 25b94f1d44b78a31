#include "outputs/pictures/sceneRender.h"

#include "host/primitiveParameters.h"
#include "host/services/hostError.h"
#include "model/units.h"
#include "outputs/appearance/brightStars.h"
#include "outputs/appearance/ringProfiles.h"
#include "outputs/appearance/surfaceMaps.h"
#include "outputs/pictures/cairoColour.h"
#include "outputs/pictures/sceneRenderGlobe.h"
#include "outputs/pictures/sceneRenderProjection.h"
#include "outputs/pictures/sceneRenderShapes.h"
#include "places/deltaT.h"
#include "places/eclipses.h"
#include "places/systemObject.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

namespace caelo::pictures {

using appearance::RgbColour;
using host::Node;
using host::Vector;

namespace {

// Sizes are given for a picture whose smaller side is this long.
constexpr double kReferenceSidePx = 1200.0;
// Text stops shrinking at this share of its size.
constexpr double kSmallestTextScale = 0.7;

constexpr RgbColour kBackgroundTop{0.012, 0.016, 0.04};
constexpr RgbColour kBackgroundBottom{0.035, 0.045, 0.09};
// The stars behind (appearance/brightStars.h): a dot of kFaintestStarRadius
// line units at magnitude kFaintestStar, kStarRadiusPerMagnitude more for each
// magnitude brighter, and as opaque as kFaintestStarAlpha and
// kStarAlphaPerMagnitude give it (at most 1).
constexpr double kFaintestStar = 6.5;
constexpr double kFaintestStarRadius = 0.45;
constexpr double kStarRadiusPerMagnitude = 0.22;
constexpr double kFaintestStarAlpha = 0.3;
constexpr double kStarAlphaPerMagnitude = 0.12;
constexpr RgbColour kLabelColour{0.88, 0.9, 0.95};

// Opacity of planes and orbit lines, which are drawn over what lies behind
// them; see-through ones take the second.
constexpr double kPlaneAlpha = 0.35, kSeeThroughPlaneAlpha = 0.16;
constexpr double kOrbitAlpha = 0.75, kSeeThroughOrbitAlpha = 0.4;

// Line widths, the smallest disc and the labels at the reference size (pixels).
constexpr double kOrbitWidth = 1.3;
constexpr double kPlaneEdgeWidth = 1.0;
constexpr double kMinimumGlobeRadius = 1.2;
constexpr double kLabelSize = 15.0;
constexpr double kLabelGap = 5.0;
constexpr double kLabelHaloWidth = 3.0;

// Samples of a whole turn of an orbit line and of a ring.
constexpr int kOrbitSamples = 720;
constexpr int kRingSamples = 240;

// Beyond this many pixels from the picture a disc is too large for cairo's
// fixed-point coordinates; such a globe is drawn only when it covers the whole
// picture, as a fill.
constexpr double kLargestDrawnPx = 1.0e6;

// A point that breaks a line where it is hidden.
constexpr Vector kBreak{std::numeric_limits<double>::quiet_NaN(), 0.0, 0.0};

// The light sits at the world origin.
constexpr Vector kLightPosition{0.0, 0.0, 0.0};

bool isHiddenForRendering(const Node& object) {
    for (const Node* node = &object; node != nullptr; node = node->parent()) {
        if (node->renderMode == HOST_DISPLAY_HIDDEN) {
            return true;
        }
    }
    return false;
}

bool isShown(const Node& object) {
    return object.enabled() && !isHiddenForRendering(object);
}

void addPolygon(cairo_t* cairo, const std::vector<PicturePoint>& points) {
    for (const PicturePoint& p : points) {
        cairo_line_to(cairo, p.x, p.y);
    }
    cairo_close_path(cairo);
}

std::vector<Vector> transformed(const host::Matrix& m, const std::vector<Vector>& points) {
    std::vector<Vector> result;
    result.reserve(points.size());
    for (const Vector& p : points) {
        result.push_back(host::transformPoint(m, p));
    }
    return result;
}

// A piece of a ring, or a whole ring, ready to fill: its outline loops in the
// picture (filled even-odd) and its mean depth.
struct RingPiece {
    std::vector<std::vector<PicturePoint>> loops;
    RgbColour colour;
    double alpha = 1.0;
};

// A globe to paint, and to label.
struct Globe {
    GlobeDisc disc;
    std::string name;
    Vector centre;      // camera space
    double radius;      // scene units
    double depth = 0.0; // of its centre, scene units in front of the camera

    // True when the globe's surface lies between the camera and a point
    // (camera space): the line of sight enters the sphere before the point.
    [[nodiscard]] bool hides(Vector p) const {
        const double pp = host::dot(p, p);
        const double pc = host::dot(p, centre);
        const double discriminant = pc * pc - pp * (host::dot(centre, centre) - radius * radius);
        if (discriminant < 0.0 || pp == 0.0) {
            return false;
        }
        const double entry = (pc - std::sqrt(discriminant)) / pp; // along the sight line, 1 at the point
        return entry > 0.0 && entry < 1.0;
    }
};

// Something painted in depth order: a globe or a ring piece.
struct DepthItem {
    double depth = 0.0;
    const Globe* globe = nullptr;
    const RingPiece* ring = nullptr;
};

struct LabelBox {
    double left, top, right, bottom;

    [[nodiscard]] bool overlaps(const LabelBox& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
};

class CameraViewPainter {
public:
    CameraViewPainter(cairo_t* cairo, const host::Document& document, const Node& camera, int widthPx,
                      int heightPx)
        : cairo_(cairo), document_(document), view_(CameraProjection::ofCamera(camera, widthPx, heightPx)),
          width_(widthPx), height_(heightPx), unit_(pictureScale(widthPx, heightPx).lines),
          textUnit_(pictureScale(widthPx, heightPx).text) {}

    void paint() {
        paintBackground();
        paintStars();
        std::vector<const Node*> planes, splines, rings, spheres;
        document_.forEachObject([&](Node& object) {
            if (!isShown(object)) {
                return;
            }
            switch (object.typeId()) {
            case host::kTypePlane:
                planes.push_back(&object);
                break;
            case host::kTypeCircleSpline:
                splines.push_back(&object);
                break;
            case host::kTypeTube:
            case host::kTypeTorus:
                rings.push_back(&object);
                break;
            case host::kTypeSphere:
                spheres.push_back(&object);
                break;
            default:
                break;
            }
        });
        for (const Node* plane : planes) {
            paintPlane(*plane);
        }
        for (const Node* ring : rings) {
            collectRing(*ring);
        }
        for (const Node* sphere : spheres) {
            collectGlobe(*sphere);
        }
        paintInDepthOrder();
        for (const Node* spline : splines) {
            paintOrbit(*spline);
        }
        paintLabels();
    }

private:
    void paintBackground() {
        cairo_pattern_t* sky = cairo_pattern_create_linear(0.0, 0.0, 0.0, height_);
        cairo_pattern_add_color_stop_rgb(sky, 0.0, kBackgroundTop.red, kBackgroundTop.green,
                                         kBackgroundTop.blue);
        cairo_pattern_add_color_stop_rgb(sky, 1.0, kBackgroundBottom.red, kBackgroundBottom.green,
                                         kBackgroundBottom.blue);
        cairo_set_source(cairo_, sky);
        cairo_paint(cairo_);
        cairo_pattern_destroy(sky);
    }

    // The stars in their directions: they turn with the camera but do not
    // move as it moves.
    void paintStars() {
        for (const appearance::BrightStar& star : appearance::brightStars()) {
            const Vector ahead = view_.directionToCameraSpace(star.direction);
            if (!(ahead.z > 0.0)) {
                continue;
            }
            const auto point = view_.project(ahead * (1.0 / ahead.z));
            if (!point || point->x < 0.0 || point->y < 0.0 || point->x > width_ || point->y > height_) {
                continue;
            }
            const double brighter = std::max(0.0, kFaintestStar - star.visualMagnitude);
            cairo_set_source_rgba(cairo_, 1.0, 1.0, 1.0,
                                  std::min(1.0, kFaintestStarAlpha + kStarAlphaPerMagnitude * brighter));
            cairo_arc(cairo_, point->x, point->y,
                      unit_ * (kFaintestStarRadius + kStarRadiusPerMagnitude * brighter), 0.0,
                      2.0 * std::numbers::pi);
            cairo_fill(cairo_);
        }
    }

    [[nodiscard]] std::vector<Vector> inCameraSpace(const std::vector<Vector>& world) const {
        std::vector<Vector> result;
        result.reserve(world.size());
        for (const Vector& p : world) {
            result.push_back(view_.toCameraSpace(p));
        }
        return result;
    }

    void paintPlane(const Node& plane) {
        const auto corners = planeCorners(plane);
        const std::vector<PicturePoint> outline = view_.clipPolygon(inCameraSpace(
            transformed(plane.worldMatrix(), std::vector<Vector>(corners.begin(), corners.end()))));
        if (outline.size() < 3) {
            return;
        }
        const double alpha = plane.color.seeThrough ? kSeeThroughPlaneAlpha : kPlaneAlpha;
        const RgbColour colour = appearance::lookOf(document_, plane).colour;
        addPolygon(cairo_, outline);
        setSource(cairo_, colour, alpha);
        cairo_fill_preserve(cairo_);
        setSource(cairo_, colour, std::min(1.0, 2.0 * alpha));
        cairo_set_line_width(cairo_, kPlaneEdgeWidth * unit_);
        cairo_stroke(cairo_);
    }

    // An orbit line over the globes, left out where a globe hides it.
    void paintOrbit(const Node& spline) {
        std::vector<Vector> line =
            inCameraSpace(transformed(spline.worldMatrix(), circleSplineOutline(spline, kOrbitSamples)));
        for (Vector& p : line) {
            if (std::any_of(globes_.begin(), globes_.end(),
                            [&](const Globe& globe) { return globe.hides(p); })) {
                p = kBreak;
            }
        }
        const auto pieces = view_.clipPolyline(line, true);
        for (const auto& piece : pieces) {
            for (const PicturePoint& p : piece) {
                cairo_line_to(cairo_, p.x, p.y);
            }
            cairo_new_sub_path(cairo_);
        }
        setSource(cairo_, appearance::lookOf(document_, spline).colour,
                  spline.color.seeThrough ? kSeeThroughOrbitAlpha : kOrbitAlpha);
        cairo_set_line_width(cairo_, kOrbitWidth * unit_);
        cairo_set_line_join(cairo_, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cairo_);
    }

    // A ring in pieces: where its planet has a radial profile, one band for
    // each run of equal opacity across its strip (ringProfiles.h), else the
    // whole ring in its look; each band in runs of samples nearer the camera
    // than the ring's centre and runs beyond it.
    void collectRing(const Node& object) {
        const auto ring = flatRingOutline(object, kRingSamples);
        if (!ring) {
            return;
        }
        const host::Matrix world = object.worldMatrix();
        const std::vector<Vector> outer = inCameraSpace(transformed(world, ring->outer));
        const std::vector<Vector> inner = inCameraSpace(transformed(world, ring->inner));
        const double centreDepth = view_.toCameraSpace(world.off).z;
        const appearance::Look look = appearance::lookOf(document_, object);
        const std::vector<double> strip = appearance::ringStripOf(document_, object);
        if (strip.empty()) {
            collectRingBand(RingPiece{{}, look.colour, look.opacity}, outer, inner, ring->whole, centreDepth);
            return;
        }
        const auto across = [&](double share) {
            std::vector<Vector> loop(outer.size());
            for (std::size_t i = 0; i < loop.size(); ++i) {
                loop[i] = inner[i] + (outer[i] - inner[i]) * share;
            }
            return loop;
        };
        const double pixels = static_cast<double>(strip.size());
        for (std::size_t start = 0, end = 0; start < strip.size(); start = end) {
            while (end < strip.size() && strip[end] == strip[start]) {
                ++end;
            }
            if (strip[start] > 0.0) {
                collectRingBand(RingPiece{{}, look.colour, strip[start]}, across(end / pixels),
                                across(start / pixels), ring->whole, centreDepth);
            }
        }
    }

    void collectRingBand(const RingPiece& style, const std::vector<Vector>& outer,
                         const std::vector<Vector>& inner, bool whole, double centreDepth) {
        const std::size_t n = outer.size();
        const auto nearer = [&](std::size_t i) { return outer[i].z < centreDepth; };

        // Where a whole ring changes side, so that every run starts at a change.
        std::size_t first = 0;
        bool changes = !whole;
        for (std::size_t i = 0; i < n && whole; ++i) {
            if (nearer(i) != nearer((i + n - 1) % n)) {
                first = i;
                changes = true;
                break;
            }
        }
        if (!changes) {
            addRingPiece(style, {outer, inner}, centreDepth);
            return;
        }
        const std::size_t count = whole ? n : n - 1; // segments between samples
        std::size_t start = 0;
        for (std::size_t step = 1; step <= count; ++step) {
            const std::size_t at = (first + step) % n;
            if (step < count && nearer(at) == nearer((first + start) % n)) {
                continue;
            }
            std::vector<Vector> band;
            for (std::size_t k = start; k <= step; ++k) {
                band.push_back(outer[(first + k) % n]);
            }
            for (std::size_t k = step + 1; k-- > start;) {
                band.push_back(inner[(first + k) % n]);
            }
            double depth = 0.0;
            for (const Vector& p : band) {
                depth += p.z / static_cast<double>(band.size());
            }
            addRingPiece(style, {band}, depth);
            start = step;
        }
    }

    void addRingPiece(const RingPiece& style, const std::vector<std::vector<Vector>>& loops, double depth) {
        RingPiece piece{{}, style.colour, style.alpha};
        for (const auto& loop : loops) {
            auto outline = view_.clipPolygon(loop);
            if (outline.size() >= 3) {
                piece.loops.push_back(std::move(outline));
            }
        }
        if (!piece.loops.empty()) {
            rings_.push_back(std::move(piece));
            ringDepths_.push_back(depth);
        }
    }

    void collectGlobe(const Node& sphere) {
        const host::Matrix world = sphere.worldMatrix();
        const double radius =
            sphere.parameters.getFloat(host::kSphereRadius, 0.0) * host::largestScale(world);
        const Vector centre = view_.toCameraSpace(world.off);
        auto disc = globeDisc(view_, centre, std::abs(radius), view_.toCameraSpace(kLightPosition),
                              appearance::lookOf(document_, sphere).colour);
        if (!disc) {
            return;
        }
        disc->radiusPx = std::max(disc->radiusPx, kMinimumGlobeRadius * unit_);
        dressInMap(sphere, world, *disc);
        if (!touchesPicture(*disc)) {
            return;
        }
        globes_.push_back({*disc, sphere.name, centre, std::abs(radius), centre.z});
    }

    // The map a globe wears (outputs/appearance/surfaceMaps.h), with its
    // axes turned into camera space.
    void dressInMap(const Node& sphere, const host::Matrix& world, GlobeDisc& disc) const {
        const appearance::SurfaceMap* map =
            appearance::roleOf(document_, sphere) == appearance::Role::Globe
                ? appearance::surfaceMapOf(sphere.name, appearance::MapLayer::Surface)
                : nullptr;
        const MapPixels* pixels = map != nullptr ? pixelsOf(*map) : nullptr;
        const auto unit = [&](Vector axis) {
            const Vector along = view_.directionToCameraSpace(axis);
            const double length = host::length(along);
            return length > 0.0 && std::isfinite(length) ? std::optional(along * (1.0 / length))
                                                         : std::nullopt;
        };
        const auto x = unit(world.x), y = unit(world.y), z = unit(world.z);
        if (pixels == nullptr || !x || !y || !z) {
            return;
        }
        disc.map = pixels;
        disc.axisX = *x;
        disc.axisY = *y;
        disc.axisZ = *z;
        disc.shadow = trueShadowOn(sphere);
    }

    // An eclipse's shadow on the Earth's or the Moon's globe at the model
    // date, when one falls on it (places/eclipses.h).
    [[nodiscard]] std::optional<TrueShadow> trueShadowOn(const Node& sphere) const {
        const bool earth = sphere.name == "Earth";
        const host::Node* system = places::governingSystem(sphere);
        if ((!earth && sphere.name != "Moon") || system == nullptr) {
            return std::nullopt;
        }
        const auto universal = places::modelJulianDate(document_, *system, places::currentZoneOffsetDays());
        if (!universal) {
            return std::nullopt;
        }
        const double tt = *universal + places::deltaTSecondsAt(*universal) / kSecondsPerDay;
        if (!(tt >= places::kEclipseSpanFirstJd && tt <= places::kEclipseSpanLastJd)) {
            return std::nullopt;
        }
        const places::SunAndMoon bodies = places::sunAndMoonFromEarth(tt);
        // Ecliptic (x, y, z) is the scene's (x, z, y); turned into camera space.
        const auto camera = [&](const std::array<double, 3>& v) {
            return view_.directionToCameraSpace(Vector{v[0], v[2], v[1]});
        };
        const Vector moonFromEarth = camera(bodies.moon);
        const Vector sunFromEarth = camera(bodies.sun);
        TrueShadow shadow = earth ? TrueShadow{sunFromEarth, moonFromEarth, places::kEclipseEarthRadiusKm,
                                               places::kEclipseMoonRadiusKm}
                                  : TrueShadow{sunFromEarth - moonFromEarth, moonFromEarth * -1.0,
                                               places::kEclipseMoonRadiusKm, places::kEarthShadowRadiusKm};
        // Only when the penumbra reaches the globe: the shadow's axis (from
        // the Sun through the body in the way) passes the globe's centre
        // within the globe's radius and the penumbra's there.
        const Vector axis =
            (shadow.occulter - shadow.sun) * (1.0 / host::length(shadow.occulter - shadow.sun));
        const double beyond = -host::dot(shadow.occulter, axis); // from the body in the way to the globe
        const double penumbra = beyond * (places::kSunRadiusKm + shadow.occulterRadiusKm) /
                                    host::length(shadow.occulter - shadow.sun) +
                                shadow.occulterRadiusKm;
        const double fromAxis = host::length(shadow.occulter + axis * beyond);
        return beyond > 0.0 && fromAxis < shadow.globeRadiusKm + penumbra ? std::optional(shadow)
                                                                          : std::nullopt;
    }

    [[nodiscard]] bool touchesPicture(const GlobeDisc& disc) const {
        const double nearestX = std::clamp(disc.centre.x, 0.0, static_cast<double>(width_));
        const double nearestY = std::clamp(disc.centre.y, 0.0, static_cast<double>(height_));
        return std::hypot(disc.centre.x - nearestX, disc.centre.y - nearestY) < disc.radiusPx;
    }

    [[nodiscard]] bool coversPicture(const GlobeDisc& disc) const {
        const double farX = std::max(std::abs(disc.centre.x), std::abs(disc.centre.x - width_));
        const double farY = std::max(std::abs(disc.centre.y), std::abs(disc.centre.y - height_));
        return std::hypot(farX, farY) < disc.radiusPx;
    }

    void paintInDepthOrder() {
        std::vector<DepthItem> items;
        for (std::size_t i = 0; i < globes_.size(); ++i) {
            items.push_back({globes_[i].depth, &globes_[i], nullptr});
        }
        for (std::size_t i = 0; i < rings_.size(); ++i) {
            items.push_back({ringDepths_[i], nullptr, &rings_[i]});
        }
        std::stable_sort(items.begin(), items.end(),
                         [](const DepthItem& a, const DepthItem& b) { return a.depth > b.depth; });
        for (const DepthItem& item : items) {
            if (item.globe) {
                paintGlobeSafely(item.globe->disc);
            } else {
                paintRingPiece(*item.ring);
            }
        }
    }

    void paintGlobeSafely(const GlobeDisc& disc) {
        const double extent = std::max({std::abs(disc.centre.x), std::abs(disc.centre.y), disc.radiusPx});
        if (extent <= kLargestDrawnPx) {
            paintGlobe(cairo_, disc);
        } else if (coversPicture(disc)) {
            setSource(cairo_, disc.colour, 1.0);
            cairo_paint(cairo_);
        }
    }

    void paintRingPiece(const RingPiece& piece) {
        for (const auto& loop : piece.loops) {
            cairo_new_sub_path(cairo_);
            addPolygon(cairo_, loop);
        }
        cairo_set_fill_rule(cairo_, CAIRO_FILL_RULE_EVEN_ODD);
        setSource(cairo_, piece.colour, piece.alpha);
        cairo_fill(cairo_);
        cairo_set_fill_rule(cairo_, CAIRO_FILL_RULE_WINDING);
    }

    // True when a nearer globe covers the centre of this one.
    [[nodiscard]] bool isBehindAnother(const Globe& globe) const {
        return std::any_of(globes_.begin(), globes_.end(), [&](const Globe& other) {
            return other.depth < globe.depth &&
                   std::hypot(other.disc.centre.x - globe.disc.centre.x,
                              other.disc.centre.y - globe.disc.centre.y) < other.disc.radiusPx;
        });
    }

    // Larger discs are labelled first; a label goes right of its disc, or left
    // when the right is taken, or not at all. A globe hidden behind another
    // keeps no label.
    void paintLabels() {
        std::vector<const Globe*> order;
        for (const Globe& globe : globes_) {
            if (!globe.name.empty() && globe.disc.radiusPx <= kLargestDrawnPx && !isBehindAnother(globe)) {
                order.push_back(&globe);
            }
        }
        std::stable_sort(order.begin(), order.end(),
                         [](const Globe* a, const Globe* b) { return a->disc.radiusPx > b->disc.radiusPx; });
        cairo_select_font_face(cairo_, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cairo_, kLabelSize * textUnit_);
        std::vector<LabelBox> taken;
        for (const Globe* globe : order) {
            if (const auto box = freeLabelBox(*globe, taken)) {
                taken.push_back(*box);
                paintLabel(globe->name, box->left, box->bottom - (box->bottom - box->top) * 0.25);
            }
        }
    }

    [[nodiscard]] std::optional<LabelBox> freeLabelBox(const Globe& globe,
                                                       const std::vector<LabelBox>& taken) {
        cairo_text_extents_t text;
        cairo_text_extents(cairo_, globe.name.c_str(), &text);
        const double height = kLabelSize * textUnit_ * 1.25;
        const double gap = kLabelGap * unit_;
        const GlobeDisc& disc = globe.disc;
        const double top = disc.centre.y - height / 2.0;
        for (const double left :
             {disc.centre.x + disc.radiusPx + gap, disc.centre.x - disc.radiusPx - gap - text.x_advance}) {
            const LabelBox box{left, top, left + text.x_advance, top + height};
            const bool inside =
                box.left >= 0.0 && box.right <= width_ && box.top >= 0.0 && box.bottom <= height_;
            if (inside && std::none_of(taken.begin(), taken.end(),
                                       [&](const LabelBox& other) { return box.overlaps(other); })) {
                return box;
            }
        }
        return std::nullopt;
    }

    void paintLabel(const std::string& text, double x, double baseline) {
        cairo_move_to(cairo_, x, baseline);
        cairo_text_path(cairo_, text.c_str());
        cairo_set_source_rgba(cairo_, 0.0, 0.0, 0.0, 0.7);
        cairo_set_line_width(cairo_, kLabelHaloWidth * unit_);
        cairo_set_line_join(cairo_, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke_preserve(cairo_);
        setSource(cairo_, kLabelColour, 1.0);
        cairo_fill(cairo_);
    }

    cairo_t* cairo_;
    const host::Document& document_;
    CameraProjection view_;
    int width_;
    int height_;
    double unit_;     // pixels per pixel of the reference size
    double textUnit_; // the same for labels, which shrink less
    std::vector<Globe> globes_;
    std::vector<RingPiece> rings_;
    std::vector<double> ringDepths_;
};

} // namespace

PictureScale pictureScale(int widthPx, int heightPx) {
    const double lines = std::min(widthPx, heightPx) / kReferenceSidePx;
    return {lines, std::max(lines, kSmallestTextScale)};
}

void drawCameraView(cairo_t* cairo, const host::Document& document, int widthPx, int heightPx) {
    const Node* camera = document.camera();
    if (camera == nullptr) {
        throw host::HostError("the document's view has no camera to look through");
    }
    cairo_save(cairo);
    CameraViewPainter(cairo, document, *camera, widthPx, heightPx).paint();
    cairo_restore(cairo);
}

} // namespace caelo::pictures
