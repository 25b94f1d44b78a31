#include "app/exports.h"

#include "app/animationSpan.h"
#include "app/commandError.h"
#include "app/progressBar.h"
#include "model/units.h"
#include "places/systemObject.h"

#include <cmath>
#include <optional>

namespace caelo::app {

std::int64_t framesForOneModelYear(const host::Document& document) {
    const host::Node* system = places::firstSystem(document);
    if (system == nullptr) {
        return 1;
    }
    const auto secondsPerDay = places::documentSecondsPerModelDay(*system);
    const auto frames =
        secondsPerDay ? framesCovering(kDaysPerJulianYear * *secondsPerDay, document.fps) : std::nullopt;
    if (!frames) {
        throw CommandError(document.pathOf(*system) + ": one model year at this time scale is more than " +
                           std::to_string(kMaxExportFrames) + " frames; give --frames or --days");
    }
    return *frames;
}

namespace {

// The export's options for `frames` frames from the document's time on, with
// the model date of the first frame and the time scale of the document's first
// system, reporting progress to `bar`.
gltf::GltfExportOptions animationOptions(const OpenScene& scene, std::int64_t frames,
                                         const ExportLooks& looks, ProgressBar& bar) {
    const host::Document& document = scene.document;
    gltf::GltfExportOptions options;
    options.start = document.time;
    options.frameCount = frames;
    options.progress = [&bar](double fractionDone) { bar.update(fractionDone); };
    options.orbitLines = looks.orbitLines;
    options.maps = looks.maps;
    if (const host::Node* system = places::firstSystem(document)) {
        if (const auto julianDate = places::modelJulianDate(document, *system, scene.zoneOffsetDays)) {
            options.startDate = places::universalText(*julianDate).value_or("");
        }
        options.secondsPerModelDay = places::documentSecondsPerModelDay(*system);
        if (const double unitsPerAu = places::sceneUnitsPerAu(*system);
            std::isfinite(unitsPerAu) && unitsPerAu > 0) {
            options.sceneUnitsPerAu = unitsPerAu;
        }
    }
    return options;
}

} // namespace

std::string animationGltf(const OpenScene& scene, std::int64_t frames, gltf::GltfFormat format,
                          const ExportLooks& looks, const std::string& title, bool quiet) {
    ProgressBar bar = ProgressBar::onStandardError(title, quiet);
    std::string gltf = gltf::exportGltf(scene.document, format, animationOptions(scene, frames, looks, bar));
    bar.finish();
    return gltf;
}

} // namespace caelo::app
