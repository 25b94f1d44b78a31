#include "app/mainJob.h"

#include "app/commandError.h"
#include "app/eclipseList.h"
#include "app/exports.h"
#include "app/outputFiles.h"
#include "app/sceneSetup.h"
#include "host/evaluation.h"
#include "host/files/sceneFile.h"
#include "host/services/dateService.h"
#include "host/services/displayText.h"
#include "host/services/numberText.h"
#include "outputs/viewer/viewerPage.h"
#include "places/bodyPlaces.h"
#include "places/elementSpan.h"
#include "places/systemObject.h"

#include <cstdint>
#include <iomanip>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

namespace caelo::app {
namespace {

// Column widths of the body table.
constexpr int kNameColumn = 40;
constexpr int kNumberColumn = 16;

std::string dateText(const host::Node& system, std::int32_t id) {
    const auto fields = system.parameters.getDateTime(id);
    return fields ? host::formatDateTime(*fields) : std::string("(not written)");
}

void writeSystemHeader(const host::Document& document, const host::Node& system, double zoneOffsetDays,
                       std::ostream& out) {
    const host::Container& parameters = system.parameters;
    out << "  epoch (local time)        " << dateText(system, OCAELOSYSTEM_EPOCH) << '\n'
        << "  model date (local time)   " << dateText(system, OCAELOSYSTEM_CURRENT_DATE) << '\n';
    if (const auto julianDate = places::modelJulianDate(document, system, zoneOffsetDays)) {
        out << "  model Julian Date (UT)    " << host::numberToText(*julianDate, 1, 6, false, ' ') << '\n';
        if (const auto eclipse = nextEclipse(*julianDate)) {
            out << "  next eclipse              " << eclipseSentence(*eclipse) << '\n';
        }
    }
    out << "  time scale                "
        << host::formatDouble(parameters.getFloat(OCAELOSYSTEM_TIME_SCALE, 0.0))
        << " document seconds per model day\n"
        << "  body scale                the Earth's diameter is "
        << host::formatDouble(places::sceneUnitsPerEarthDiameter(system)) << " scene units\n"
        << "  distance scale            1 au is " << host::formatDouble(places::sceneUnitsPerAu(system))
        << " scene units\n";
}

void writeHeliocentric(const places::HeliocentricPlace& place, std::ostream& out) {
    out << std::fixed << std::setprecision(6) << std::setw(kNumberColumn) << place.distanceAu
        << std::setprecision(4) << std::setw(kNumberColumn) << place.longitudeDeg << std::setw(kNumberColumn)
        << place.latitudeDeg;
}

void writeBodyTable(const std::vector<places::BodyPlace>& bodies, std::ostream& out) {
    std::ostringstream table;
    table << std::left << std::setw(kNameColumn) << "  body" << std::right << std::setw(kNumberColumn)
          << "distance (au)" << std::setw(kNumberColumn) << "longitude (deg)" << std::setw(kNumberColumn)
          << "latitude (deg)" << '\n';
    for (const places::BodyPlace& body : bodies) {
        const std::string name = std::string(2 + 2 * static_cast<std::size_t>(body.depth), ' ') +
                                 host::escapedText(body.body->name);
        if (!body.heliocentric) {
            table << name << '\n';
            continue;
        }
        table << std::left << std::setw(kNameColumn) << name << std::right;
        writeHeliocentric(*body.heliocentric, table);
        table << '\n';
    }
    out << table.str();
}

} // namespace

void writeSolarSystemSummary(const host::Document& document, double zoneOffsetDays, std::ostream& out) {
    const host::Node* system = places::firstSystem(document);
    if (system == nullptr) {
        out << "The document holds no system object.\n";
        return;
    }
    std::vector<places::BodyPlace> bodies = places::bodyPlaces(document, host::application().strings());
    std::erase_if(bodies, [system](const places::BodyPlace& place) { return place.system != system; });
    out << "\"" << host::escapedText(system->name) << "\" with " << bodies.size() << " bodies\n";
    writeSystemHeader(document, *system, zoneOffsetDays, out);
    if (bodies.empty()) {
        return;
    }
    out << "\nHeliocentric places of the bodies that orbit the Sun (ecliptic, scene Y north):\n";
    writeBodyTable(bodies, out);
}

void runMainJob(std::ostream& out, std::ostream& err, const std::filesystem::path& outputFolder, bool quiet) {
    const OpenScene scene = buildSolarSystem();
    host::evaluateDocument(scene.document);
    const std::int64_t frames = framesForOneModelYear(scene.document);
    places::warnOutsideElementSpan(scene.document, scene.zoneOffsetDays, frames, err);
    writeSolarSystemSummary(scene.document, scene.zoneOffsetDays, out);
    out.flush();

    std::error_code error;
    std::filesystem::create_directories(outputFolder, error);
    if (error) {
        throw CommandError(outputFolder.string() + ": cannot create the output folder: " + error.message());
    }
    const std::filesystem::path sceneFile = outputFolder / "solar-system.caelo";
    const std::filesystem::path pictureFile = outputFolder / "solar-system.png";
    const std::filesystem::path animationFile = outputFolder / "solar-system.glb";
    const std::filesystem::path pageFile = outputFolder / "solar-system.html";
    host::saveScene(scene.document, sceneFile);
    writePictureFile(scene.document, pictureFile, pictures::PictureOptions{});
    const std::string glb = animationGltf(scene, frames, gltf::GltfFormat::Binary, {},
                                          "Exporting " + animationFile.filename().string(), quiet);
    writeGltfFile(animationFile, glb);
    if (viewer::viewerBuilt()) {
        writeViewerPage(pageFile, glb);
    }

    out << "\nSaved the scene to " << std::filesystem::absolute(sceneFile).string() << '\n'
        << "Drew the orrery chart (seen from ecliptic north) to "
        << std::filesystem::absolute(pictureFile).string() << '\n'
        << "Wrote one model year of animation (" << frames << " frames at " << scene.document.fps
        << " frames per second) to " << std::filesystem::absolute(animationFile).string() << '\n';
    if (viewer::viewerBuilt()) {
        out << "Wrote a page that plays it in a browser, offline, to "
            << std::filesystem::absolute(pageFile).string() << '\n';
    } else {
        out << "Wrote no page that plays it in a browser: " << viewer::kNoViewerReason << '\n';
    }
}

} // namespace caelo::app
