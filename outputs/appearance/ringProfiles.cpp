#include "outputs/appearance/ringProfiles.h"

#include "host/services/numberText.h"
#include "model/moduleIds.h"
#include "model/units.h"
#include "outputs/appearance/appearance.h"
#include "outputs/appearance/dataTable.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace caelo::appearance {

namespace {

struct RingFeature {
    std::string planet;
    RadialSpan span;
    double opticalDepth = 0.0;
};

const std::vector<RingFeature>& ringFeatures() {
    static const std::vector<RingFeature> features = [] {
        const DataTable table("ring-profiles.csv");
        std::vector<RingFeature> rows;
        for (std::size_t row = 0; row < table.rowCount(); ++row) {
            rows.push_back({table.field(row, "planet"),
                            {table.number(row, "inner_km"), table.number(row, "outer_km")},
                            table.number(row, "optical_depth")});
        }
        return rows;
    }();
    return features;
}

bool hasProfile(std::string_view planet) {
    for (const RingFeature& feature : ringFeatures()) {
        if (feature.planet == planet) {
            return true;
        }
    }
    return false;
}

bool isRising(RadialSpan span) {
    return std::isfinite(span.innerKm) && std::isfinite(span.outerKm) && span.innerKm < span.outerKm;
}

std::optional<double> numberTextOf(const host::Node& node, std::int32_t id) {
    return host::textToNumber(node.parameters.getString(id));
}

std::optional<RadialSpan> tagSpan(const host::Node& ringTag) {
    const auto inner = numberTextOf(ringTag, TCAELORING_INNER_RADIUS);
    const auto outer = numberTextOf(ringTag, TCAELORING_OUTER_RADIUS);
    return inner && outer ? std::optional(RadialSpan{*inner, *outer}) : std::nullopt;
}

std::optional<RadialSpan> bandSpan(const host::Node& orbit) {
    const auto a = numberTextOf(orbit, OCAELOORBITAXIS_A);
    if (!a) {
        return std::nullopt;
    }
    const double kmPerUnit = orbit.parameters.getBool(OCAELOORBITAXIS_KM, false) ? 1.0 : kKilometresPerAu;
    const double halfWidth = orbit.parameters.getFloat(OCAELOORBITAXIS_BAND_WIDTH, 0.0) / 2.0;
    return RadialSpan{(*a - halfWidth) * kmPerUnit, (*a + halfWidth) * kmPerUnit};
}

} // namespace

std::optional<double> ringOpticalDepthAt(std::string_view planet, double radiusKm) {
    if (!hasProfile(planet)) {
        return std::nullopt;
    }
    double depth = 0.0;
    for (const RingFeature& feature : ringFeatures()) {
        if (feature.planet == planet && feature.span.innerKm <= radiusKm && radiusKm < feature.span.outerKm) {
            depth = feature.opticalDepth;
        }
    }
    return depth;
}

double ringOpacityOfDepth(double opticalDepth) {
    if (!(opticalDepth > 0.0)) {
        return 0.0;
    }
    return std::max(1.0 - std::exp(-opticalDepth), kFaintestRingOpacity);
}

std::vector<double> ringStrip(std::string_view planet, RadialSpan span, int pixels) {
    const auto overlaps = [&](const RingFeature& f) {
        return f.planet == planet && f.span.innerKm < span.outerKm && span.innerKm < f.span.outerKm;
    };
    if (pixels < 1 || !isRising(span) || std::none_of(ringFeatures().begin(), ringFeatures().end(), overlaps)) {
        return {};
    }
    const double step = (span.outerKm - span.innerKm) / pixels;
    std::vector<double> strip(static_cast<std::size_t>(pixels));
    for (int i = 0; i < pixels; ++i) {
        const double middle = span.innerKm + (i + 0.5) * step;
        strip[static_cast<std::size_t>(i)] =
            ringOpacityOfDepth(ringOpticalDepthAt(planet, middle).value_or(0.0));
    }
    for (const RingFeature& feature : ringFeatures()) {
        const double centre = (feature.span.innerKm + feature.span.outerKm) / 2.0;
        if (feature.planet != planet || feature.span.outerKm - feature.span.innerKm >= step ||
            centre < span.innerKm || centre >= span.outerKm) {
            continue;
        }
        const auto pixel =
            std::min(static_cast<std::size_t>((centre - span.innerKm) / step), strip.size() - 1);
        strip[pixel] = ringOpacityOfDepth(feature.opticalDepth);
    }
    return strip;
}

std::optional<RadialSpan> ringSpanOf(const host::Node& object) {
    std::optional<RadialSpan> span;
    if (object.typeId() == host::kTypeTube || object.typeId() == host::kTypeTorus) {
        for (const host::Node* tag : object.tags()) {
            if (tag->typeId() == kTypeCaeloRing) {
                span = tagSpan(*tag);
                break;
            }
        }
    } else if (object.typeId() == host::kTypeBox && object.parent() != nullptr &&
               object.parent()->typeId() == kTypeCaeloOrbitAxis &&
               object.parent()->parameters.getInt32(OCAELOORBITAXIS_MODE, 0) ==
                   kModeChoiceBase + kOrbitModeBand) {
        span = bandSpan(*object.parent());
    }
    return span && isRising(*span) ? span : std::nullopt;
}

std::vector<double> ringStripOf(const host::Document& document, const host::Node& object, int pixels) {
    if (roleOf(document, object) != Role::Ring) {
        return {};
    }
    const host::Node* planet = planetGlobeAbove(document, object);
    const std::optional<RadialSpan> span = ringSpanOf(object);
    return planet != nullptr && span ? ringStrip(planet->name, *span, pixels) : std::vector<double>{};
}

} // namespace caelo::appearance
