// The output of `caelo positions`: every body axis with its name, path and
// world position, and the heliocentric places of the bodies that orbit the
// Sun, as a table for people, as CSV or as JSON (columns and fields in
// docs/caelo.md).
//
// Example:
//   writePositions(document, currentZoneOffsetDays(), PositionsFormat::Csv, std::cout);
#ifndef CAELO_APP_POSITIONS_H
#define CAELO_APP_POSITIONS_H

#include "host/scene.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string_view>

namespace caelo::app {

enum class PositionsFormat { Table, Csv, Json };

// "table", "csv" or "json"; nothing for other text.
[[nodiscard]] std::optional<PositionsFormat> positionsFormatNamed(std::string_view name);

// The JSON form: the first system object's path, name, epoch and model date
// (universal time), model Julian Date, time scale, distance scale and body
// scale (null when the document holds no system), then every body axis in tree
// order. Non-finite numbers are null. `zoneOffsetDays` is the one its systems
// read their dates with (systemObject.h).
[[nodiscard]] nlohmann::ordered_json positionsToJson(const host::Document& document, double zoneOffsetDays);

// Writes the positions of the document as last evaluated in a format.
void writePositions(const host::Document& document, double zoneOffsetDays, PositionsFormat format,
                    std::ostream& out);

// One CSV field as RFC 4180 writes it: quoted, with its quotes doubled, when
// it holds a comma, a quote or a line break.
// Example: csvField("Io, Europa") == "\"Io, Europa\"".
[[nodiscard]] std::string csvField(std::string_view text);

} // namespace caelo::app

#endif
