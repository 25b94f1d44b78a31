// Pictures of a document: the camera view (the scene in perspective through
// the active view's camera, host/sceneRender.h) or the top view (an orrery
// chart seen from ecliptic north, orreryChart.h), as the bytes of a PNG or SVG
// file.
//
// Example:
//   const std::string png = pictureBytes(document, {PictureView::Top, 1600, 1200});
#ifndef CAELO_OUTPUTS_PICTURES_PICTURE_H
#define CAELO_OUTPUTS_PICTURES_PICTURE_H

#include "host/scene.h"

#include <filesystem>
#include <string>

namespace caelo::pictures {

enum class PictureView { Camera, Top };
enum class PictureFormat { Png, Svg };

struct PictureOptions {
    PictureView view = PictureView::Top;
    int widthPx = 1600;
    int heightPx = 1200;
    PictureFormat format = PictureFormat::Png;
};

// The largest width or height of a picture (pixels).
inline constexpr int kMaxPictureSidePx = 16384;

// The format a file's extension names (".png" or ".svg", in any case); throws
// host::HostError "cannot tell the picture format from the extension '<it>'
// (use .png or .svg)" for another.
[[nodiscard]] PictureFormat pictureFormatOf(const std::filesystem::path& file);

// The document as last evaluated, drawn as the bytes of a PNG or SVG file.
// Width and height must lie within 1 and kMaxPictureSidePx; an SVG picture is
// drawn at that size in pixels. The camera view of a document with a system
// object carries its name and model date in a corner. Throws host::HostError
// saying what is wrong: a size out of range, a view that cannot be drawn (no
// camera; for the top view no system).
[[nodiscard]] std::string pictureBytes(const host::Document& document, const PictureOptions& options);

} // namespace caelo::pictures

#endif
