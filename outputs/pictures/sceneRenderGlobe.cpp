#include "outputs/pictures/sceneRenderGlobe.h"

#include "places/eclipses.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <cstdint>
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

// The share of the Sun seen from the point of the globe with this normal
// (camera space), through an eclipse's shadow; 1 without one.
double sunlightThrough(const std::optional<TrueShadow>& shadow, const Vector& normal) {
    if (!shadow) {
        return 1.0;
    }
    const auto array = [](const Vector& v) { return std::array{v.x, v.y, v.z}; };
    return places::sunlightSeenFrom(array(normal * shadow->globeRadiusKm), array(shadow->sun),
                                    array(shadow->occulter), shadow->occulterRadiusKm);
}

// The disc drawn into an image of its own, pixel by pixel, then painted
// through a circle. Each pixel's point on the globe faces the camera along
// -Z in camera space; its direction in the globe's frame picks the map's
// colour, and the light falling on it there its brightness.
void paintMappedGlobe(cairo_t* cairo, const GlobeDisc& globe) {
    const double r = globe.radiusPx;
    // Only the part of the disc within the picture (its clip) is drawn.
    double clipLeft = 0.0, clipTop = 0.0, clipRight = 0.0, clipBottom = 0.0;
    cairo_clip_extents(cairo, &clipLeft, &clipTop, &clipRight, &clipBottom);
    const double left = std::max(std::floor(globe.centre.x - r) - 1.0, std::floor(clipLeft));
    const double top = std::max(std::floor(globe.centre.y - r) - 1.0, std::floor(clipTop));
    const int columns =
        static_cast<int>(std::min(std::ceil(globe.centre.x + r) + 1.0, std::ceil(clipRight)) - left);
    const int rows =
        static_cast<int>(std::min(std::ceil(globe.centre.y + r) + 1.0, std::ceil(clipBottom)) - top);
    if (columns <= 0 || rows <= 0) {
        return;
    }
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, columns, rows);
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(image);
        paintLitGlobe(cairo, globe);
        return;
    }
    cairo_surface_flush(image);
    unsigned char* data = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    for (int row = 0; row < rows; ++row) {
        auto* pixels = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(row) * stride);
        for (int column = 0; column < columns; ++column) {
            const double x = (left + column + 0.5 - globe.centre.x) / r;
            const double y = (globe.centre.y - (top + row + 0.5)) / r; // camera y is up
            const double z2 = 1.0 - x * x - y * y;
            if (z2 < 0.0) {
                pixels[column] = 0;
                continue;
            }
            const Vector normal{x, y, -std::sqrt(z2)};
            const appearance::MapPoint point =
                appearance::mapPointOf({host::dot(normal, globe.axisX), host::dot(normal, globe.axisY),
                                        host::dot(normal, globe.axisZ)});
            const double light =
                std::max(0.0, host::dot(normal, globe.towardsLight)) * sunlightThrough(globe.shadow, normal);
            const RgbColour c =
                scaled(globe.map->at(point), kNightBrightness + (1.0 - kNightBrightness) * light);
            pixels[column] = (static_cast<std::uint32_t>(std::lround(c.red * 255.0)) << 16) |
                             (static_cast<std::uint32_t>(std::lround(c.green * 255.0)) << 8) |
                             static_cast<std::uint32_t>(std::lround(c.blue * 255.0));
        }
    }
    cairo_surface_mark_dirty(image);
    cairo_save(cairo);
    cairo_arc(cairo, globe.centre.x, globe.centre.y, r, 0.0, kTwoPi);
    cairo_clip(cairo);
    cairo_set_source_surface(cairo, image, left, top);
    cairo_paint(cairo);
    cairo_restore(cairo);
    cairo_surface_destroy(image);
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
        disc.towardsLight = towardsLight;
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
    } else if (globe.map != nullptr) {
        paintMappedGlobe(cairo, globe);
    } else {
        paintLitGlobe(cairo, globe);
    }
}

} // namespace caelo::pictures
