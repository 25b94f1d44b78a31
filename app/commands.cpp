#include "app/commands.h"

#include "app/animationSpan.h"
#include "app/commandError.h"
#include "app/eclipseList.h"
#include "app/exports.h"
#include "app/isoDate.h"
#include "app/optionValues.h"
#include "app/outputFiles.h"
#include "app/positions.h"
#include "host/services/dateService.h"
#include "host/services/displayText.h"
#include "host/services/fileNames.h"
#include "host/services/hostError.h"
#include "model/units.h"
#include "outputs/gltf/gltfExport.h"
#include "outputs/pictures/picture.h"
#include "outputs/viewer/viewerPage.h"
#include "places/deltaT.h"
#include "places/eclipses.h"
#include "places/elementSpan.h"
#include "places/systemObject.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <initializer_list>
#include <unistd.h>

namespace caelo::app {
namespace {

namespace fs = std::filesystem;

// An output file named with one of `extensions` whose folder exists and can
// be written, checked before any work is done.
void requireOutputFile(const std::string& file, std::initializer_list<const char*> extensions) {
    const std::string what = "--out " + host::quotedExcerpt(file);
    if (file.empty()) {
        throw CommandError("--out: give the file to write");
    }
    const std::string extension = host::lowercaseExtension(file);
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
        span.what = "--days " + host::quotedExcerpt(*days);
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
    const host::Node* system = places::firstSystem(document);
    if (system == nullptr) {
        throw CommandError(span.what +
                           ": the scene holds no system object to measure model days by; give --frames");
    }
    const auto secondsPerDay = places::documentSecondsPerModelDay(*system);
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

pictures::PictureView pictureViewNamed(const std::string& name) {
    if (name == "top") {
        return pictures::PictureView::Top;
    }
    if (name == "camera") {
        return pictures::PictureView::Camera;
    }
    throw CommandError("--view " + host::quotedExcerpt(name) + ": expected top or camera");
}

} // namespace

void runPositions(const PositionsRequest& request, std::ostream& out, std::ostream& err) {
    const auto format = positionsFormatNamed(request.format);
    if (!format) {
        throw CommandError("--format " + host::quotedExcerpt(request.format) +
                           ": expected table, csv or json");
    }
    const OpenScene scene = openScene(request.scene);
    places::warnOutsideElementSpan(scene.document, scene.zoneOffsetDays, 1, err);
    writePositions(scene.document, scene.zoneOffsetDays, *format, out);
}

namespace {

gltf::OrbitLines orbitLinesNamed(const std::string& name) {
    if (name == "tubes") {
        return gltf::OrbitLines::Tubes;
    }
    if (name == "lines") {
        return gltf::OrbitLines::Lines;
    }
    if (name == "none") {
        return gltf::OrbitLines::None;
    }
    throw CommandError("--orbit-lines " + host::quotedExcerpt(name) + ": expected tubes, lines or none");
}

gltf::GlobeMaps globeMapsNamed(const std::string& name) {
    if (name == "embedded") {
        return gltf::GlobeMaps::Embedded;
    }
    if (name == "none") {
        return gltf::GlobeMaps::None;
    }
    throw CommandError("--maps " + host::quotedExcerpt(name) + ": expected embedded or none");
}

} // namespace

void runView(const ViewRequest& request, std::ostream& out, std::ostream& err) {
    requireOutputFile(request.out, {".html", ".htm"});
    const RequestedSpan span = readSpan(request.days, std::nullopt);
    if (!viewer::viewerBuilt()) {
        throw CommandError(std::string(viewer::kNoViewerReason));
    }
    const OpenScene scene = openScene(request.scene);
    const std::int64_t frames = framesOf(span, scene.document);
    places::warnOutsideElementSpan(scene.document, scene.zoneOffsetDays, frames, err);
    const fs::path file = request.out;
    writeViewerPage(file, animationGltf(scene, frames, gltf::GltfFormat::Binary, {},
                                        "Writing " + file.filename().string(), request.quiet));
    out << "Wrote a page that plays " << frames << " frames at " << scene.document.fps
        << " frames per second to " << fs::absolute(file).string() << '\n';
}

void runExport(const ExportRequest& request, std::ostream& out, std::ostream& err) {
    requireOutputFile(request.out, {".glb", ".gltf"});
    const ExportLooks looks{orbitLinesNamed(request.orbitLines), globeMapsNamed(request.maps)};
    const auto fps =
        request.fps ? std::optional(parsePositiveWhole("--fps", *request.fps, INT32_MAX)) : std::nullopt;
    const RequestedSpan span = readSpan(request.days, request.frames);
    const OpenScene scene = openScene(request.scene);
    if (fps) {
        scene.document.fps = static_cast<std::int32_t>(*fps);
    }
    const std::int64_t frames = framesOf(span, scene.document);
    places::warnOutsideElementSpan(scene.document, scene.zoneOffsetDays, frames, err);
    const fs::path file = request.out;
    const std::string gltf = bytesForFile(file, [&] {
        return animationGltf(scene, frames, gltf::gltfFormatOf(file), looks,
                             "Exporting " + file.filename().string(), request.quiet);
    });
    writeGltfFile(file, gltf);
    out << "Wrote " << frames << " frames at " << scene.document.fps << " frames per second to "
        << fs::absolute(file).string() << '\n';
}

void runRender(const RenderRequest& request, std::ostream& out, std::ostream& err) {
    requireOutputFile(request.out, {".png", ".svg"});
    pictures::PictureOptions options;
    options.view = pictureViewNamed(request.view);
    const PixelSize size = parsePixelSize("--size", request.size, pictures::kMaxPictureSidePx);
    options.widthPx = size.width;
    options.heightPx = size.height;
    const OpenScene scene = openScene(request.scene);
    places::warnOutsideElementSpan(scene.document, scene.zoneOffsetDays, 1, err);
    writePictureFile(scene.document, request.out, options);
    out << "Wrote a " << size.width << "x" << size.height << " picture to "
        << fs::absolute(request.out).string() << '\n';
}

void runEclipses(const EclipsesRequest& request, std::ostream& out) {
    const auto format = positionsFormatNamed(request.format);
    if (!format) {
        throw CommandError("--format " + host::quotedExcerpt(request.format) +
                           ": expected table, csv or json");
    }
    // The span in TT: the dates as users give them are universal time.
    const auto terrestrial = [](double universal) {
        return universal + places::deltaTSecondsAt(universal) / kSecondsPerDay;
    };
    const double now = host::dateTimeToDayNumber(host::currentDateTime()) - kDayNumberToJulianDate;
    const double first = terrestrial(request.from ? universalJulianDate(parseIsoMoment(*request.from)) : now);
    const double last = request.to ? terrestrial(universalJulianDate(parseIsoMoment(*request.to)))
                                   : first + kDaysPerJulianYear;
    const auto within = [](double jd) {
        return jd >= places::kEclipseSpanFirstJd && jd <= places::kEclipseSpanLastJd;
    };
    const std::string span = "eclipses are found from 1800-01-01 to 2200-01-01, the span of the theories";
    if (!within(first)) {
        throw CommandError("--from " + host::quotedExcerpt(request.from.value_or("now")) + ": " + span);
    }
    if (!within(last)) {
        throw CommandError("--to " + host::quotedExcerpt(request.to.value_or("one year on")) + ": " + span);
    }
    if (!(first < last)) {
        throw CommandError("--to " + host::quotedExcerpt(request.to.value_or("")) +
                           ": must lie after --from");
    }
    writeEclipses(places::findEclipses(first, last), *format, out);
}

} // namespace caelo::app
