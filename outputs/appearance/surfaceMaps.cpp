#include "outputs/appearance/surfaceMaps.h"

#include "model/units.h"
#include "outputs/appearance/embeddedDataFiles.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

namespace caelo::appearance {

namespace {

constexpr std::string_view kTableName = "maps.csv";

// The fields of one line of a CSV file: separated by commas, a field in
// double quotes may hold commas, and "" in it stands for one quote.
std::vector<std::string> csvFields(std::string_view line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

int whole(const std::string& text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) {
        throw std::logic_error("maps.csv holds \"" + text + "\" where a whole number belongs");
    }
    return value;
}

MapLayer layerNamed(const std::string& name) {
    if (name == "surface") {
        return MapLayer::Surface;
    }
    if (name == "night") {
        return MapLayer::Night;
    }
    if (name == "clouds") {
        return MapLayer::Clouds;
    }
    throw std::logic_error("maps.csv names an unknown layer \"" + name + "\"");
}

// The table built into the program, read once. Its columns are found by
// their names in the header line; comment lines start with #.
std::vector<SurfaceMap> readMapTable() {
    std::string_view table = embeddedDataFile(kTableName);
    std::vector<SurfaceMap> maps;
    std::vector<std::string> header;
    const auto column = [&](const std::vector<std::string>& fields,
                            std::string_view name) -> const std::string& {
        const auto found = std::find(header.begin(), header.end(), name);
        const auto index = static_cast<std::size_t>(found - header.begin());
        if (found == header.end() || index >= fields.size()) {
            throw std::logic_error("maps.csv has no column " + std::string(name));
        }
        return fields[index];
    };
    while (!table.empty()) {
        const std::size_t end = std::min(table.find('\n'), table.size());
        const std::string_view line = table.substr(0, end);
        table.remove_prefix(std::min(end + 1, table.size()));
        if (line.empty() || line.front() == '#') {
            continue;
        }
        std::vector<std::string> fields = csvFields(line);
        if (header.empty()) {
            header = std::move(fields);
            continue;
        }
        SurfaceMap map;
        map.body = column(fields, "body");
        map.layer = layerNamed(column(fields, "role"));
        map.fileName = column(fields, "file");
        map.width = whole(column(fields, "width"));
        map.height = whole(column(fields, "height"));
        map.licence = column(fields, "licence");
        map.credit = column(fields, "credit");
        map.jpeg = embeddedDataFile(map.fileName);
        maps.push_back(std::move(map));
    }
    return maps;
}

} // namespace

const std::vector<SurfaceMap>& surfaceMaps() {
    static const std::vector<SurfaceMap> maps = readMapTable();
    return maps;
}

const SurfaceMap* surfaceMapOf(std::string_view body, MapLayer layer) {
    const std::vector<SurfaceMap>& maps = surfaceMaps();
    const auto found = std::find_if(maps.begin(), maps.end(), [&](const SurfaceMap& map) {
        return map.body == body && map.layer == layer;
    });
    return found != maps.end() ? &*found : nullptr;
}

MapPoint mapPointOf(const host::Vector& localDirection) {
    const double east = std::atan2(localDirection.z, localDirection.x);
    const double latitude = std::atan2(localDirection.y, std::hypot(localDirection.x, localDirection.z));
    const double u = 0.5 + east / kTwoPi;
    return {u >= 1.0 ? 0.0 : u, 0.5 - latitude / kPi};
}

host::Vector directionAt(double latitudeDeg, double eastLongitudeDeg) {
    const double latitude = latitudeDeg / kDegreesPerRadian;
    const double east = eastLongitudeDeg / kDegreesPerRadian;
    return {std::cos(latitude) * std::cos(east), std::sin(latitude), std::cos(latitude) * std::sin(east)};
}

} // namespace caelo::appearance
