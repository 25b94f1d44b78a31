#include "commands.h"

#include "animationSpan.h"
#include "atomicFile.h"
#include "console.h"
#include "displayText.h"
#include "elementSpan.h"
#include "gltfExport.h"
#include "hostError.h"
#include "optionValues.h"
#include "picture.h"
#include "positions.h"
#include "progressBar.h"
#include "systemObject.h"
#include "timeUnits.h"
#include "viewerPage.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <unistd.h>

namespace caelo::app {
namespace {

namespace fs = std::filesystem;

std::string quoted(const std::string& text) {
    return host::quotedExcerpt(text);
}

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// An output file named with one of `extensions` whose folder exists and can
// be written, checked before any work is done.
void requireOutputFile(const std::string& file, std::initializer_list<const char*> extensions) {
    const std::string what = "--out " + quoted(file);
    if (file.empty()) {
        throw CommandError("--out: give the file to write");
    }
    const std::string extension = lowerCase(fs::path(file).extension().string());
    if (std::find(extensions.begin(), extensions.end(), extension) == extensions.end()) {
        std::string names;
        for (const char* name : extensions) {
            names += (names.empty() ? "" : " or ") + std::string(name);
        }
        throw CommandError(what + ": the file name must end in " + names);
    }
    const fs::path folder =
        fs::path(file).parent_path().empty() ? fs::path(".") : fs::path(file).parent_path();
    std::error_code error;
    if (!fs::exists(folder, error)) {
        throw CommandError(what + ": the folder " + host::excerpt(folder.string()) + " does not exist");
    }
    if (!fs::is_directory(folder, error)) {
        throw CommandError(what + ": " + host::excerpt(folder.string()) + " is not a folder");
    }
    if (access(folder.c_str(), W_OK) != 0) {
        throw CommandError(what + ": cannot write in the folder " + host::excerpt(folder.string()) + ": " +
                           std::strerror(errno));
    }
}

// The span of an export as the request gives it, read before any work.
struct RequestedSpan {
    std::optional<std::int64_t> frames;
    std::optional<double> days;
    std::string what; // the option that gave the days, for messages
};

RequestedSpan readSpan(const std::optional<std::string>& days, const std::optional<std::string>& frames) {
    if (frames && days) {
        throw CommandError("--days and --frames: give one of them, not both");
    }
    RequestedSpan span;
    if (frames) {
        span.frames = parsePositiveWhole("--frames", *frames, kMaxExportFrames);
    }
    if (days) {
        span.days = parsePositiveNumber("--days", *days);
        span.what = "--days " + quoted(*days);
    }
    return span;
}

// The frames the span covers in the scene as opened.
std::int64_t framesOf(const RequestedSpan& span, const host::Document& document) {
    if (span.frames) {
        return *span.frames;
    }
    if (!span.days) {
        return framesForOneModelYear(document);
    }
    const host::Node* system = firstSystem(document);
    if (system == nullptr) {
        throw CommandError(span.what +
                           ": the scene holds no system object to measure model days by; give --frames");
    }
    const auto secondsPerDay = documentSecondsPerModelDay(*system);
    if (!secondsPerDay) {
        throw CommandError(span.what + ": the system's time scale is not a positive number");
    }
    const auto frames = framesCovering(*span.days * *secondsPerDay, document.fps);
    if (!frames) {
        throw CommandError(span.what + ": more than " + std::to_string(kMaxExportFrames) + " frames at " +
                           std::to_string(document.fps) + " frames per second");
    }
    return *frames;
}

PictureView pictureViewNamed(const std::string& name) {
    if (name == "top") {
        return PictureView::Top;
    }
    if (name == "camera") {
        return PictureView::Camera;
    }
    throw CommandError("--view " + quoted(name) + ": expected top or camera");
}

} // namespace

void runPositions(const PositionsRequest& request, std::ostream& out, std::ostream& err) {
    const auto format = positionsFormatNamed(request.format);
    if (!format) {
        throw CommandError("--format " + quoted(request.format) + ": expected table, csv or json");
    }
    const OpenScene scene = openScene(request.scene);
    warnOutsideElementSpan(scene.document, scene.zoneOffsetDays, 1, err);
    writePositions(scene.document, scene.zoneOffsetDays, *format, out);
}

std::int64_t framesForOneModelYear(const host::Document& document) {
    const host::Node* system = firstSystem(document);
    if (system == nullptr) {
        return 1;
    }
    const auto secondsPerDay = documentSecondsPerModelDay(*system);
    const auto frames =
        secondsPerDay ? framesCovering(kDaysPerJulianYear * *secondsPerDay, document.fps) : std::nullopt;
    if (!frames) {
        throw CommandError(document.pathOf(*system) + ": one model year at this time scale is more than " +
                           std::to_string(kMaxExportFrames) + " frames; give --frames or --days");
    }
    return *frames;
}

namespace {

host::OrbitLines orbitLinesNamed(const std::string& name) {
    if (name == "tubes") {
        return host::OrbitLines::Tubes;
    }
    if (name == "lines") {
        return host::OrbitLines::Lines;
    }
    if (name == "none") {
        return host::OrbitLines::None;
    }
    throw CommandError("--orbit-lines " + quoted(name) + ": expected tubes, lines or none");
}

} // namespace

namespace {

// The export's options for `frames` frames from the document's time on, with
// the model date of the first frame and the time scale of the document's first
// system, reporting progress to `bar`.
host::GltfExportOptions animationOptions(const OpenScene& scene, std::int64_t frames,
                                         host::OrbitLines orbitLines, ProgressBar& bar) {
    const host::Document& document = scene.document;
    host::GltfExportOptions options;
    options.start = document.time;
    options.frameCount = frames;
    options.progress = [&bar](double fractionDone) { bar.update(fractionDone); };
    options.orbitLines = orbitLines;
    if (const host::Node* system = firstSystem(document)) {
        if (const auto julianDate = modelJulianDate(document, *system, scene.zoneOffsetDays)) {
            options.startDate = universalText(*julianDate).value_or("");
        }
        options.secondsPerModelDay = documentSecondsPerModelDay(*system);
        if (const double unitsPerAu = sceneUnitsPerAu(*system); std::isfinite(unitsPerAu) && unitsPerAu > 0) {
            options.sceneUnitsPerAu = unitsPerAu;
        }
    }
    return options;
}

} // namespace

void writeAnimation(const OpenScene& scene, const fs::path& file, std::int64_t frames,
                    host::OrbitLines orbitLines, bool quiet) {
    ProgressBar bar = ProgressBar::onStandardError("Exporting " + file.filename().string(), quiet);
    host::exportGltf(scene.document, file, animationOptions(scene, frames, orbitLines, bar));
    bar.finish();
}

std::string animationGlb(const OpenScene& scene, std::int64_t frames, const std::string& title, bool quiet) {
    ProgressBar bar = ProgressBar::onStandardError(title, quiet);
    std::string glb =
        host::exportGlb(scene.document, animationOptions(scene, frames, host::OrbitLines::Tubes, bar));
    bar.finish();
    return glb;
}

namespace {

void writeWhole(const fs::path& file, std::string_view bytes, const char* what) {
    try {
        host::writeFileAtomically(file, bytes);
    } catch (const host::HostError& error) {
        throw CommandError(host::excerpt(file.string()) + ": cannot write " + what + ": " + error.what());
    }
}

} // namespace

void writeGlbFile(const fs::path& file, std::string_view glb) {
    writeWhole(file, glb, "the glTF file");
}

void writeViewerPage(const fs::path& file, std::string_view glb) {
    writeWhole(file, viewerPage(glb), "the page");
}

void runView(const ViewRequest& request, std::ostream& out, std::ostream& err) {
    requireOutputFile(request.out, {".html", ".htm"});
    const RequestedSpan span = readSpan(request.days, std::nullopt);
    if (!viewerBuilt()) {
        throw CommandError(std::string(kNoViewerReason));
    }
    const OpenScene scene = openScene(request.scene);
    const std::int64_t frames = framesOf(span, scene.document);
    warnOutsideElementSpan(scene.document, scene.zoneOffsetDays, frames, err);
    const fs::path file = request.out;
    writeViewerPage(file, animationGlb(scene, frames, "Writing " + file.filename().string(), request.quiet));
    out << "Wrote a page that plays " << frames << " frames at " << scene.document.fps
        << " frames per second to " << fs::absolute(file).string() << '\n';
}

void runExport(const ExportRequest& request, std::ostream& out, std::ostream& err) {
    requireOutputFile(request.out, {".glb", ".gltf"});
    const host::OrbitLines orbitLines = orbitLinesNamed(request.orbitLines);
    const auto fps =
        request.fps ? std::optional(parsePositiveWhole("--fps", *request.fps, INT32_MAX)) : std::nullopt;
    const RequestedSpan span = readSpan(request.days, request.frames);
    const OpenScene scene = openScene(request.scene);
    if (fps) {
        scene.document.fps = static_cast<std::int32_t>(*fps);
    }
    const std::int64_t frames = framesOf(span, scene.document);
    warnOutsideElementSpan(scene.document, scene.zoneOffsetDays, frames, err);
    writeAnimation(scene, request.out, frames, orbitLines, request.quiet);
    out << "Wrote " << frames << " frames at " << scene.document.fps << " frames per second to "
        << fs::absolute(request.out).string() << '\n';
}

void runRender(const RenderRequest& request, std::ostream& out, std::ostream& err) {
    requireOutputFile(request.out, {".png", ".svg"});
    PictureOptions options;
    options.view = pictureViewNamed(request.view);
    const PixelSize size = parsePixelSize("--size", request.size, kMaxPictureSidePx);
    options.widthPx = size.width;
    options.heightPx = size.height;
    const OpenScene scene = openScene(request.scene);
    warnOutsideElementSpan(scene.document, scene.zoneOffsetDays, 1, err);
    writePicture(scene.document, request.out, options);
    out << "Wrote a " << size.width << "x" << size.height << " picture to "
        << fs::absolute(request.out).string() << '\n';
}

} // namespace caelo::app
