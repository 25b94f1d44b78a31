#include "places/elementSpan.h"

#include "host/services/dateService.h"
#include "model/theoryPlaces.h"
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
    bool theory = false; // a theory's span (theory mode), else the elements' (the auxiliary dates)
    friend bool operator==(const Span&, const Span&) = default;
};

// The span of an orbit axis: its theory's in theory mode, else its
// auxiliary dates.
Span spanOf(const host::Node& orbit) {
    if (orbit.parameters.getInt32(OCAELOORBITAXIS_MODE, 0) == kModeChoiceBase + kOrbitModeTheory) {
        const TheorySpan span = TheorySpanOf(
            orbit.parameters.getInt32(OCAELOORBITAXIS_THEORY, kTheoryChoiceBase) - kTheoryChoiceBase);
        return {span.firstJd, span.lastJd, true};
    }
    return {orbit.parameters.getFloat(OCAELOORBITAXIS_AUX_DATE1, 0.0),
            orbit.parameters.getFloat(OCAELOORBITAXIS_AUX_DATE2, 0.0), false};
}

} // namespace

std::optional<std::string> elementSpanWarning(const host::Document& document, double firstJulianDate,
                                              double lastJulianDate) {
    std::optional<Span> outside;
    int sharing = 0;
    document.forEachObject([&](host::Node& node) {
        if (node.typeId() != kTypeCaeloOrbitAxis) {
            return;
        }
        const Span span = spanOf(node);
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
           ", the span in which the " + (outside->theory ? "theories" : "elements") + " of " + axes +
           " hold; their bodies' places there are " +
           (outside->theory ? "their elements', extrapolated" : "extrapolated");
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
