// The pixels of a surface map, decoded once from its JPEG bytes (libjpeg-turbo)
// and kept for the pictures that sample it.
#ifndef CAELO_OUTPUTS_PICTURES_MAP_PIXELS_H
#define CAELO_OUTPUTS_PICTURES_MAP_PIXELS_H

#include "outputs/appearance/appearance.h"
#include "outputs/appearance/surfaceMaps.h"

#include <cstdint>
#include <vector>

namespace caelo::pictures {

class MapPixels {
public:
    MapPixels(int width, int height, std::vector<std::uint8_t> rgb)
        : width_(width), height_(height), rgb_(std::move(rgb)) {}

    // The colour (sRGB, [0, 1]) at a map point, from the nearest pixel; u
    // wraps around, v stops at the poles; black for a point that is not finite.
    [[nodiscard]] appearance::RgbColour at(const appearance::MapPoint& point) const;

private:
    int width_;
    int height_;
    std::vector<std::uint8_t> rgb_; // 3 bytes a pixel, rows from the top
};

// The decoded pixels of a map (decoded on first use and kept), or nullptr
// when its bytes cannot be decoded.
[[nodiscard]] const MapPixels* pixelsOf(const appearance::SurfaceMap& map);

} // namespace caelo::pictures

#endif
