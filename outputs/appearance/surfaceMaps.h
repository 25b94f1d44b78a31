// The surface maps that dress the globes (data/maps/, built into the
// program), and where a point of a globe lies on its map.
//
// Every map has one layout: equirectangular, north at the top, longitude 0
// in the middle column and east longitude growing to the right. A point at
// planetocentric latitude φ and east longitude λ lies at u = 0.5 + λ/360°,
// v = 0.5 - φ/180° (u and v in [0, 1] from the top left corner, as glTF and
// three.js count texture coordinates), and in its globe's own frame at
// (cos φ cos λ, sin φ, cos φ sin λ) (docs/sky.md). A globe wears the maps of
// the body whose English name it carries ("Earth").
//
// Example:
//   const SurfaceMap* night = surfaceMapOf("Earth", MapLayer::Night);
//   const MapPoint greenwich = mapPointOf(directionAt(51.48, 0.0)); // {0.5, 0.214}
#ifndef CAELO_OUTPUTS_APPEARANCE_SURFACE_MAPS_H
#define CAELO_OUTPUTS_APPEARANCE_SURFACE_MAPS_H

#include "host/scene.h"

#include <string>
#include <string_view>
#include <vector>

namespace caelo::appearance {

// What a map shows: the surface as lit by day, the lights of the night side
// (on black), or the clouds (grey, white where there is cloud).
enum class MapLayer { Surface, Night, Clouds };

struct SurfaceMap {
    std::string body; // English name: "Earth"
    MapLayer layer = MapLayer::Surface;
    std::string fileName; // in data/maps/: "earth-night.jpg"
    int width = 0;        // pixels
    int height = 0;
    std::string licence;
    std::string credit;    // the line its licence asks for
    std::string_view jpeg; // the file's bytes
};

// Every map, in the order of data/maps/maps.csv.
[[nodiscard]] const std::vector<SurfaceMap>& surfaceMaps();

// The map of one layer of the body of that English name, or nullptr.
[[nodiscard]] const SurfaceMap* surfaceMapOf(std::string_view body, MapLayer layer);

// Where a map holds a point of its globe.
struct MapPoint {
    double u = 0.0; // [0, 1): east longitude 180° W at 0, 0 at 0.5
    double v = 0.0; // [0, 1]: the north pole at 0
};

// The map point of a direction in a globe's own frame (any length but 0).
[[nodiscard]] MapPoint mapPointOf(const host::Vector& localDirection);

// The unit direction in a globe's own frame of a point at planetocentric
// latitude and east longitude (degrees).
[[nodiscard]] host::Vector directionAt(double latitudeDeg, double eastLongitudeDeg);

} // namespace caelo::appearance

#endif
