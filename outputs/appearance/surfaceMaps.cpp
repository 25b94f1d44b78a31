#include "outputs/appearance/surfaceMaps.h"

#include "model/units.h"
#include "outputs/appearance/dataTable.h"
#include "outputs/appearance/embeddedDataFiles.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace caelo::appearance {

namespace {

constexpr std::string_view kTableName = "maps.csv";

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

// The table built into the program, read once.
std::vector<SurfaceMap> readMapTable() {
    const DataTable table(kTableName);
    std::vector<SurfaceMap> maps;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        SurfaceMap map;
        map.body = table.field(row, "body");
        map.layer = layerNamed(table.field(row, "role"));
        map.fileName = table.field(row, "file");
        map.width = table.whole(row, "width");
        map.height = table.whole(row, "height");
        map.licence = table.field(row, "licence");
        map.credit = table.field(row, "credit");
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
