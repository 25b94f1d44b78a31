#include "outputs/pictures/orreryChart.h"

#include "outputs/pictures/cairoColour.h"
#include "outputs/pictures/pictureScene.h"

#include <algorithm>
#include <array>
#include <cairo.h>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

namespace caelo::pictures {

using appearance::RgbColour;

namespace {

using host::Vector;

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kRadiansPerDegree = kPi / 180.0;

// Layout at the reference size (pixels).
constexpr double kMargin = 36.0;
constexpr double kLongitudeRingGap = 8.0;     // chart edge to the longitude ring
constexpr double kLongitudeLabelSpace = 36.0; // ring to the picture's edge, for its labels
constexpr double kTitleSize = 30.0;
constexpr double kDateSize = 19.0;
constexpr double kNameSize = 16.0;
constexpr double kDistanceSize = 12.5;
constexpr double kNoteSize = 13.5;
constexpr double kTickLabelSize = 12.0;
constexpr double kOrbitWidth = 1.6;
constexpr double kCentralRadius = 10.0;
constexpr double kLabelGap = 5.0;

constexpr RgbColour kBackgroundInner{0.045, 0.055, 0.1};
constexpr RgbColour kBackgroundOuter{0.012, 0.014, 0.035};
constexpr RgbColour kTextColour{0.9, 0.92, 0.96};
constexpr RgbColour kDimTextColour{0.62, 0.66, 0.74};
constexpr RgbColour kGuideColour{0.5, 0.56, 0.7};

constexpr double kNorthOrbitAlpha = 0.8;
constexpr double kSouthOrbitAlpha = 0.3;

// Samples of each orbit's ellipse.
constexpr int kOrbitSamples = 720;

// Distances the scale marks may take (au), and the share of the chart's
// radius within which marks are left out as too crowded.
constexpr std::array<double, 13> kScaleMarksAu{0.1,  0.2,  0.5,   1.0,   2.0,   5.0,   10.0,
                                               20.0, 50.0, 100.0, 200.0, 500.0, 1000.0};
constexpr double kInnermostMarkShare = 0.18;

// Directions the ruler may take (degrees of longitude apart).
constexpr int kRulerDirections = 24;

struct Box {
    double left, top, right, bottom;

    [[nodiscard]] bool overlaps(const Box& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
};

std::string distanceText(double au) {
    char text[32];
    std::snprintf(text, sizeof text, au < 10.0 ? "%.2f au" : "%.1f au", au);
    return text;
}

std::string markText(double au) {
    char text[32];
    std::snprintf(text, sizeof text, "%g au", au);
    return text;
}

// The smallest angle between two directions (radians).
double angleBetween(double a, double b) {
    const double d = std::fmod(std::abs(a - b), kTwoPi);
    return std::min(d, kTwoPi - d);
}

class OrreryChartPainter {
public:
    OrreryChartPainter(cairo_t* cairo, const OrbitingBodies& system, int widthPx, int heightPx)
        : cairo_(cairo), system_(system), width_(widthPx), height_(heightPx),
          layout_(system, widthPx, heightPx), unit_(layout_.unit()),
          textUnit_(pictureScale(widthPx, heightPx).text), centreX_(layout_.centre().x),
          centreY_(layout_.centre().y), chartRadius_(layout_.radiusPx()) {}

