#include "places/elementSpan.h"

#include "host/services/dateService.h"
#include "model/units.h"
#include "places/systemObject.h"

#include <algorithm>
#include <cmath>

namespace caelo::places {
namespace {

// The calendar day of a Julian Date in universal time, "2050-01-01".
std::string dayText(double julianDate) {
    const std::optional<std::string> text = universalText(julianDate);
    return text ? text->substr(0, 10) : std::string(host::kNoDateText);
}

struct Span {
    double fromJd = 0.0;
    double toJd = 0.0;
    friend bool operator==(const Span&, const Span&) = default;
};

} // namespace

std::optional<std::string> elementSpanWarning(const host::Document& document, double firstJulianDate,
                                              double lastJulianDate) {
    std::optional<Span> outside;
    int sharing = 0;
    document.forEachObject([&](host::Node& node) {
        if (node.typeId() != kTypeCaeloOrbitAxis) {
            return;
        }
        const Span span{node.parameters.getFloat(OCAELOORBITAXIS_AUX_DATE1, 0.0),
                        node.parameters.getFloat(OCAELOORBITAXIS_AUX_DATE2, 0.0)};
        if (!(span.toJd > span.fromJd) || !std::isfinite(span.fromJd) || !std::isfinite(span.toJd) ||
            (firstJulianDate >= span.fromJd && lastJulianDate <= span.toJd)) {
            return;
        }
        if (!outside) {
            outside = span;
        }
        sharing += *outside == span;
    });
    if (!outside) {
        return std::nullopt;
    }
    const std::string dates =
        firstJulianDate == lastJulianDate
            ? "the model date " + dayText(firstJulianDate) + " lies"
            : "the model dates " + dayText(firstJulianDate) + " to " + dayText(lastJulianDate) + " reach";
    const std::string axes = sharing == 1 ? "1 orbit axis" : std::to_string(sharing) + " orbit axes";
    return dates + " outside " + dayText(outside->fromJd) + " to " + dayText(outside->toJd) +
           ", the span in which the elements of " + axes +
           " hold; their bodies' places there are extrapolated";
}

void warnOutsideElementSpan(const host::Document& document, double zoneOffsetDays, std::int64_t frames,
                            std::ostream& err) {
    const host::Node* system = firstSystem(document);
    if (system == nullptr) {
        return;
    }
    const auto first = modelJulianDate(document, *system, zoneOffsetDays);
    const auto secondsPerDay = documentSecondsPerModelDay(*system);
    if (!first || !secondsPerDay || document.fps <= 0) {
        return;
    }
    const double spanSeconds = static_cast<double>(std::max<std::int64_t>(frames - 1, 0)) / document.fps;
    if (const auto warning = elementSpanWarning(document, *first, *first + spanSeconds / *secondsPerDay)) {
        err << "caelo: warning: " << *warning << '\n';
    }
}

} // namespace caelo::places
