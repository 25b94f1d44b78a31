#include "outputs/gltf/pngImage.h"

#include <png.h>
#include <stdexcept>

namespace caelo::gltf {

std::string pngOfRgba(int width, int height, const std::vector<std::uint8_t>& rgba) {
    constexpr std::size_t kBytesPerPixel = 4;
    if (width < 1 || height < 1 ||
        rgba.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * kBytesPerPixel) {
        throw std::runtime_error("a PNG picture of " + std::to_string(width) + " x " +
                                 std::to_string(height) + " pixels was given " + std::to_string(rgba.size()) +
                                 " bytes");
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    // The first call measures the file, the second writes it.
    if (png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr) == 0) {
        throw std::runtime_error(std::string("libpng could not measure a picture: ") + image.message);
    }
    std::string file(size, '\0');
    if (png_image_write_to_memory(&image, file.data(), &size, 0, rgba.data(), 0, nullptr) == 0) {
        throw std::runtime_error(std::string("libpng could not write a picture: ") + image.message);
    }
    file.resize(size);
    return file;
}

} // namespace caelo::gltf
