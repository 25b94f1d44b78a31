#include "outputs/pictures/sceneRenderGlobe.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <numbers>

namespace caelo::pictures {

using appearance::RgbColour;
using host::Vector;

namespace {

constexpr double kHalfPi = std::numbers::pi / 2.0;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Brightness of a globe's night side against its colour.
constexpr double kNightBrightness = 0.14;
// The halo of a glowing globe reaches this many radii from its centre.
constexpr double kHaloRadii = 2.6;
constexpr double kHaloAlpha = 0.45;
// Points on the terminator's half ellipse.
constexpr int kTerminatorSamples = 48;

RgbColour scaled(RgbColour c, double factor) {
    return {std::min(c.red * factor, 1.0), std::min(c.green * factor, 1.0), std::min(c.blue * factor, 1.0)};
}

// The colour a share of the way towards white.
RgbColour towardsWhite(RgbColour c, double share) {
    return {c.red + (1.0 - c.red) * share, c.green + (1.0 - c.green) * share,
            c.blue + (1.0 - c.blue) * share};
}

void addStop(cairo_pattern_t* pattern, double offset, RgbColour c, double alpha = 1.0) {
    cairo_pattern_add_color_stop_rgba(pattern, offset, c.red, c.green, c.blue, alpha);
}

void fillWith(cairo_t* cairo, cairo_pattern_t* pattern) {
    cairo_set_source(cairo, pattern);
    cairo_fill(cairo);
    cairo_pattern_destroy(pattern);
}

void paintGlowingGlobe(cairo_t* cairo, const GlobeDisc& globe) {
    const double x = globe.centre.x;
    const double y = globe.centre.y;
    const double r = globe.radiusPx;
    cairo_pattern_t* halo = cairo_pattern_create_radial(x, y, r * 0.9, x, y, r * kHaloRadii);
    addStop(halo, 0.0, towardsWhite(globe.colour, 0.3), kHaloAlpha);
    addStop(halo, 1.0, globe.colour, 0.0);
    cairo_arc(cairo, x, y, r * kHaloRadii, 0.0, kTwoPi);
    fillWith(cairo, halo);

    cairo_pattern_t* disc = cairo_pattern_create_radial(x, y, 0.0, x, y, r);
    addStop(disc, 0.0, towardsWhite(globe.colour, 0.9));
    addStop(disc, 0.6, towardsWhite(globe.colour, 0.35));
    addStop(disc, 1.0, scaled(globe.colour, 0.95));
    cairo_arc(cairo, x, y, r, 0.0, kTwoPi);
    fillWith(cairo, disc);
}

// The lit part in a frame turned so that the light comes from +x: the limb's
// right half, then back along the terminator, the half ellipse
// x = -phaseCos r cos t.
void litPartPath(cairo_t* cairo, double r, double phaseCos) {
    cairo_arc(cairo, 0.0, 0.0, r, -kHalfPi, kHalfPi);
    for (int i = 0; i <= kTerminatorSamples; ++i) {
        const double t = kHalfPi - std::numbers::pi * i / kTerminatorSamples;
        cairo_line_to(cairo, -phaseCos * r * std::cos(t), r * std::sin(t));
    }
    cairo_close_path(cairo);
}

void paintLitGlobe(cairo_t* cairo, const GlobeDisc& globe) {
    const double r = globe.radiusPx;
    cairo_save(cairo);
    cairo_translate(cairo, globe.centre.x, globe.centre.y);
    const RgbColour night = scaled(globe.colour, kNightBrightness);
    cairo_set_source_rgb(cairo, night.red, night.green, night.blue);
    cairo_arc(cairo, 0.0, 0.0, r, 0.0, kTwoPi);
    cairo_fill(cairo);

    cairo_rotate(cairo, globe.lightAngleRad);
    litPartPath(cairo, r, globe.phaseCos);
    // The point below the light lies across the disc by the sine of the phase angle.
    const double subLight = r * std::sqrt(std::max(0.0, 1.0 - globe.phaseCos * globe.phaseCos));
    cairo_pattern_t* shade = cairo_pattern_create_radial(subLight, 0.0, 0.0, subLight, 0.0, 2.0 * r);
    addStop(shade, 0.0, scaled(globe.colour, 1.08));
    addStop(shade, 0.5, scaled(globe.colour, 0.8));
    addStop(shade, 1.0, scaled(globe.colour, 0.3));
    fillWith(cairo, shade);
    cairo_restore(cairo);
}

} // namespace

std::optional<GlobeDisc> globeDisc(const CameraProjection& view, Vector centre, double radius, Vector light,
                                   RgbColour colour) {
    if (!(radius > 0.0) || !(centre.z - radius >= CameraProjection::kNearDistance)) {
        return std::nullopt;
    }
    const auto picture = view.project(centre);
    const double distance = host::length(centre);
    const double radiusPx = view.focalLengthPx() * radius / std::sqrt(distance * distance - radius * radius);
    if (!picture || !std::isfinite(radiusPx)) {
        return std::nullopt;
    }
    GlobeDisc disc{*picture, radiusPx, colour};
    const Vector toLight = light - centre;
    const double lightDistance = host::length(toLight);
    disc.glows = lightDistance <= radius;
    if (!disc.glows) {
        const Vector towardsLight = toLight * (1.0 / lightDistance);
        const Vector towardsCamera = centre * (-1.0 / distance);
        disc.phaseCos = std::clamp(host::dot(towardsLight, towardsCamera), -1.0, 1.0);
        const Vector across = towardsLight - towardsCamera * disc.phaseCos;
        // Camera y is up, picture y down.
        disc.lightAngleRad = host::length(across) > 1e-12 ? std::atan2(-across.y, across.x) : 0.0;
    }
    return disc;
}

void paintGlobe(cairo_t* cairo, const GlobeDisc& globe) {
    if (globe.glows) {
        paintGlowingGlobe(cairo, globe);
    } else {
        paintLitGlobe(cairo, globe);
    }
}

} // namespace caelo::pictures