    void paint() {
        cairo_select_font_face(cairo_, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        paintBackground();
        paintLongitudeRing();
        const std::vector<double> marks = scaleMarks();
        paintScaleCircles(marks);
        for (const OrbitingBody& body : system_.bodies) {
            paintOrbit(body);
        }
        paintCentralBody();
        for (const OrbitingBody& body : system_.bodies) {
            paintBodyDot(body);
        }
        paintRuler(marks);
        for (const OrbitingBody& body : system_.bodies) {
            paintBodyLabel(body);
        }
        paintTitle();
        paintNotes();
    }

private:
    void setFont(double size, bool bold = false) {
        cairo_select_font_face(cairo_, "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                               bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cairo_, size * textUnit_);
    }

    [[nodiscard]] double textWidth(const std::string& text) {
        cairo_text_extents_t extents;
        cairo_text_extents(cairo_, text.c_str(), &extents);
        return extents.x_advance;
    }

    // Text with a dark outline, so that it reads over lines.
    void paintText(const std::string& text, double x, double baseline, RgbColour colour) {
        cairo_move_to(cairo_, x, baseline);
        cairo_text_path(cairo_, text.c_str());
        cairo_set_source_rgba(cairo_, 0.0, 0.0, 0.0, 0.75);
        cairo_set_line_width(cairo_, 3.0 * unit_);
        cairo_set_line_join(cairo_, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke_preserve(cairo_);
        setSource(cairo_, colour);
        cairo_fill(cairo_);
    }

    void paintBackground() {
        cairo_pattern_t* sky = cairo_pattern_create_radial(centreX_, centreY_, 0.0, centreX_, centreY_,
                                                           std::hypot(centreX_, centreY_));
        cairo_pattern_add_color_stop_rgb(sky, 0.0, kBackgroundInner.red, kBackgroundInner.green,
                                         kBackgroundInner.blue);
        cairo_pattern_add_color_stop_rgb(sky, 1.0, kBackgroundOuter.red, kBackgroundOuter.green,
                                         kBackgroundOuter.blue);
        cairo_set_source(cairo_, sky);
        cairo_paint(cairo_);
        cairo_pattern_destroy(sky);
    }

    // Ticks every 10 degrees of longitude, labels every 30.
    void paintLongitudeRing() {
        const double ring = chartRadius_ + kLongitudeRingGap * unit_;
        setSource(cairo_, kGuideColour, 0.5);
        cairo_set_line_width(cairo_, 1.0 * unit_);
        cairo_arc(cairo_, centreX_, centreY_, ring, 0.0, kTwoPi);
        cairo_stroke(cairo_);
        setFont(kTickLabelSize);
        for (int degrees = 0; degrees < 360; degrees += 10) {
            const double a = degrees * kRadiansPerDegree;
            const double c = std::cos(a);
            const double s = -std::sin(a);
            const double tick = (degrees % 30 == 0 ? 9.0 : 4.5) * unit_;
            cairo_move_to(cairo_, centreX_ + ring * c, centreY_ + ring * s);
            cairo_line_to(cairo_, centreX_ + (ring + tick) * c, centreY_ + (ring + tick) * s);
            setSource(cairo_, kGuideColour, 0.7);
            cairo_stroke(cairo_);
            if (degrees % 30 == 0) {
                const std::string text = std::to_string(degrees) + "\xC2\xB0";
                const double w = textWidth(text);
                const double h = kTickLabelSize * textUnit_;
                const double at = ring + tick + 5.0 * unit_ + 0.5 * std::hypot(w * c, h * s);
                paintText(text, centreX_ + at * c - w / 2.0, centreY_ + at * s + h * 0.35, kDimTextColour);
            }
        }
    }

    [[nodiscard]] std::vector<double> scaleMarks() const {
        std::vector<double> marks;
        for (const double au : kScaleMarksAu) {
            const double r = layout_.scale().radiusPx(au);
            if (r <= chartRadius_ * 1.0001 && r >= kInnermostMarkShare * chartRadius_) {
                marks.push_back(au);
            }
        }
        return marks;
    }

    void paintScaleCircles(const std::vector<double>& marks) {
        const std::array<double, 2> dash{4.0 * unit_, 5.0 * unit_};
        cairo_set_dash(cairo_, dash.data(), 2, 0.0);
        cairo_set_line_width(cairo_, 1.0 * unit_);
        setSource(cairo_, kGuideColour, 0.35);
        for (const double au : marks) {
            cairo_new_sub_path(cairo_);
            cairo_arc(cairo_, centreX_, centreY_, layout_.scale().radiusPx(au), 0.0, kTwoPi);
        }
        cairo_stroke(cairo_);
        cairo_set_dash(cairo_, nullptr, 0, 0.0);
    }

    // The orbit, stroked in runs that lie north or south of the ecliptic.
    void paintOrbit(const OrbitingBody& body) {
        const std::vector<Vector>& orbit = body.orbitAu;
        cairo_set_line_width(cairo_, kOrbitWidth * unit_);
        cairo_set_line_join(cairo_, CAIRO_LINE_JOIN_ROUND);
        const std::size_t n = orbit.size();
        for (const bool north : {true, false}) {
            bool joined = false; // the path ends where this segment starts
            for (std::size_t i = 0; i < n; ++i) {
                const Vector& a = orbit[i];
                const Vector& b = orbit[(i + 1) % n];
                const auto pa = layout_.pointOf(a);
                const auto pb = layout_.pointOf(b);
                const bool drawn = pa && pb && ((a.z + b.z >= 0.0) == north);
                if (drawn && !joined) {
                    cairo_move_to(cairo_, pa->x, pa->y);
                }
                if (drawn) {
                    cairo_line_to(cairo_, pb->x, pb->y);
                }
                joined = drawn;
            }
            setSource(cairo_, body.colour, north ? kNorthOrbitAlpha : kSouthOrbitAlpha);
            cairo_stroke(cairo_);
        }
    }

    void paintCentralBody() {
        const double r = kCentralRadius * unit_;
        const RgbColour c = system_.centralColour;
        cairo_pattern_t* glow =
            cairo_pattern_create_radial(centreX_, centreY_, 0.0, centreX_, centreY_, 3.0 * r);
        cairo_pattern_add_color_stop_rgba(glow, 0.0, 1.0, 0.97, 0.85, 1.0);
        cairo_pattern_add_color_stop_rgba(glow, 0.3, c.red, c.green, c.blue, 1.0);
        cairo_pattern_add_color_stop_rgba(glow, 0.36, c.red, c.green, c.blue, 0.45);
        cairo_pattern_add_color_stop_rgba(glow, 1.0, c.red, c.green, c.blue, 0.0);
        cairo_set_source(cairo_, glow);
        cairo_arc(cairo_, centreX_, centreY_, 3.0 * r, 0.0, kTwoPi);
        cairo_fill(cairo_);
        cairo_pattern_destroy(glow);
        taken_.push_back({centreX_ - r, centreY_ - r, centreX_ + r, centreY_ + r});
        setFont(kNameSize, true);
        const double w = textWidth(system_.centralLabel);
        const double h = kNameSize * textUnit_;
        const double top = centreY_ + r + kLabelGap * unit_;
        paintText(system_.centralLabel, centreX_ - w / 2.0, top + h * 0.8, kTextColour);
        taken_.push_back({centreX_ - w / 2.0, top, centreX_ + w / 2.0, top + h});
    }

    // Dot radius from the body's size: 3 px for 1000 km, growing with the
    // logarithm of the radius, within 3 and 9 px at the reference size.
    [[nodiscard]] double dotRadius(const OrbitingBody& body) const {
        const double size = body.radiusKm > 0.0 ? 3.0 + 2.2 * std::log10(body.radiusKm / 1000.0) : 3.5;
        return std::clamp(size, 3.0, 9.0) * unit_;
    }

    void paintBodyDot(const OrbitingBody& body) {
        const auto p = layout_.pointOf(body.placeAu);
        if (!p) {
            return;
        }
        const double r = dotRadius(body);
        cairo_arc(cairo_, p->x, p->y, r, 0.0, kTwoPi);
        setSource(cairo_, body.colour);
        cairo_fill_preserve(cairo_);
        cairo_set_source_rgba(cairo_, 0.0, 0.0, 0.0, 0.8);
        cairo_set_line_width(cairo_, 1.2 * unit_);
        cairo_stroke(cairo_);
        taken_.push_back({p->x - r, p->y - r, p->x + r, p->y + r});
    }

    // The name and, below it, the distance, placed outward from the central
    // body when that space is free, else in the first free direction turned
    // further round.
    void paintBodyLabel(const OrbitingBody& body) {
        const auto p = layout_.pointOf(body.placeAu);
        if (!p) {
            return;
        }
        const double distanceAu = std::sqrt(dot(body.placeAu, body.placeAu));
        const std::string distance = distanceText(distanceAu);
        setFont(kDistanceSize);
        const double distanceWidth = textWidth(distance);
        setFont(kNameSize, true);
        const double nameWidth = textWidth(body.label);
        const double w = std::max(nameWidth, distanceWidth);
        const double h = (kNameSize + kDistanceSize) * textUnit_ + 2.0 * unit_;
        const double outward = std::atan2(-(p->y - centreY_), p->x - centreX_);
        const double gap = dotRadius(body) + kLabelGap * unit_;
        std::optional<Box> chosen;
        for (const double turn : {0.0, 0.8, -0.8, 1.6, -1.6, kPi}) {
            const Box box = labelBox(*p, outward + turn, gap, w, h);
            if (fitsFree(box)) {
                chosen = box;
                break;
            }
        }
        const Box box = chosen.value_or(labelBox(*p, outward, gap, w, h));
        taken_.push_back(box);
        paintText(body.label, box.left + (w - nameWidth) / 2.0, box.top + kNameSize * textUnit_ * 0.85,
                  kTextColour);
        setFont(kDistanceSize);
        paintText(distance, box.left + (w - distanceWidth) / 2.0, box.bottom - 2.0 * unit_, kDimTextColour);
    }

    // A label box of w x h beside a point, on the side that `direction`
    // (radians, chart up positive) points to.
    [[nodiscard]] static Box labelBox(const PicturePoint& p, double direction, double gap, double w,
                                      double h) {
        const double dx = std::cos(direction);
        const double dy = -std::sin(direction);
        const double x = p.x + dx * gap;
        const double y = p.y + dy * gap;
        const double left = x - w * (1.0 - dx) / 2.0;
        const double top = y - h * (1.0 - dy) / 2.0;
        return {left, top, left + w, top + h};
    }

    [[nodiscard]] bool fitsFree(const Box& box) const {
        const bool inside = box.left >= 0.0 && box.top >= 0.0 && box.right <= width_ && box.bottom <= height_;
        return inside &&
               std::none_of(taken_.begin(), taken_.end(), [&](const Box& o) { return box.overlaps(o); });
    }

    // The ruler runs from the central body along the direction farthest from
    // every body, with a tick and a label at each scale mark.
    void paintRuler(const std::vector<double>& marks) {
        if (marks.empty()) {
            return;
        }
        double best = kPi / 2.0 * 3.0;
        double bestClearance = -1.0;
        for (int i = 0; i < kRulerDirections; ++i) {
            const double direction = kTwoPi * i / kRulerDirections;
            double clearance = kPi;
            for (const OrbitingBody& body : system_.bodies) {
                clearance =
                    std::min(clearance, angleBetween(direction, std::atan2(body.placeAu.y, body.placeAu.x)));
            }
            if (clearance > bestClearance + 1e-9) {
                best = direction;
                bestClearance = clearance;
            }
        }
        const double c = std::cos(best);
        const double s = -std::sin(best);
        const double end = layout_.scale().radiusPx(marks.back());
        cairo_move_to(cairo_, centreX_ + kCentralRadius * unit_ * c, centreY_ + kCentralRadius * unit_ * s);
        cairo_line_to(cairo_, centreX_ + end * c, centreY_ + end * s);
        setSource(cairo_, kGuideColour, 0.8);
        cairo_set_line_width(cairo_, 1.2 * unit_);
        cairo_stroke(cairo_);
        setFont(kTickLabelSize);
        const double tick = 5.0 * unit_;
        for (const double au : marks) {
            const double r = layout_.scale().radiusPx(au);
            const double x = centreX_ + r * c;
            const double y = centreY_ + r * s;
            cairo_move_to(cairo_, x - tick * s, y + tick * c);
            cairo_line_to(cairo_, x + tick * s, y - tick * c);
            setSource(cairo_, kGuideColour, 0.9);
            cairo_stroke(cairo_);
            const std::string text = markText(au);
            const double w = textWidth(text);
            const double h = kTickLabelSize * textUnit_;
            // Beside the tick, on the ruler's clockwise side.
            const double side = 2.0 * tick + 0.5 * std::hypot(w * s, h * c);
            paintText(text, x - side * s - w / 2.0, y + side * c + h * 0.35, kDimTextColour);
        }
    }

    void paintTitle() {
        const double x = kMargin * unit_;
        double y = kMargin * unit_ + kTitleSize * textUnit_;
        setFont(kTitleSize, true);
        paintText(system_.systemName.empty() ? std::string("Planetary system") : system_.systemName, x, y,
                  kTextColour);
        y += kDateSize * textUnit_ * 1.6;
        setFont(kDateSize);
        const std::string date = system_.modelDate ? pictureDateText(*system_.modelDate) : "date not set";
        paintText(date, x, y, kTextColour);
        y += kNoteSize * textUnit_ * 1.7;
        setFont(kNoteSize);
        paintText("seen from ecliptic north", x, y, kDimTextColour);
    }

    void paintNotes() {
        const std::array<std::string, 3> notes{
            "Longitudes are ecliptic, counted counter-clockwise from the vernal equinox (0\xC2\xB0).",
            "Distances from the " + system_.centralLabel +
                " are true to scale within 1 au and logarithmic beyond (dashed circles).",
            "Orbits are fainter where they run south of the ecliptic."};
        setFont(kNoteSize);
        double y = height_ - kMargin * unit_ - (notes.size() - 1) * kNoteSize * textUnit_ * 1.5;
        for (const std::string& note : notes) {
            paintText(note, kMargin * unit_, y, kDimTextColour);
            y += kNoteSize * textUnit_ * 1.5;
        }
    }

    cairo_t* cairo_;
    const OrbitingBodies& system_;
    int width_;
    int height_;
    ChartLayout layout_;
    double unit_;     // pixels per pixel of the reference size
    double textUnit_; // the same for text, which shrinks less
    double centreX_;
    double centreY_;
    double chartRadius_;
    std::vector<Box> taken_; // dots and labels already placed
};

double outermostAu(const OrbitingBodies& system) {
    double outermost = 0.0;
    for (const OrbitingBody& body : system.bodies) {
        outermost = std::max(outermost, std::hypot(body.placeAu.x, body.placeAu.y));
        for (const Vector& p : body.orbitAu) {
            outermost = std::max(outermost, std::hypot(p.x, p.y));
        }
    }
    return std::isfinite(outermost) && outermost > 0.0 ? outermost : ChartRadialScale::kLinearWithinAu;
}

} // namespace

ChartLayout::ChartLayout(const OrbitingBodies& system, int widthPx, int heightPx)
    : unit_(pictureScale(widthPx, heightPx).lines), centre_{widthPx / 2.0, heightPx / 2.0},
      radiusPx_(std::max(1.0, std::min(widthPx, heightPx) / 2.0 -
                                  (kMargin + kLongitudeRingGap + kLongitudeLabelSpace) * unit_)),
      scale_(outermostAu(system), radiusPx_) {}

std::optional<PicturePoint> ChartLayout::pointOf(Vector au) const {
    const double r = scale_.radiusPx(std::hypot(au.x, au.y));
    const double longitude = std::atan2(au.y, au.x);
    const PicturePoint p{centre_.x + r * std::cos(longitude), centre_.y - r * std::sin(longitude)};
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
        return std::nullopt;
    }
    return p;
}

ChartRadialScale::ChartRadialScale(double outermostAu, double outermostPx)
    : pixelsPerAu_(outermostPx / shape(outermostAu)) {}

double ChartRadialScale::shape(double distanceAu) {
    const double d = std::max(distanceAu, 0.0);
    return d <= kLinearWithinAu ? d : kLinearWithinAu * (1.0 + std::log(d / kLinearWithinAu));
}

double ChartRadialScale::radiusPx(double distanceAu) const {
    return pixelsPerAu_ * shape(distanceAu);
}

void drawOrreryChart(cairo_t* cairo, const host::Document& document, int widthPx, int heightPx) {
    const OrbitingBodies system = readOrbitingBodies(document, kOrbitSamples);
    cairo_save(cairo);
    OrreryChartPainter(cairo, system, widthPx, heightPx).paint();
    cairo_restore(cairo);
}

} // namespace caelo::pictures
