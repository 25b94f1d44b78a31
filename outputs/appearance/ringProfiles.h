// How opaque a planet's rings are from their inner to their outer edge, from
// published radii and normal optical depths (data/rings/, built in), for
// every output alike: the glTF export lays a ring object's strip across it
// as a texture, the camera-view picture fills it in steps.
//
// A ring object (a tube or torus carrying a ring tag, or a ring band) covers
// a span of radii in kilometres from its planet's centre; its strip is its
// planet's profile over that span, sampled in equal steps from the inner
// edge (the first pixel) to the outer edge (the last). Seen face on, a
// feature of optical depth τ lets exp(-τ) of the light through, so its
// opacity is 1 - exp(-τ) (the slant path of an oblique view is not counted).
//
// Example: the A ring's tube (122,170 to 136,775 km) shows opacity 0.47 with
// the Encke Gap clear near 133,570 km, about four fifths of the way out.
#ifndef CAELO_OUTPUTS_APPEARANCE_RING_PROFILES_H
#define CAELO_OUTPUTS_APPEARANCE_RING_PROFILES_H

#include "host/scene.h"

#include <optional>
#include <string_view>
#include <vector>

namespace caelo::appearance {

// Radii from a planet's centre, km.
struct RadialSpan {
    double innerKm = 0.0;
    double outerKm = 0.0;
};

// The least opacity of a ring with any material (τ > 0): the optical depth
// alone would leave the dusty rings (Saturn's D, G and E rings, Neptune's)
// invisible.
inline constexpr double kFaintestRingOpacity = 0.08;

// The pixels of a ring's strip from its inner to its outer edge.
inline constexpr int kRingStripPixels = 1024;

// The normal optical depth of the planet's rings at a radius (km): that of
// the last feature of its profile that covers the radius, 0 where none does.
// Nothing when the planet (by its English name) has no profile.
[[nodiscard]] std::optional<double> ringOpticalDepthAt(std::string_view planet, double radiusKm);

// The opacity of a ring of normal optical depth τ seen face on (see above).
[[nodiscard]] double ringOpacityOfDepth(double opticalDepth);

// The opacity of the planet's rings over a span in `pixels` equal steps
// from its inner edge: each pixel that of the profile at its middle, except
// that a feature narrower than a pixel gives the pixel it lies in its own
// opacity, so that narrow rings and gaps show. Empty when no feature of the
// planet's profile reaches into the span (a ring the profile does not know
// keeps its look), the span is not finite and rising, or `pixels` is below 1.
[[nodiscard]] std::vector<double> ringStrip(std::string_view planet, RadialSpan span, int pixels);

// The span a ring object covers: a tube or torus from the inner and outer
// radius of its ring tag; a ring band (a box below an orbit axis in band
// mode) from its orbit's semi-major axis less and plus half its band width,
// in km or in au as the orbit counts. Nothing for other objects and for a
// span that is not finite and rising.
[[nodiscard]] std::optional<RadialSpan> ringSpanOf(const host::Node& object);

// The strip of a ring object (ringStrip over ringSpanOf for the planet whose
// globe it sits below); empty when either is missing.
[[nodiscard]] std::vector<double> ringStripOf(const host::Document& document, const host::Node& object,
                                              int pixels = kRingStripPixels);

} // namespace caelo::appearance

#endif
