// The output of `caelo eclipses`: the eclipses of a span (places/eclipses.h)
// as a table for people, as CSV or as JSON, in the formats `caelo positions`
// offers, with each greatest eclipse in universal time (places/deltaT.h).
// Columns and fields in docs/caelo.md.
//
// Example:
//   writeEclipses(places::findEclipses(first, last), PositionsFormat::Json, std::cout);
#ifndef CAELO_APP_ECLIPSE_LIST_H
#define CAELO_APP_ECLIPSE_LIST_H

#include "app/positions.h"
#include "places/eclipses.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace caelo::app {

// {"eclipses": [{"kind", "type", "greatest" (UT, ISO 8601 to the second),
// "magnitude", "gamma" (solar), "penumbralMagnitude" (lunar), "deltaT"
// (seconds)}]}.
[[nodiscard]] nlohmann::ordered_json eclipsesToJson(const std::vector<places::Eclipse>& eclipses);

void writeEclipses(const std::vector<places::Eclipse>& eclipses, PositionsFormat format, std::ostream& out);

// The eclipse under way at a universal Julian Date, and the next one whose
// greatest instant follows it (within a year); nothing outside the theories'
// span (1800 to 2200).
[[nodiscard]] std::optional<places::Eclipse> eclipseUnderWay(double universalJulianDate);
[[nodiscard]] std::optional<places::Eclipse> nextEclipse(double universalJulianDate);

// "total solar eclipse, greatest at 2027-08-02T10:06:34Z".
[[nodiscard]] std::string eclipseSentence(const places::Eclipse& eclipse);

// {"kind", "type", "greatest"} of an eclipse, or null.
[[nodiscard]] nlohmann::ordered_json eclipseSummaryJson(const std::optional<places::Eclipse>& eclipse);

} // namespace caelo::app

#endif
