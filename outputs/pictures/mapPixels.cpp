#include "outputs/pictures/mapPixels.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <turbojpeg.h>

namespace caelo::pictures {

namespace {

std::unique_ptr<MapPixels> decoded(const appearance::SurfaceMap& map) {
    const std::unique_ptr<void, int (*)(tjhandle)> decoder(tjInitDecompress(), tjDestroy);
    if (!decoder) {
        return nullptr;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(map.jpeg.data());
    const auto size = static_cast<unsigned long>(map.jpeg.size());
    int width = 0, height = 0, subsampling = 0, colourSpace = 0;
    if (tjDecompressHeader3(decoder.get(), bytes, size, &width, &height, &subsampling, &colourSpace) != 0 ||
        width <= 0 || height <= 0) {
        return nullptr;
    }
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    if (tjDecompress2(decoder.get(), bytes, size, rgb.data(), width, 0, height, TJPF_RGB, 0) != 0) {
        return nullptr;
    }
    return std::make_unique<MapPixels>(width, height, std::move(rgb));
}

} // namespace

appearance::RgbColour MapPixels::at(const appearance::MapPoint& point) const {
    if (!std::isfinite(point.u) || !std::isfinite(point.v)) {
        return {};
    }
    const double u = point.u - std::floor(point.u);
    const int x = std::min(width_ - 1, static_cast<int>(u * width_));
    const int y = std::clamp(static_cast<int>(point.v * height_), 0, height_ - 1);
    const std::size_t i =
        (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)) * 3;
    return {rgb_[i] / 255.0, rgb_[i + 1] / 255.0, rgb_[i + 2] / 255.0};
}

const MapPixels* pixelsOf(const appearance::SurfaceMap& map) {
    static std::map<const appearance::SurfaceMap*, std::unique_ptr<MapPixels>> kept;
    auto found = kept.find(&map);
    if (found == kept.end()) {
        found = kept.emplace(&map, decoded(map)).first;
    }
    return found->second.get();
}

} // namespace caelo::pictures
