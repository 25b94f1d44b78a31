// Pictures of a document: the camera view (the scene in perspective through
// the active view's camera, host/sceneRender.h) or the top view (an orrery
// chart seen from ecliptic north, orreryChart.h), written as PNG or SVG.
//
// Example:
//   writePicture(document, "caelo-out/solar-system.png", {PictureView::Top, 1600, 1200});
#ifndef CAELO_APP_PICTURE_H
#define CAELO_APP_PICTURE_H

#include "scene.h"

#include <filesystem>

namespace caelo::app {

enum class PictureView { Camera, Top };

struct PictureOptions {
    PictureView view = PictureView::Top;
    int widthPx = 1600;
    int heightPx = 1200;
};

// The largest width or height of a picture (pixels).
inline constexpr int kMaxPictureSidePx = 16384;

// Draws the document as last evaluated to a PNG or SVG file, chosen by the
// file's extension (".png" or ".svg", in any case). Width and height must lie
// within 1 and kMaxPictureSidePx; an SVG picture is drawn at that size in
// pixels. The camera view of a document with a system object carries its name
// and model date in a corner. Throws host::HostError naming the file and what
// is wrong: another extension, a size out of range, a view that cannot be
// drawn (no camera; for the top view no system), a file that cannot be
// written. Written whole or not at all.
void writePicture(const host::Document& document, const std::filesystem::path& file,
                  const PictureOptions& options);

} // namespace caelo::app

#endif
