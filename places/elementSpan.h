// The span of dates in which the elements of a scene's orbit axes hold, and
// the warning for model dates outside it.
//
// An orbit axis states the span its elements were fitted for in its auxiliary
// dates (the preset's: 1800-01-01 to 2050-01-01); one whose end does not lie
// after its start states none. Outside the span the orbit axis extrapolates its
// elements' rates, and its body drifts from where it really is. An orbit axis
// in theory mode holds for its theory's span (theoryPlaces.h), outside which
// its elements place the body.
//
// Example:
//   warnOutsideElementSpan(scene.document, scene.zoneOffsetDays, 1, std::cerr);
#ifndef CAELO_PLACES_ELEMENT_SPAN_H
#define CAELO_PLACES_ELEMENT_SPAN_H

#include "host/scene.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

namespace caelo::places {

// One line saying that the model dates from `firstJulianDate` to
// `lastJulianDate` (universal time, days; equal for one date) reach outside
// the span of one or more orbit axes of the document, naming the first such
// span and how many orbit axes share it; nothing when every orbit axis's span
// holds them.
[[nodiscard]] std::optional<std::string> elementSpanWarning(const host::Document& document,
                                                            double firstJulianDate, double lastJulianDate);

// Writes the warning, "caelo: warning: ...", on `err` when the model dates of
// the document's first system from the document's time on, over `frames`
// frames at the document's frame rate, reach outside an orbit axis's span.
// `zoneOffsetDays` is the one the system reads its dates with
// (systemObject.h).
void warnOutsideElementSpan(const host::Document& document, double zoneOffsetDays, std::int64_t frames,
                            std::ostream& err);

} // namespace caelo::places

#endif
