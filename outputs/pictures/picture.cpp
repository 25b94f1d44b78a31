#include "outputs/pictures/picture.h"

#include "host/services/fileNames.h"
#include "host/services/hostError.h"
#include "outputs/pictures/orreryChart.h"
#include "outputs/pictures/pictureScene.h"
#include "outputs/pictures/sceneRender.h"

#include <algorithm>
#include <cairo-svg.h>
#include <cairo.h>
#include <memory>
#include <string>

namespace caelo::pictures {
namespace {

// The caption of the camera view at the reference size (pixels).
constexpr double kCaptionSize = 15.0;
constexpr double kCaptionMargin = 24.0;

struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextDeleter {
    void operator()(cairo_t* cairo) const { cairo_destroy(cairo); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;

void checkSize(const PictureOptions& options) {
    const auto inRange = [](int side) { return side >= 1 && side <= kMaxPictureSidePx; };
    if (!inRange(options.widthPx) || !inRange(options.heightPx)) {
        throw host::HostError("a picture of " + std::to_string(options.widthPx) + " x " +
                              std::to_string(options.heightPx) +
                              " pixels cannot be drawn (width and height " + "must be 1 to " +
                              std::to_string(kMaxPictureSidePx) + ")");
    }
}

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

void checkStatus(cairo_status_t status, const char* doing) {
    if (status != CAIRO_STATUS_SUCCESS) {
        throw host::HostError(std::string("cannot ") + doing + ": " + cairo_status_to_string(status));
    }
}

// The system's name and model date in the bottom-left corner.
void paintCaption(cairo_t* cairo, const std::string& caption, const PictureOptions& options) {
    const double unit = pictureScale(options.widthPx, options.heightPx).text;
    cairo_select_font_face(cairo, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cairo, kCaptionSize * unit);
    cairo_move_to(cairo, kCaptionMargin * unit, options.heightPx - kCaptionMargin * unit);
    cairo_set_source_rgba(cairo, 0.78, 0.8, 0.86, 0.9);
    cairo_show_text(cairo, caption.c_str());
}

void drawView(cairo_t* cairo, const host::Document& document, const PictureOptions& options) {
    if (options.view == PictureView::Top) {
        drawOrreryChart(cairo, document, options.widthPx, options.heightPx);
        return;
    }
    drawCameraView(cairo, document, options.widthPx, options.heightPx);
    if (const auto caption = systemCaption(document)) {
        paintCaption(cairo, *caption, options);
    }
}

void drawOnto(cairo_surface_t* surface, const host::Document& document, const PictureOptions& options) {
    const Context cairo(cairo_create(surface));
    checkStatus(cairo_status(cairo.get()), "start drawing");
    drawView(cairo.get(), document, options);
    checkStatus(cairo_status(cairo.get()), "draw the picture");
}

std::string pngBytes(const host::Document& document, const PictureOptions& options) {
    const Surface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, options.widthPx, options.heightPx));
    checkStatus(cairo_surface_status(surface.get()), "make a picture of that size");
    drawOnto(surface.get(), document, options);
    std::string bytes;
    checkStatus(cairo_surface_write_to_png_stream(surface.get(), appendBytes, &bytes), "encode the PNG");
    return bytes;
}

std::string svgBytes(const host::Document& document, const PictureOptions& options) {
    std::string bytes;
    const Surface surface(
        cairo_svg_surface_create_for_stream(appendBytes, &bytes, options.widthPx, options.heightPx));
    checkStatus(cairo_surface_status(surface.get()), "make an SVG picture");
    cairo_svg_surface_set_document_unit(surface.get(), CAIRO_SVG_UNIT_PX);
    drawOnto(surface.get(), document, options);
    cairo_surface_finish(surface.get());
    checkStatus(cairo_surface_status(surface.get()), "write the SVG");
    return bytes;
}

} // namespace

PictureFormat pictureFormatOf(const std::filesystem::path& file) {
    const std::string extension = host::lowercaseExtension(file);
    if (extension == ".png") {
        return PictureFormat::Png;
    }
    if (extension == ".svg") {
        return PictureFormat::Svg;
    }
    throw host::HostError("cannot tell the picture format from the extension '" + file.extension().string() +
                          "' (use .png or .svg)");
}

std::string pictureBytes(const host::Document& document, const PictureOptions& options) {
    checkSize(options);
    return options.format == PictureFormat::Png ? pngBytes(document, options) : svgBytes(document, options);
}

} // namespace caelo::pictures

#if defined(__SANITIZE_ADDRESS__)
// Fontconfig, through which cairo finds the labels' font, keeps its
// configuration and pattern caches until the process ends. The sanitizer
// build's leak checker calls these hooks: it is told not to report them, and
// not to list the suppressions it used, so the tool's output stays its own.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
extern "C" const char* __lsan_default_options() {
    return "print_suppressions=0";
}
#endif
