// PNG pictures for the export's textures that need transparency (libpng).
#ifndef CAELO_OUTPUTS_GLTF_PNG_IMAGE_H
#define CAELO_OUTPUTS_GLTF_PNG_IMAGE_H

#include <cstdint>
#include <string>
#include <vector>

namespace caelo::gltf {

// The PNG file of a picture `width` x `height` pixels whose rows run from
// the top, four bytes a pixel (red, green, blue, alpha; sRGB, straight
// alpha). Throws std::runtime_error when the sizes do not match the pixels
// or libpng refuses them.
[[nodiscard]] std::string pngOfRgba(int width, int height, const std::vector<std::uint8_t>& rgba);

} // namespace caelo::gltf

#endif
