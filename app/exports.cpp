#include "app/exports.h"

#include "app/animationSpan.h"
#include "app/commandError.h"
#include "app/progressBar.h"
#include "places/systemObject.h"
#include "model/units.h"

#include <cmath>
#include <optional>

namespace caelo::app {

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

std::string animationGltf(const OpenScene& scene, std::int64_t frames, host::GltfFormat format,
                          host::OrbitLines orbitLines, const std::string& title, bool quiet) {
    ProgressBar bar = ProgressBar::onStandardError(title, quiet);
    std::string gltf =
        host::exportGltf(scene.document, format, animationOptions(scene, frames, orbitLines, bar));
    bar.finish();
    return gltf;
}

} // namespace caelo::app
